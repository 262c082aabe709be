#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/image.h"
#include "common/resultat.h"

namespace vellumor::importation {

enum class FormatScan { Tiff, Jpeg, Pnm, Png };

// A scan file read whole into memory (the file is closed, never written), its format and pages.
struct Scan {
    std::filesystem::path fichier;
    FormatScan format = FormatScan::Png;
    std::string octets;
    int pages = 0;  // a multi-page TIFF has several, every other scan one
};

// Reads a scan and checks what can be checked without decoding its pixels: a regular file no
// larger than kOctetsFichierMax, a TIFF, JPEG, PNM or PNG by its first bytes, and every page's
// header readable with sides within 1..kMaxSide and pixels within kOctetsPageMax. The refusal
// names the file.
Resultat<Scan> ouvrir_scan(const std::filesystem::path& fichier);

// Decodes page n (from 0) of the scan at the depth that keeps its values (1 bit for bi-level,
// the palette's depth, 8 for grey, 24 for colour, 32 for a PNG with alpha). The resolution is the
// scan's when it has one, else dpi_defaut. Truncated or damaged pixel data fails, naming the file
// and the page.
Resultat<Image> lire_page(const Scan& scan, int n, double dpi_defaut);

}  // namespace vellumor::importation
