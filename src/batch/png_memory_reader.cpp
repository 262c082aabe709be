#include "batch/png_memory_reader.h"

#include <cstdio>
#include <cstring>

namespace vellumor {
namespace {

void on_error(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngMemoryReader*>(png_get_error_ptr(png));
    std::snprintf(r->error, sizeof r->error, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

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

PngMemoryReader::~PngMemoryReader() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
}

}  // namespace vellumor
