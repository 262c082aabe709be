#pragma once

#include <cstdint>
#include <string_view>

#include "ops/description.h"

// What the scan import shows and accepts: its description, texts, defaults and limits.
namespace vellumor::importation {

// File dialog filters, "description|patterns separated by ;".
inline constexpr std::string_view kFileFilter =
    "Scans|*.tif;*.tiff;*.jpg;*.jpeg;*.png;*.pnm;*.pbm;*.pgm;*.ppm";
inline constexpr std::string_view kPageFilter = "Pages PNG|*.png";
// The save dialog names the first page: its folder, prefix and number.
inline constexpr std::string_view kFolderDialogTitle =
    "Dossier et nom de la première page importée";
inline constexpr std::string_view kCompletionTitle = "Importation des scans";

inline constexpr std::string_view kPrefixeDefaut = "page_";
inline constexpr std::int64_t kPremierDefaut = 1;
inline constexpr std::int64_t kPremierMaximum = 999999999;
// The resolution of a page whose scan has none, when no other is given.
inline constexpr double kDpiDefaut = 600;
inline constexpr double kDpiMinimum = 10;
inline constexpr double kDpiMaximum = 10000;
inline constexpr OptionOperation kOptionPremier{"--premier",    0,  kPremierMaximum,
                                                kPremierDefaut, "", "numéro de la première page"};
inline constexpr OptionOperation kOptionDpi{
    "--dpi",    kDpiMinimum, kDpiMaximum,
    kDpiDefaut, "dpi",       "impose la résolution de toutes les pages"};
inline constexpr OptionOperation kOptions[] = {kOptionPremier, kOptionDpi};

// What the import shows: it has no run of two workers, hence no events nor records.
inline constexpr DescriptionOperation kDescription{
    .titre_boite_erreur = "Importation des scans",
    .titre_dialogue_fichiers = "Sélectionner les scans à importer",
    .legende_bouton = "Importer des scans…",
    .options = kOptions,
};

// Digits of the page numbers, at least: "page_0001.png".
inline constexpr int kChiffresMinimum = 4;
// A scan file read whole is at most this large.
inline constexpr std::uint64_t kOctetsFichierMax = std::uint64_t(1) << 30;
// A page is refused when its pixels would take more than this in memory (3 bytes a pixel).
inline constexpr std::uint64_t kOctetsPageMax = std::uint64_t(1) << 30;

}  // namespace vellumor::importation
