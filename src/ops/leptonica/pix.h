#pragma once

#include <memory>
#include <optional>

#include "batch/image.h"

struct Pix;

// The edge between our pages and Leptonica's: its PIX handle and the conversions both ways, made
// through Image's public pixel access only.
namespace vellumor::leptonica {

struct DetruirePix {
    void operator()(Pix* p) const;
};
using PixPtr = std::unique_ptr<Pix, DetruirePix>;

// Silences Leptonica's own messages on stderr (our fronts say what went wrong, in French). Safe to
// call from any thread, any number of times.
void preparer();

// Ink below this luminance is black on a bi-level page, as the 1-bit save draws it.
inline constexpr int kSeuilNoir = 160;

// An 8-bit grey PIX of the page's luminance, 0.2126 R + 0.7152 G + 0.0722 B rounded (a grey page's
// own values); *neutre, when given, tells whether every pixel was grey. Null for an empty page or
// when the memory cannot be had.
PixPtr pix_gris(const Image& page, bool* neutre = nullptr);
// The 1-bit PIX of a grey one: black where the grey is <= kSeuilNoir. Null when the memory cannot
// be had.
PixPtr pix_binaire(Pix* gris);
// A 32-bit RGB PIX of the page (alpha not carried). Null as above.
PixPtr pix_couleur(const Image& page);

// The page a PIX holds, at the file depth that keeps its values: 1 for bi-level, the PIX's depth
// for a palette or a 2- or 4-bit grey picture, 8 for grey (16-bit grey reduced to 8), 24 for
// colour (a fourth sample, alpha, is composed over white). Black is 1 on a bi-level PIX without a
// palette. The resolution is the PIX's when it has one. Nullopt for an unknown depth, sides
// outside 1..kMaxSide or when the memory cannot be had.
std::optional<Image> image_depuis_pix(const Pix* pix);

// Writes a PIX of the page's own size over the page's pixels (as image_depuis_pix reads them),
// keeping the page's file depth and resolution. False, page untouched, when the sizes differ or
// the depth is unknown.
bool recopier_pix(const Pix* pix, Image& page);

}  // namespace vellumor::leptonica
