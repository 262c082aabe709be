#pragma once

#include <string_view>

#include "ops/description.h"

// What the colourising run shows and posts, and the file it writes.
namespace vellumor::colourising {

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Colorisation des images",
    .titre_boite_erreur = " Colorisation de l'image",
    .titre_dialogue_fichiers = "Sélectionner les fichiers à coloriser",
    .texte_fin = "Les opérations de colorisation sont terminées",
    .evenement_fin_paire = 0x10006,
    .evenement_fin_impaire = 0x10007,
    .evenement_controle = 0x10008,
    .fiche_paire = "GLB_Fichier_Pair_Colorisation",
    .fiche_impaire = "GLB_Fichier_ImPair_Colorisation",
    .legende_bouton = "Coloriser",
    .legende_depart = " Coloriser les images ",
};

// The output goes beside the source: its name without extension followed by this suffix.
inline constexpr std::string_view kOutputSuffix = "_Col.png";
inline constexpr int kOutputDepth = 24;

}  // namespace vellumor::colourising
