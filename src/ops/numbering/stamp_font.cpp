#include "ops/numbering/stamp_font.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <memory>

namespace vellumor::numbering {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Motif = std::unique_ptr<FcPattern, PatternDeleter>;

const FcChar8* fc(const char* s) {
    return reinterpret_cast<const FcChar8*>(s);
}

}  // namespace

std::optional<PoliceTampon> PoliceTampon::charger(double dpi) {
    Motif demande(FcPatternCreate());
    if (!demande) return std::nullopt;
    FcPatternAddString(demande.get(), FC_FAMILY, fc(kFamillePoliceTampon));
    FcPatternAddInteger(demande.get(), FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(demande.get(), FC_SLANT, FC_SLANT_ROMAN);
    if (!FcConfigSubstitute(nullptr, demande.get(), FcMatchPattern)) return std::nullopt;
    FcDefaultSubstitute(demande.get());
    FcResult result = FcResultNoMatch;
    Motif trouve(FcFontMatch(nullptr, demande.get(), &result));
    FcChar8* file = nullptr;
    if (!trouve || FcPatternGetString(trouve.get(), FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;
    int index = 0;
    FcPatternGetInteger(trouve.get(), FC_INDEX, 0, &index);

    // Only the file goes to cairo, so that the desktop's rendering settings (subpixel colours,
    // hinting) cannot reach the stamps: the drawing context sets those itself.
    Motif fichier(FcPatternCreate());
    if (!fichier) return std::nullopt;
    FcPatternAddString(fichier.get(), FC_FILE, file);
    FcPatternAddInteger(fichier.get(), FC_INDEX, index);
    FaceCairo face(cairo_ft_font_face_create_for_pattern(fichier.get()));
    if (cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    return PoliceTampon(std::move(face), kPointsPoliceTampon * dpi / 72.0);
}

void liberer_caches_polices() {
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace vellumor::numbering
