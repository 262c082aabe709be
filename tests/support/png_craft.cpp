#include "support/png_craft.h"

#include <zlib.h>

namespace vellumor::test {
namespace {

void put_be32(std::string& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out += char((v >> s) & 0xFF);
}

}  // namespace

std::string png_chunk(std::string_view type, std::string_view data) {
    std::string out;
    put_be32(out, std::uint32_t(data.size()));
    std::string body = std::string(type) + std::string(data);
    out += body;
    put_be32(out, std::uint32_t(
                      crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    return out;
}

std::string ihdr_data(std::uint32_t width, std::uint32_t height, int bit_depth, int colour_type,
                      bool interlaced) {
    std::string out;
    put_be32(out, width);
    put_be32(out, height);
    out += char(bit_depth);
    out += char(colour_type);
    out += std::string(2, '\0');
    out += char(interlaced ? 1 : 0);
    return out;
}

std::string zlib_stream(std::string_view raw, int level) {
    uLongf n = compressBound(uLong(raw.size()));
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
              uLong(raw.size()), level);
    out.resize(n);
    return out;
}

std::string png_of(std::string_view ihdr, std::string_view idat, std::string_view before_idat) {
    return "\x89PNG\r\n\x1a\n" + png_chunk("IHDR", ihdr) + std::string(before_idat) +
           png_chunk("IDAT", idat) + png_chunk("IEND", "");
}

}  // namespace vellumor::test
