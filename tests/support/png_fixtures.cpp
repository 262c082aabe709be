#include "support/png_fixtures.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace vellumor::test {
namespace {

void on_warning(png_structp, png_const_charp) {}

std::vector<std::vector<png_byte>> pack_rows(const PngFile& png) {
    const int per_row = png.width * png.channels();
    const std::size_t row_bytes = (std::size_t(per_row) * png.bit_depth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(png.height, std::vector<png_byte>(row_bytes, 0));
    for (int y = 0; y < png.height; ++y) {
        for (int i = 0; i < per_row; ++i) {
            const std::uint16_t v = png.samples[std::size_t(y) * per_row + i];
            auto& row = rows[y];
            if (png.bit_depth == 16) {
                row[2 * i] = png_byte(v >> 8);
                row[2 * i + 1] = png_byte(v);
            } else if (png.bit_depth == 8) {
                row[i] = png_byte(v);
            } else {
                const int bit = i * png.bit_depth;
                row[bit / 8] |= png_byte(v << (8 - png.bit_depth - bit % 8));
            }
        }
    }
    return rows;
}

std::uint16_t unpack(const png_byte* row, int i, int bit_depth) {
    if (bit_depth == 16) return std::uint16_t((row[2 * i] << 8) | row[2 * i + 1]);
    if (bit_depth == 8) return row[i];
    const int bit = i * bit_depth;
    return std::uint16_t((row[bit / 8] >> (8 - bit_depth - bit % 8)) & ((1 << bit_depth) - 1));
}

void append(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}
void flush(png_structp) {}

png_color_16 colour16(std::uint32_t c) {
    png_color_16 v{};
    v.red = c & 0xFF;
    v.green = (c >> 8) & 0xFF;
    v.blue = (c >> 16) & 0xFF;
    return v;
}

bool encode_into(png_structp png, png_infop info, const PngFile& f, std::string& out,
                 png_bytepp rows, const png_color* plte, const png_byte* trns,
                 const png_color_16* trns_colour) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, append, flush);
    png_set_IHDR(png, info, f.width, f.height, f.bit_depth, f.colour_type,
                 f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!f.palette.empty()) png_set_PLTE(png, info, plte, int(f.palette.size()));
    if (!f.palette_alpha.empty())
        png_set_tRNS(png, info, trns, int(f.palette_alpha.size()), nullptr);
    if (f.transparent_grey || f.transparent_colour)
        png_set_tRNS(png, info, nullptr, 0, trns_colour);
    if (f.pixels_per_metre)
        png_set_pHYs(png, info, f.pixels_per_metre->first, f.pixels_per_metre->second,
                     PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

struct ReadState {
    const std::string* bytes;
    std::size_t pos = 0;
};
void read_bytes_fn(png_structp png, png_bytep out, png_size_t length) {
    auto* s = static_cast<ReadState*>(png_get_io_ptr(png));
    if (length > s->bytes->size() - s->pos) png_error(png, "truncated");
    std::memcpy(out, s->bytes->data() + s->pos, length);
    s->pos += length;
}

bool read_info(png_structp png, png_infop info, ReadState& state, PngFile& f) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &state, read_bytes_fn);
    png_read_info(png, info);
    f.width = int(png_get_image_width(png, info));
    f.height = int(png_get_image_height(png, info));
    f.bit_depth = png_get_bit_depth(png, info);
    f.colour_type = png_get_color_type(png, info);
    f.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_colorp plte = nullptr;
    int n = 0;
    if (png_get_PLTE(png, info, &plte, &n))
        for (int i = 0; i < n; ++i)
            f.palette.push_back(plte[i].red | (plte[i].green << 8) | (plte[i].blue << 16));
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER)
        f.pixels_per_metre = std::make_pair(x, y);
    if (f.interlaced) png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool read_rows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

int PngFile::channels() const {
    switch (colour_type) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        default:
            return 1;
    }
}

std::uint16_t& PngFile::at(int x, int y, int channel) {
    return samples[(std::size_t(y) * width + x) * channels() + channel];
}
std::uint16_t PngFile::at(int x, int y, int channel) const {
    return samples[(std::size_t(y) * width + x) * channels() + channel];
}

PngFile blank_png(int width, int height, int colour_type, int bit_depth) {
    PngFile f;
    f.width = width;
    f.height = height;
    f.colour_type = colour_type;
    f.bit_depth = bit_depth;
    f.samples.assign(std::size_t(width) * height * f.channels(), 0);
    return f;
}

std::string encode_png(const PngFile& f) {
    auto rows = pack_rows(f);
    std::vector<png_bytep> pointers;
    for (auto& r : rows) pointers.push_back(r.data());
    std::vector<png_color> plte;
    for (std::uint32_t c : f.palette)
        plte.push_back({png_byte(c), png_byte(c >> 8), png_byte(c >> 16)});
    png_color_16 trns_colour{};
    if (f.transparent_grey) trns_colour.gray = *f.transparent_grey;
    if (f.transparent_colour) trns_colour = colour16(*f.transparent_colour);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, on_warning);
    png_infop info = png_create_info_struct(png);
    std::string out;
    const bool ok = encode_into(png, info, f, out, pointers.data(), plte.data(),
                                f.palette_alpha.data(), &trns_colour);
    png_destroy_write_struct(&png, &info);
    if (!ok) throw std::runtime_error("libpng refused the fixture");
    return out;
}

void write_png_file(const std::filesystem::path& file, const PngFile& png) {
    write_bytes(file, encode_png(png));
}

std::optional<PngFile> read_png_file(const std::filesystem::path& file) {
    const std::string bytes = read_bytes(file);
    ReadState state{&bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, on_warning);
    png_infop info = png_create_info_struct(png);
    PngFile f;
    bool ok = read_info(png, info, state, f);
    if (ok) {
        std::vector<std::vector<png_byte>> rows(f.height,
                                                std::vector<png_byte>(png_get_rowbytes(png, info)));
        std::vector<png_bytep> pointers;
        for (auto& r : rows) pointers.push_back(r.data());
        ok = read_rows(png, pointers.data());
        const int per_row = f.width * f.channels();
        for (int y = 0; ok && y < f.height; ++y)
            for (int i = 0; i < per_row; ++i)
                f.samples.push_back(unpack(rows[y].data(), i, f.bit_depth));
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return std::nullopt;
    return f;
}

std::optional<PngStreamFacts> png_stream_facts(const std::filesystem::path& file) {
    const std::string bytes = read_bytes(file);
    auto be32 = [&](std::size_t at) {
        return (std::uint32_t(std::uint8_t(bytes[at])) << 24) |
               (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
               (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint8_t(bytes[at + 3]);
    };
    std::string idat;
    std::uint32_t width = 0, height = 0;
    int bits_per_pixel = 0;
    for (std::size_t pos = 8; pos + 8 <= bytes.size();) {
        const std::uint32_t length = be32(pos);
        const std::string type = bytes.substr(pos + 4, 4);
        if (pos + 12 + length > bytes.size()) return std::nullopt;
        if (type == "IHDR") {
            width = be32(pos + 8);
            height = be32(pos + 12);
            const int depth = std::uint8_t(bytes[pos + 16]);
            const int type_code = std::uint8_t(bytes[pos + 17]);
            const int channels = type_code == 2 ? 3 : type_code == 6 ? 4 : type_code == 4 ? 2 : 1;
            bits_per_pixel = depth * channels;
            if (bytes[pos + 20] != 0) return std::nullopt;  // interlaced
        }
        if (type == "IDAT") idat += bytes.substr(pos + 8, length);
        pos += 12 + length;
    }
    if (idat.size() < 2 || bits_per_pixel == 0) return std::nullopt;
    const std::size_t row_bytes = 1 + (std::size_t(width) * bits_per_pixel + 7) / 8;
    std::string raw(row_bytes * height, '\0');
    uLongf raw_size = raw.size();
    if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_size,
                   reinterpret_cast<const Bytef*>(idat.data()), idat.size()) != Z_OK ||
        raw_size != raw.size())
        return std::nullopt;
    PngStreamFacts facts;
    facts.zlib_level = std::uint8_t(idat[1]) >> 6;
    for (std::uint32_t y = 0; y < height; ++y) facts.row_filters.push_back(raw[y * row_bytes]);
    return facts;
}

}  // namespace vellumor::test
