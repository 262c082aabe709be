#pragma once

#include <cstdint>

// What the numbering run and its window show and post: events, record names, texts. Texts are UTF-8
// and keep their leading and trailing blanks.
namespace vellumor::numbering {

inline constexpr std::int64_t kEvenementFinPairNumerotation = 0x1000F;
inline constexpr std::int64_t kEvenementFinImpairNumerotation = 0x10010;
inline constexpr std::int64_t kEvenementVerificationNumerotation = 0x10011;

inline constexpr const char* kNomLotPairNumerotation = "GLB_Fichier_Pair_Numerotation";
inline constexpr const char* kNomLotImpairNumerotation = "GLB_Fichier_ImPair_Numerotation";

inline constexpr const char* kTexteFinNumerotation =
    "Les opérations de numérotation sont terminées";
inline constexpr const char* kTitreBandeauNumerotation = "Numérotation des pages";
inline constexpr const char* kTitreSelection = "Sélectionner les fichiers pour la numérotation";
// Title of the file list's column 2 while the window is open: the numbered page's file name.
inline constexpr const char* kColonneNouveauNom = "Nouveau nom de fichier";

}  // namespace vellumor::numbering
