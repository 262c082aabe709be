#include "ops/numbering/work_png.h"

namespace vellumor::numbering {
namespace {

// Stamps are flat areas of a few colours: the quickest level compresses them almost as well as the
// pages' own, many times faster.
constexpr int kNiveauTravail = 2;

}  // namespace

SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path) {
    if (image.empty()) return {false, "L'image à écrire est vide."};
    if (save_png_at_level(image, path, image.pixel_depth(), kNiveauTravail)) return {true, ""};
    return {false, "Écriture du fichier de travail impossible : " + path.filename().string()};
}

}  // namespace vellumor::numbering
