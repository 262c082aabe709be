#include "ops/colourising/colourising.h"

#include <cstdint>

#include "ops/colourising/colourising_constants.h"

namespace vellumor {

namespace {

// The channel count is fixed at compile time; white pixels, the most, are only read.
template <int Channels>
void colour_rows(Image& page) {
    for (int y = 0; y < page.height(); ++y) {
        std::uint8_t* p = page.row(y);
        for (int x = 0; x < page.width(); ++x, p += Channels) {
            if ((p[0] & p[1] & p[2]) != 0xFF) {
                p[0] = 0x00;
                p[1] = 0x00;
                p[2] = 0xFF;
            }
            if constexpr (Channels == 4) p[3] = 0xFF;
        }
    }
}

}  // namespace

void coloriser(Image& page) {
    if (page.is_grey()) {
        // Only the colours of the byte values change: the pixels stay as they are.
        Image::Palette colours;
        for (int v = 0; v < 256; ++v) {
            const bool white = page.colour_of(std::uint8_t(v)) == kWhite;
            colours[std::size_t(v)] = white ? kWhite : couleur(0x00, 0x00, 0xFF);
        }
        page.set_palette(colours);
    } else if (page.has_alpha())
        colour_rows<4>(page);
    else
        colour_rows<3>(page);
}

std::filesystem::path nom_colorise(const std::filesystem::path& source) {
    std::filesystem::path name = source.stem();
    name += colourising::kOutputSuffix;
    return source.parent_path() / name;
}

}  // namespace vellumor
