#include "ops/colourising/colourising.h"

#include <cstdint>

#include "ops/colourising/colourising_constants.h"

namespace vellumor {

void coloriser(Image& page) {
    const int channels = page.channels();
    const std::size_t row_bytes = page.stride();
    for (int y = 0; y < page.height(); ++y) {
        std::uint8_t* p = page.row(y);
        for (std::size_t i = 0; i < row_bytes; i += channels) {
            if ((p[i] & p[i + 1] & p[i + 2]) != 0xFF) {
                p[i] = 0;
                p[i + 1] = 0;
                p[i + 2] = 0xFF;
            }
            if (channels == 4) p[i + 3] = 0xFF;
        }
    }
}

std::filesystem::path nom_colorise(const std::filesystem::path& source) {
    std::filesystem::path name = source.stem();
    name += colourising::kOutputSuffix;
    return source.parent_path() / name;
}

}  // namespace vellumor
