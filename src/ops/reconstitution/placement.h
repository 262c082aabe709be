#pragma once

#include <cstdint>
#include <optional>

#include "ops/reconstitution/format.h"

namespace vellumor::reconstitution {

// Offsets are millimetres on 600-dpi pages.
inline constexpr double kPixelsParMillimetre = 600.0 / 25.4;

// Millimetres to pixels at 600 dpi, unrounded: the one place where the unit is converted.
constexpr double millimetres_en_pixels(double mm) {
    return mm * kPixelsParMillimetre;
}

// The stored bit word of the reconstitution: 16 binding offset in use, 32 top offset in use, low 4
// bits the reference corner (1 top left, 2 top right, 4 bottom left, 8 bottom right).
inline constexpr std::int64_t kBitReliure = 16;
inline constexpr std::int64_t kBitHaut = 32;
inline constexpr std::int64_t kMasqueCoin = 0xF;
inline constexpr std::int64_t kCoinHautGauche = 1, kCoinHautDroit = 2, kCoinBasGauche = 4,
                              kCoinBasDroit = 8;
inline constexpr std::int64_t kBitsParDefaut = kCoinHautGauche;

constexpr bool reliure_utilisee(std::int64_t bits) {
    return (bits & kBitReliure) != 0;
}
constexpr bool haut_utilise(std::int64_t bits) {
    return (bits & kBitHaut) != 0;
}
// Only the top-right corner changes the placement: it swaps the binding edge of both workers.
constexpr bool coin_haut_droit(std::int64_t bits) {
    return (bits & kMasqueCoin) == kCoinHautDroit;
}

// The two workers differ only in the edge they bind on: the left-bound one takes the odd pages (and
// the even ones when every page is aligned left), the right-bound one the even pages.
enum class Ouvrier { LieAGauche, LieADroite };
enum class Bord { Gauche, Droite };

// Binding edge of the pages a worker places: its own side, the other one with the top-right corner.
Bord bord_de_reliure(Ouvrier ouvrier, std::int64_t bits);

// The panel's placement values as the workers receive them.
struct Placement {
    std::int64_t bits = kBitsParDefaut;
    double decalage_reliure = 0;     // b, millimetres; 0 when the binding offset is not in use
    std::int64_t decalage_haut = 0;  // t, millimetres
};

// The offsets one page exception gives its page, in millimetres.
struct DecalagesPage {
    std::int64_t OffsetX = 0;  // from the binding edge
    std::int64_t OffsetY = 0;  // from the top edge
};

struct Position {
    int x = 0;
    int y = 0;
    bool operator==(const Position&) const = default;
};

// Top-left corner of a page_w x page_h page on the blank page. Not in use, an offset centres the
// page on its axis, the halving rounded toward zero (toward minus infinity horizontally for the
// right-bound worker when the exception list is empty). In use, it is rint(offset x 600/25.4) from
// the top edge, or from the binding edge, the subtraction from the right done in doubles before
// rounding; a found exception replaces only the offsets in use. The result may be negative (the
// page is then cut off) and is held within +-100000 whatever the offsets.
Position position_page(const Placement& placement, Ouvrier ouvrier, TailleFormat vierge, int page_w,
                       int page_h, const std::optional<DecalagesPage>& exception,
                       bool liste_exceptions_vide);

// Whether a page_w x page_h page at pos puts at least one pixel on a vierge_w x vierge_h blank
// page.
constexpr bool tombe_sur_la_page(Position pos, int page_w, int page_h, int vierge_w, int vierge_h) {
    return page_w > 0 && page_h > 0 && std::int64_t(pos.x) + page_w > 0 && pos.x < vierge_w &&
           std::int64_t(pos.y) + page_h > 0 && pos.y < vierge_h;
}

}  // namespace vellumor::reconstitution
