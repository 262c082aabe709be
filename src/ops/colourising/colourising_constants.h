#pragma once

#include <string_view>

// What the colourising run shows and posts: texts, control and event numbers, record names, the
// output suffix. Texts are UTF-8 and keep their leading and trailing blanks.
namespace vellumor::colourising {

inline constexpr int kStartButton = 15;
inline constexpr std::string_view kStartCaption = " Coloriser les images ";
inline constexpr std::string_view kMainButtonCaption = "Coloriser";  // main window button 8
inline constexpr std::string_view kBannerTitle = "Colorisation des images";
inline constexpr std::string_view kErrorBoxTitle = " Colorisation de l'image";
inline constexpr std::string_view kFileDialogTitle = "Sélectionner les fichiers à coloriser";
inline constexpr std::string_view kCompletionText = "Les opérations de colorisation sont terminées";

inline constexpr int kDoneEventEven = 0x10006;
inline constexpr int kDoneEventOdd = 0x10007;
inline constexpr int kCheckEvent = 0x10008;

inline constexpr std::string_view kEvenRecordName = "GLB_Fichier_Pair_Colorisation";
inline constexpr std::string_view kOddRecordName = "GLB_Fichier_ImPair_Colorisation";

// The output goes beside the source: its name without extension followed by this suffix.
inline constexpr std::string_view kOutputSuffix = "_Col.png";
inline constexpr int kOutputDepth = 24;

}  // namespace vellumor::colourising
