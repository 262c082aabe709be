#pragma once

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/resultat.h"

namespace vellumor {

// libpng's read structures over a PNG file already in memory. libpng reports errors by longjmp
// (the message lands in error, in French); everything it can jump over is plain C data, so no C++
// destructor is skipped. A damaged file ends in error, never in a read past the bytes.
struct PngMemoryReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    char error[200] = {};
    char warning[200] = {};  // libpng's last warning, in its own words

    // png and info stay null when libpng cannot allocate them (ok() is false).
    PngMemoryReader(const unsigned char* bytes, std::size_t length);
    PngMemoryReader(const PngMemoryReader&) = delete;
    PngMemoryReader& operator=(const PngMemoryReader&) = delete;
    ~PngMemoryReader();

    bool ok() const { return png && info; }
};

// A picture larger than this once decoded is refused: no page format comes near it, and it keeps
// a corrupt or hostile header (a "decompression bomb") from costing gigabytes or minutes.
inline constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t(1) << 30;

// Bytes of a picture's data once inflated: every row (of every pass when interlaced) with its
// filter byte; bits_per_pixel is the file's own (bit depth x samples a pixel).
std::uint64_t inflated_size(std::uint32_t width, std::uint32_t height, int bits_per_pixel,
                            bool interlaced);

// What a header declares, judged before anything is allocated: TooLarge when decoded_bytes (what
// the caller would decode) exceed kMaxDecodedBytes, CannotFill when image_data bytes of compressed
// data cannot give `inflated` bytes even at deflate's best ratio (a tiny file declaring a huge
// picture).
enum class DeclaredSize { Decodable, TooLarge, CannotFill };
DeclaredSize judge_declared_size(std::uint64_t decoded_bytes, std::uint64_t inflated,
                                 std::uint64_t image_data);

// judge_declared_size, refusing with a French reason.
Verdict declared_size_refusal(std::uint64_t decoded_bytes, std::uint64_t inflated,
                              std::uint64_t image_data);

}  // namespace vellumor
