#include "ops/numbering/work_png.h"

#include "common/file_io.h"

namespace vellumor::numbering {
namespace {

// Stamps are flat areas of a few colours: the quickest level compresses them almost as well as the
// pages' own, many times faster.
constexpr int kNiveauTravail = 2;

}  // namespace

SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path) {
    if (image.empty()) return {false, "L'image à écrire est vide."};
    const std::string echec =
        "Écriture du fichier de travail impossible : " + path.filename().string() + " (";
    // A work file is always a new file of its own: whatever had its name goes first (absent, most
    // often).
    (void)remove_file(path);
    SaveResult saved = save_png_at_level(image, path, image.pixel_depth(), kNiveauTravail);
    if (saved) return {true, ""};
    return {false, echec + saved.message + ")"};
}

}  // namespace vellumor::numbering
