#pragma once

#include <filesystem>
#include <string>

#include "batch/image.h"

namespace vellumor::bench {

// An A4 page scanned at 600 dpi.
inline constexpr int kPageWidth = 4961;
inline constexpr int kPageHeight = 7016;

// The usual kinds of scan and the depth their files have: grey text, bi-level, colour, grey text
// whose ink carries the scanner's noise, and a smaller grey scan placed on a white A4 format as a
// reconstitution writes it.
enum class ScanKind { BiLevel, Grey, Colour, NoisyInk, Reconstituted };
inline constexpr ScanKind kAllKinds[] = {ScanKind::Grey, ScanKind::BiLevel, ScanKind::Colour,
                                         ScanKind::NoisyInk, ScanKind::Reconstituted};
int file_depth_of(ScanKind kind);  // 1, 8 or 24
std::string name_of(ScanKind kind);

// A page of text-like content: lines of words made of strokes, a heading, a picture block in
// colour scans, and scattered specks. Pixels are what a scan of that kind can hold: pure black and
// white for bi-level, neutral greys with soft stroke edges for grey, colour otherwise. The same
// seed gives the same page.
Image make_page(ScanKind kind, int width = kPageWidth, int height = kPageHeight, unsigned seed = 1);

// Writes the page as a scanner would: grey 1-bit, grey 8-bit or RGB, libpng's default compression
// and row filters. False when the file cannot be written.
bool write_scan(const Image& page, ScanKind kind, const std::filesystem::path& file);

}  // namespace vellumor::bench
