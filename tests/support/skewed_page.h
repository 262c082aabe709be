#pragma once

#include "batch/image.h"

namespace vellumor::testing {

// A page of text-like lines (words of letters with stems, bars and ascenders, 100-pixel line pitch
// as 12-point text at 600 dpi) turned by skew degrees about its centre, positive when the lines go
// down to the right. Drawn pixel by pixel from the straight layout, so that the skew is exact.
// File depth 1 gives pure black and white, 8 soft grey edges (2 x 2 samples a pixel). 600 dpi.
Image page_inclinee(int width, int height, double skew, int file_depth, unsigned seed = 1);

// A page stored one byte a pixel, every pixel grey level `grey` (file depth 24): it stays one byte
// a pixel until a colour that is not grey is written to it. Nullopt when the memory cannot be had.
std::optional<Image> page_grise(int width, int height, std::uint8_t grey);

}  // namespace vellumor::testing
