#pragma once

#include <filesystem>
#include <optional>

#include "batch/image.h"

namespace vellumor::reconstitution {

// Every reconstituted page is a 600-dpi page and says so in its file, so that it prints at its
// size.
inline constexpr double kResolutionPages = 600;

// A worker's blank page: formats 29 to 33 a new white 24-bit page of the format's size, format 34
// the chosen file loaded and painted all white (only its size counts). It carries 600 dpi. nullopt
// when the page cannot be made, the file does not load, or the format is outside 29..34.
std::optional<Image> construire_page_vierge(int format, const std::filesystem::path& fichier);

// Paints the whole page white again, ready for the next file.
void blanchir(Image& page);

}  // namespace vellumor::reconstitution
