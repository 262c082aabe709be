#pragma once

#include <optional>

#include "ops/numbering/cairo_raii.h"

namespace vellumor::numbering {

inline constexpr const char* kFamillePoliceTampon = "ARIAL";
inline constexpr double kPointsPoliceTampon = 110.0;

// The stamp font: face "ARIAL", bold, 110 points, resolved through fontconfig (on Linux Arial
// resolves to a metric-compatible face). Loaded once and shared read-only by the stamp builder.
class PoliceTampon {
  public:
    // Resolves the face for a screen of dpi dots per inch (em = 110 x dpi / 72 pixels); nullopt
    // when fontconfig finds no font file for it or cairo cannot open that file.
    static std::optional<PoliceTampon> charger(double dpi = 96.0);

    cairo_font_face_t* face() const { return face_.get(); }
    double taille_pixels() const { return taille_pixels_; }

  private:
    PoliceTampon(FaceCairo face, double taille) : face_(std::move(face)), taille_pixels_(taille) {}
    FaceCairo face_;
    double taille_pixels_ = 0;
};

// Frees the process-wide caches of cairo and fontconfig. Only once no stamp font or drawing is
// left anywhere in the process (at exit), so that leak checkers report real leaks only.
void liberer_caches_polices();

}  // namespace vellumor::numbering
