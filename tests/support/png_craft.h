#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumor::test {

// PNG files put together chunk by chunk, to make damage that libpng's writer never makes (a wrong
// Adler-32 under right chunk checksums, a bad row filter, a header that lies about the size).

// A chunk: length, type, data and its CRC.
std::string png_chunk(std::string_view type, std::string_view data);

// The 13 bytes of an IHDR.
std::string ihdr_data(std::uint32_t width, std::uint32_t height, int bit_depth, int colour_type,
                      bool interlaced = false);

// The zlib stream of raw (rows with their filter bytes).
std::string zlib_stream(std::string_view raw, int level = 6);

// Signature, IHDR, the chunks of before_idat, one IDAT holding idat, IEND.
std::string png_of(std::string_view ihdr, std::string_view idat, std::string_view before_idat = {});

}  // namespace vellumor::test
