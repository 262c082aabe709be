#pragma once

#include <cairo.h>

#include <memory>
#include <optional>

#include "batch/image.h"

namespace vellumor::numbering {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FontFaceDeleter {
    void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};
struct FontOptionsDeleter {
    void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};

using SurfaceCairo = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContexteCairo = std::unique_ptr<cairo_t, ContextDeleter>;
using FaceCairo = std::unique_ptr<cairo_font_face_t, FontFaceDeleter>;
using OptionsPoliceCairo = std::unique_ptr<cairo_font_options_t, FontOptionsDeleter>;

// A 24-bit cairo surface of width x height painted with background, with its drawing context;
// nullopt when cairo cannot make either.
struct Toile {
    SurfaceCairo surface;
    ContexteCairo contexte;
};
std::optional<Toile> creer_toile(int width, int height, Couleur background);

// Sets the context's source to an opaque colour word.
void choisir_couleur(cairo_t* cr, Couleur c);

// The surface's pixels as a 24-bit image (file depth 24); nullopt when the surface is in error.
std::optional<Image> image_depuis_toile(Toile& toile);

}  // namespace vellumor::numbering
