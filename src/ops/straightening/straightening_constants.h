#pragma once

#include <string_view>

#include "batch/lot_fichiers.h"

// What the straightening run shows, posts and accepts: texts, event numbers, record names, the
// measure's range and precision. Texts are UTF-8.
namespace vellumor::straightening {

inline constexpr std::string_view kMenuCaption = "Redresser les pages";
inline constexpr std::string_view kBannerTitle = "Redressement des pages";
inline constexpr std::string_view kCompletionTitle = "Redressement des pages";
inline constexpr std::string_view kCompletionText = "Les opérations de redressement sont terminées";
// The name of the run folders that keep the pages it replaces.
inline constexpr const char* kOperationRedressement = "Redressement";

inline constexpr int kDoneEventEven = 0x10020;
inline constexpr int kDoneEventOdd = 0x10021;
inline constexpr int kCheckEvent = 0x10022;
inline constexpr std::string_view kEvenRecordName = "GLB_Fichier_Pair_Redressement";
inline constexpr std::string_view kOddRecordName = "GLB_Fichier_ImPair_Redressement";

// Degrees. A skew is looked for within ±angle max; one smaller than the precision is no skew.
inline constexpr double kPrecision = 0.05;
inline constexpr double kAngleMaxDefaut = 5.0;
inline constexpr double kAngleMaxMinimum = 0.5;
inline constexpr double kAngleMaxMaximum = 10.0;

inline constexpr std::string_view kDejaDroite = "déjà droite";
inline constexpr std::string_view kSansLignes = "aucune ligne de texte à mesurer";
inline constexpr std::string_view kHorsPlage = "inclinaison au-delà de l'angle maximal";
// A page left as it is shows the file list's icon of a page with nothing to write.
inline constexpr int kIconeLaissee = kIconeSansMarge;

}  // namespace vellumor::straightening
