#pragma once

#include <filesystem>

#include "batch/image.h"
#include "batch/png_io.h"

namespace vellumor::numbering {

// Writes a work file of the temporary folder (a number cut to its ink, a round shape, a stamp) as
// an RGB or RGBA PNG of the image's pixel depth, through the pages' own save (a temporary file
// renamed onto the name). Whatever had the name is removed first (a link itself, never what it
// points to; a folder stays and makes the write fail). On failure nothing is left at path and the
// message gives the reason.
SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path);

}  // namespace vellumor::numbering
