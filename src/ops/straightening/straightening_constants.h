#pragma once

#include <string_view>

#include "batch/lot_fichiers.h"
#include "ops/description.h"

// What the straightening run shows, posts and accepts: its description, the measure's range and
// precision, the reasons of the pages it leaves.
namespace vellumor::straightening {

// Degrees. A skew is looked for within ±angle max; one smaller than the precision is no skew.
inline constexpr double kPrecision = 0.05;
inline constexpr double kAngleMaxDefaut = 5.0;
inline constexpr double kAngleMaxMinimum = 0.5;
inline constexpr double kAngleMaxMaximum = 10.0;

inline constexpr OptionOperation kOptions[] = {
    {"--angle-max", kAngleMaxMinimum, kAngleMaxMaximum, kAngleMaxDefaut, "degrés",
     "inclinaison la plus forte cherchée"},
};

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Redressement des pages",
    .titre_boite_erreur = "Redressement des pages",
    .texte_fin = "Les opérations de redressement sont terminées",
    .evenement_fin_paire = 0x10020,
    .evenement_fin_impaire = 0x10021,
    .evenement_controle = 0x10022,
    .fiche_paire = "GLB_Fichier_Pair_Redressement",
    .fiche_impaire = "GLB_Fichier_ImPair_Redressement",
    .legende_bouton = "Redresser les pages",  // the file list's menu
    .originaux = "Redressement",
    .options = kOptions,
};

inline constexpr std::string_view kDejaDroite = "déjà droite";
inline constexpr std::string_view kSansLignes = "aucune ligne de texte à mesurer";
inline constexpr std::string_view kHorsPlage = "inclinaison au-delà de l'angle maximal";
// A page left as it is shows the file list's icon of a page with nothing to write.
inline constexpr int kIconeLaissee = kIconeSansMarge;

}  // namespace vellumor::straightening
