#pragma once

#include <string_view>

// What the cropping run shows and posts: texts, control and event numbers, record names. Texts are
// UTF-8 and keep their leading and trailing blanks.
namespace vellumor::cropping {

inline constexpr int kStartButton = 14;
inline constexpr std::string_view kStartCaption = " Détourer les images ";
inline constexpr std::string_view kMainButtonCaption = "Détourage";  // main window button 7
inline constexpr std::string_view kBannerTitle = "Détourage des images";
inline constexpr std::string_view kErrorBoxTitle = " Détourage des images";
inline constexpr std::string_view kFileDialogTitle = "Sélectionner les fichiers à détourer";
inline constexpr std::string_view kCompletionText = "Les opérations de détourage sont terminées";

inline constexpr int kDoneEventEven = 0x10009;
inline constexpr int kDoneEventOdd = 0x1000A;
inline constexpr int kCheckEvent = 0x1000B;

inline constexpr std::string_view kEvenRecordName = "GLB_Fichier_Pair_Detourage";
inline constexpr std::string_view kOddRecordName = "GLB_Fichier_ImPair_Detourage";

// The row icons of the two outcomes in which the file is left as it is are the file list's
// kIconeVierge and kIconeSansMarge (batch/lot_fichiers.h), with the other row icons.

}  // namespace vellumor::cropping
