#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vellumor::test {

// A PNG as it is stored: any colour type and bit depth libpng accepts, with raw sample values.
// Used to write fixture files straight through libpng, and to read back what a save wrote.
struct PngFile {
    int width = 0;
    int height = 0;
    int colour_type = 0;  // PNG_COLOR_TYPE_GRAY, _PALETTE, _RGB, _RGB_ALPHA, _GRAY_ALPHA
    int bit_depth = 8;    // 1, 2, 4, 8 or 16
    // Row-major, one value per sample (palette index, grey, R G B [A] ...), each below
    // 2^bit_depth.
    std::vector<std::uint16_t> samples;
    std::vector<std::uint32_t> palette;               // 0x00BBGGRR entries (palette pictures)
    std::vector<std::uint8_t> palette_alpha;          // tRNS for palette pictures
    std::optional<std::uint16_t> transparent_grey;    // tRNS for grey pictures
    std::optional<std::uint32_t> transparent_colour;  // tRNS for RGB pictures, 0x00BBGGRR
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pixels_per_metre;  // pHYs
    bool interlaced = false;

    int channels() const;
    std::uint16_t& at(int x, int y, int channel = 0);
    std::uint16_t at(int x, int y, int channel = 0) const;
};

// A picture of the given kind with every sample 0.
PngFile blank_png(int width, int height, int colour_type, int bit_depth);

// The bytes of png encoded by libpng (default compression, default filters).
std::string encode_png(const PngFile& png);
void write_png_file(const std::filesystem::path& file, const PngFile& png);

// Reads a file without any transformation; nullopt when libpng refuses it.
std::optional<PngFile> read_png_file(const std::filesystem::path& file);

// Facts of the compressed data of a non-interlaced file: the filter byte of every row and the
// compression level recorded in the zlib header (0 fastest .. 3 maximum).
struct PngStreamFacts {
    std::vector<std::uint8_t> row_filters;
    int zlib_level = -1;
};
std::optional<PngStreamFacts> png_stream_facts(const std::filesystem::path& file);

}  // namespace vellumor::test
