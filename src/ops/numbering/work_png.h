#pragma once

#include <filesystem>

#include "batch/image.h"
#include "batch/png_io.h"

namespace vellumor::numbering {

// Writes a work file of the temporary folder (a number cut to its ink, a round shape, a stamp) as
// an RGB or RGBA PNG of the image's pixel depth, through the pages' own save, into a new file
// created exclusively (never through a link). On failure the partial file is deleted and the
// message gives the reason.
SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path);

}  // namespace vellumor::numbering
