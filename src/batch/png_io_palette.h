#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "batch/image.h"

namespace vellumor::png_detail {

// The pixels of an image as written below 32 bits, one row at a time: 24-bit rows as they are,
// 32-bit rows composed over white (v * a / 255 + 255 * (1 - a / 255), rounded).
class OpaqueRows {
  public:
    explicit OpaqueRows(const Image& image);
    const std::uint8_t* row(int y);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

  private:
    const Image& image_;
    std::vector<std::uint8_t> buffer_;
};

// Composes one row of RGBA pixels over white into RGB.
void compose_over_white(const std::uint8_t* rgba, int count, std::uint8_t* rgb);

// How many pixels from rgb on (at most remaining, at least 1) have the colour of the first.
int run_length(const std::uint8_t* rgb, int remaining);

// indices[i] = index_of(colour of pixel i) for count RGB pixels, index_of being asked once per
// run of one colour: scans are mostly long runs of paper.
template <class IndexOf>
void map_runs(const std::uint8_t* rgb, int count, std::uint8_t* indices, IndexOf&& index_of) {
    for (int i = 0; i < count;) {
        const std::uint8_t index = index_of(couleur(rgb[0], rgb[1], rgb[2]));
        const int n = run_length(rgb, count - i);
        std::memset(indices + i, index, std::size_t(n));
        i += n;
        rgb += std::size_t(n) * 3;
    }
}

// A palette and the rule that gives each pixel its entry: map for RGB rows, byte_index for the
// rows of a one-byte-a-pixel image (the entry of each byte value).
struct IndexedPalette {
    std::vector<Couleur> colours;
    std::function<void(const std::uint8_t* rgb, int count, std::uint8_t* indices)> map;
    std::array<std::uint8_t, 256> byte_index{};
};

// Black and white: a pixel is white when 0.2126 R + 0.7152 G + 0.0722 B exceeds 160.
IndexedPalette black_and_white_palette();

// The distinct colours of the image, in increasing colour-word order, when there are at most
// max_colours of them (at least one); nullopt when there are more.
std::optional<std::vector<Couleur>> distinct_colours(OpaqueRows& rows, std::size_t max_colours);

// The distinct colours of a one-byte-a-pixel image, in increasing colour-word order.
std::vector<Couleur> byte_image_colours(const Image& image);

// The palette of a one-byte-a-pixel image at depth 1 to 8, the same as the RGB rules give for the
// same colour words: black and white at 1, the image's own colours when there are no more than
// 2^depth of them, else learned by learn(entries), each colour taking its entry from the rule that
// nearest(palette) gives.
IndexedPalette byte_palette(
    const Image& image, int depth, const std::function<std::vector<Couleur>(int entries)>& learn,
    const std::function<std::function<std::uint8_t(Couleur)>(const std::vector<Couleur>&)>&
        nearest);

// A palette made exactly of colours (at most 256); every pixel must have one of them.
IndexedPalette exact_palette(std::vector<Couleur> colours);

}  // namespace vellumor::png_detail
