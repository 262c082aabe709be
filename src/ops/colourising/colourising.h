#pragma once

#include <filesystem>

#include "batch/image.h"

namespace vellumor {

// Turns every pixel whose colour word is not exactly kWhite pure blue (0xFF0000); white stays
// white. Alpha is not looked at, and every pixel of a 32-bit page comes out opaque. An empty page
// is left as it is.
void coloriser(Image& page);

// Where the colourised page of source goes: the same folder, source's name without its extension,
// then "_Col.png" ("a/page12.png" -> "a/page12_Col.png", "a/page12_Col.png" ->
// "a/page12_Col_Col.png", "a/scan" -> "a/scan_Col.png").
std::filesystem::path nom_colorise(const std::filesystem::path& source);

}  // namespace vellumor
