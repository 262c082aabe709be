#pragma once

#include <string_view>

// What the cropping run shows and posts: texts, control and event numbers, record names, the two
// row icons of pages left unwritten. Texts are UTF-8 and keep their leading and trailing blanks.
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

// Row icons of the two outcomes in which the file is left as it is.
inline constexpr int kIconBlankPage = 4;  // no pixel other than white
inline constexpr int kIconNoMargin = 8;   // the ink already touches all four edges

}  // namespace vellumor::cropping
