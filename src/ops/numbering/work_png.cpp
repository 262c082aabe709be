#include "ops/numbering/work_png.h"

#include <png.h>

namespace vellumor::numbering {

SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path) {
    if (image.empty()) return {false, "L'image à écrire est vide."};
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    header.width = png_uint_32(image.width());
    header.height = png_uint_32(image.height());
    header.format = image.has_alpha() ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    header.flags = PNG_IMAGE_FLAG_FAST;
    // The simplified writer frees its own state whether it succeeds or not.
    if (png_image_write_to_file(&header, path.c_str(), 0, image.data(), png_int_32(image.stride()),
                                nullptr) != 0)
        return {true, ""};
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return {false, std::string("Écriture PNG impossible : ") + header.message};
}

}  // namespace vellumor::numbering
