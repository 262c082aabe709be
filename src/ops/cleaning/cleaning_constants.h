#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// What the cleaning run shows and posts: texts, control and event numbers, record and preference
// names. Texts are UTF-8 and keep their leading and trailing blanks.
namespace vellumor::cleaning {

// Speck patterns: bit n of the mask enables pattern n + 1. Only the low seven bits mean anything.
inline constexpr std::uint32_t kPatternBits = 0x7F;
inline constexpr std::uint32_t kDefaultMask = 1;  // only " Pixel isolé"
inline constexpr int kPatternCount = 7;

inline constexpr std::uint32_t kIsolatedPixel = 1 << 0;
inline constexpr std::uint32_t kLineOf2 = 1 << 1;
inline constexpr std::uint32_t kLineOf3 = 1 << 2;
inline constexpr std::uint32_t kSquareOf4 = 1 << 3;
inline constexpr std::uint32_t kTwoLinesOf3 = 1 << 4;
inline constexpr std::uint32_t kTwoLinesOf4 = 1 << 5;
inline constexpr std::uint32_t kSquareOf9 = 1 << 6;

struct PatternOption {
    std::uint32_t bit;
    int control;  // check box of the options frame
    std::string_view caption;
};

// In bit order, which is also the order the patterns run in and the boxes are laid out in.
inline constexpr std::array<PatternOption, kPatternCount> kPatternOptions{{
    {kIsolatedPixel, 89, " Pixel isolé"},
    {kLineOf2, 90, " ligne de 2 Pixels H ou V"},
    {kLineOf3, 91, " ligne de 3 Pixels H ou V"},
    {kSquareOf4, 92, " Carré de 4 Pixels "},
    {kTwoLinesOf3, 93, " 2 lignes de 3 Pixels H ou V"},
    {kTwoLinesOf4, 94, " 2 lignes de 4 Pixels H ou V"},
    {kSquareOf9, 95, " Carré de 9 Pixels "},
}};

inline constexpr int kOptionsFrame = 96;
inline constexpr std::string_view kOptionsFrameCaption = " Options de nettoyage ";

inline constexpr int kStartButton = 16;
inline constexpr std::string_view kStartCaption = " Nettoyer les images ";
inline constexpr std::string_view kMainButtonCaption = "Nettoyage";  // main window button 6
inline constexpr std::string_view kBannerTitle = "Nettoyage des images";
inline constexpr std::string_view kErrorBoxTitle = " Nettoyer les images";
inline constexpr std::string_view kFileDialogTitle = "Sélectionner les fichiers à nettoyer";
inline constexpr std::string_view kCompletionText = "Les opérations de nettoyage sont terminées";
inline constexpr std::uint32_t kBottomBarColour =
    0x00A5A1F2;  // pink, the other runs use pale yellow

inline constexpr int kDoneEventEven = 0x10003;
inline constexpr int kDoneEventOdd = 0x10004;
inline constexpr int kCheckEvent = 0x10005;

inline constexpr std::string_view kEvenRecordName = "GLB_Fichier_Pair_Nettoyage";
inline constexpr std::string_view kOddRecordName = "GLB_Fichier_ImPair_Nettoyage";

inline constexpr std::string_view kPreferenceGroup = "Valeur_Detourage";
inline constexpr std::string_view kPreferenceKey = "Nettoyer_Img";

}  // namespace vellumor::cleaning
