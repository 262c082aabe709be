#include "ops/numbering/cairo_raii.h"

#include <cstring>

namespace vellumor::numbering {

std::optional<Toile> creer_toile(int width, int height, Couleur background) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    SurfaceCairo surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    ContexteCairo contexte(cairo_create(surface.get()));
    if (cairo_status(contexte.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    choisir_couleur(contexte.get(), background);
    cairo_paint(contexte.get());
    return Toile{std::move(surface), std::move(contexte)};
}

void choisir_couleur(cairo_t* cr, Couleur c) {
    cairo_set_source_rgb(cr, rouge(c) / 255.0, vert(c) / 255.0, bleu(c) / 255.0);
}

std::optional<Image> image_depuis_toile(Toile& toile) {
    cairo_surface_t* s = toile.surface.get();
    if (cairo_status(toile.contexte.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    cairo_surface_flush(s);
    const int width = cairo_image_surface_get_width(s);
    const int height = cairo_image_surface_get_height(s);
    auto image = Image::create(width, height, 24, kBlack);
    if (!image) return std::nullopt;
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < height; ++y) {
        const unsigned char* src = data + std::size_t(y) * stride;
        std::uint8_t* dst = image->row(y);
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            // RGB24 keeps each pixel as a native 32-bit word 0x00RRGGBB.
            std::uint32_t word;
            std::memcpy(&word, src, 4);
            dst[0] = std::uint8_t(word >> 16);
            dst[1] = std::uint8_t(word >> 8);
            dst[2] = std::uint8_t(word);
        }
    }
    return image;
}

}  // namespace vellumor::numbering
