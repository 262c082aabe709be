#pragma once

#include <cstddef>
#include <cstdint>

#include "batch/image.h"

namespace vellumor {

// Removes small specks of ink entirely surrounded by white: the patterns enabled in masque (bit n
// for pattern n + 1; bits above the seventh are ignored) run in bit order, each over its anchors
// top to bottom and left to right, each block whitened at once when its ring is all white, so later
// tests see it. Only kWhite is white; any other colour, however light, is ink. Every pixel of a
// 32-bit page comes out opaque. Returns how many ink pixels were turned white (0 for an empty
// page).
std::size_t nettoyer(Image& page, std::uint32_t masque);

}  // namespace vellumor
