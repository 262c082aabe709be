#pragma once

#include "batch/image.h"

namespace vellumor::testing {

// A page of text-like lines (words of letters with stems, bars and ascenders, 100-pixel line pitch
// as 12-point text at 600 dpi) turned by skew degrees about its centre, positive when the lines go
// down to the right. Drawn pixel by pixel from the straight layout, so that the skew is exact.
// File depth 1 gives pure black and white, 8 soft grey edges (2 x 2 samples a pixel). 600 dpi.
Image page_inclinee(int width, int height, double skew, int file_depth, unsigned seed = 1);

}  // namespace vellumor::testing
