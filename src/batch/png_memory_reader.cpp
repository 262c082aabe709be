#include "batch/png_memory_reader.h"

#include <cstdio>
#include <cstring>

#include "batch/png_messages.h"

namespace vellumor {
namespace {

void on_error(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngMemoryReader*>(png_get_error_ptr(png));
    std::snprintf(r->error, sizeof r->error, "%s", french_png_message(message, r->warning).c_str());
    png_longjmp(png, 1);
}

// The last warning explains the error that follows it (which field of a header is wrong).
void on_warning(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngMemoryReader*>(png_get_error_ptr(png));
    std::snprintf(r->warning, sizeof r->warning, "%s", message);
}

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
    auto* r = static_cast<PngMemoryReader*>(png_get_io_ptr(png));
    if (length > r->size - r->pos) png_error(png, "fichier tronqué");
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
}

}  // namespace

PngMemoryReader::PngMemoryReader(const unsigned char* bytes, std::size_t length)
    : data(bytes), size(length) {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, on_error, on_warning);
    if (!png) return;
    info = png_create_info_struct(png);
    png_set_read_fn(png, this, read_from_memory);
}

std::uint64_t inflated_size(std::uint32_t width, std::uint32_t height, int bits_per_pixel,
                            bool interlaced) {
    const auto rows = [bits_per_pixel](std::uint64_t w, std::uint64_t h) -> std::uint64_t {
        return w == 0 ? 0 : h * (1 + (w * std::uint64_t(bits_per_pixel) + 7) / 8);
    };
    if (!interlaced) return rows(width, height);
    // The seven passes of Adam7: first column and row, then the step between them.
    static const int x0[] = {0, 4, 0, 2, 0, 1, 0}, dx[] = {8, 8, 4, 4, 2, 2, 1};
    static const int y0[] = {0, 0, 4, 0, 2, 0, 1}, dy[] = {8, 8, 8, 4, 4, 2, 2};
    std::uint64_t total = 0;
    for (int p = 0; p < 7; ++p) {
        const std::uint64_t w =
            width > std::uint32_t(x0[p]) ? (width - x0[p] + dx[p] - 1) / dx[p] : 0;
        const std::uint64_t h =
            height > std::uint32_t(y0[p]) ? (height - y0[p] + dy[p] - 1) / dy[p] : 0;
        total += rows(w, h);
    }
    return total;
}

DeclaredSize judge_declared_size(std::uint64_t decoded_bytes, std::uint64_t inflated,
                                 std::uint64_t image_data) {
    constexpr std::uint64_t kDeflateBestRatio = 1032;
    if (decoded_bytes > kMaxDecodedBytes) return DeclaredSize::TooLarge;
    if (inflated / kDeflateBestRatio > image_data + 64) return DeclaredSize::CannotFill;
    return DeclaredSize::Decodable;
}

Verdict declared_size_refusal(std::uint64_t decoded_bytes, std::uint64_t inflated,
                              std::uint64_t image_data) {
    switch (judge_declared_size(decoded_bytes, inflated, image_data)) {
        case DeclaredSize::TooLarge:
            return Echec{"l'image est trop grande pour être décodée"};
        case DeclaredSize::CannotFill:
            return Echec{"le fichier est tronqué (ses données ne peuvent pas remplir l'image)"};
        default:
            return Reussite{};
    }
}

PngMemoryReader::~PngMemoryReader() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
}

}  // namespace vellumor
