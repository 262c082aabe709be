#pragma once

#include <cstdint>

#include "batch/originaux.h"
#include "ops/description.h"

// What the reconstitution run and its panel show and post: its description and its texts.
namespace vellumor::reconstitution {

// The offsets from the top and binding edges, millimetres.
inline constexpr std::int64_t kDecalageMin = -1000, kDecalageMax = 1000;
inline constexpr OptionOperation kOptionDecalageHaut{
    "--offset-haut", kDecalageMin,
    kDecalageMax,    0,
    "millimètres",   "distance du bord supérieur, en millimètres"};
inline constexpr OptionOperation kOptionDecalageReliure{
    "--offset-reliure", kDecalageMin,
    kDecalageMax,       0,
    "millimètres",      "distance du bord de reliure, en millimètres"};
inline constexpr OptionOperation kOptions[] = {kOptionDecalageHaut, kOptionDecalageReliure};

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Reconstitution des images",
    .texte_fin = "Les opérations de reconstitution d'images sont terminées",
    .evenement_fin_paire = 0x1000C,
    .evenement_fin_impaire = 0x1000D,
    .evenement_controle = 0x1000E,  // posted by the panel itself
    .fiche_paire = "GLB_Image_Paire",
    .fiche_impaire = "GLB_Image_ImPaire",
    .legende_bouton = "Reconstituer  les  images",
    .originaux = kOperationReconstitution,
    .options = kOptions,
};

inline constexpr const char* kTexteArretees =
    "Les opérations de reconstitution d'images ont été arrêtées";

// Reason of a page that an offset moves off its blank page entirely: it is not written.
inline constexpr const char* kTexteHorsFormat = "la page tomberait entièrement hors du format";

}  // namespace vellumor::reconstitution
