#pragma once

#include <filesystem>

#include "batch/image.h"
#include "batch/png_io.h"

namespace vellumor::numbering {

// Writes a work file of the temporary folder (a number cut to its ink, a round shape, a stamp) as
// an RGB or RGBA PNG of the image's pixel depth, compressed for speed: these files are written
// and read back once per number and deleted at the end of the run, so the pages' own level-9
// compression would only cost time. On failure the partial file is deleted.
SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path);

}  // namespace vellumor::numbering
