#pragma once

#include <png.h>

#include <cstddef>

namespace vellumor {

// libpng's read structures over a PNG file already in memory. libpng reports errors by longjmp
// (the message lands in error); everything it can jump over is plain C data, so no C++
// destructor is skipped. A damaged file ends in error, never in a read past the bytes.
struct PngMemoryReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    char error[200] = {};

    // png and info stay null when libpng cannot allocate them (ok() is false).
    PngMemoryReader(const unsigned char* bytes, std::size_t length);
    PngMemoryReader(const PngMemoryReader&) = delete;
    PngMemoryReader& operator=(const PngMemoryReader&) = delete;
    ~PngMemoryReader();

    bool ok() const { return png && info; }
};

}  // namespace vellumor
