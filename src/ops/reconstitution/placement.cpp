#include "ops/reconstitution/placement.h"

#include <algorithm>
#include <cmath>

namespace vellumor::reconstitution {

namespace {

// Far enough outside any page (sides are at most 32767) that a clamped page is cut off entirely.
constexpr double kLimitePosition = 100000;

int arrondi_pair(double pixels) {
    return static_cast<int>(std::clamp(std::rint(pixels), -kLimitePosition, kLimitePosition));
}

int moitie_vers_moins_infini(int n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}

}  // namespace

Bord bord_de_reliure(Ouvrier ouvrier, std::int64_t bits) {
    const bool gauche = (ouvrier == Ouvrier::LieAGauche) != coin_haut_droit(bits);
    return gauche ? Bord::Gauche : Bord::Droite;
}

Position position_page(const Placement& placement, Ouvrier ouvrier, TailleFormat vierge, int page_w,
                       int page_h, const std::optional<DecalagesPage>& exception,
                       bool liste_exceptions_vide) {
    Position p;
    const int reste_x = vierge.largeur - page_w;
    if (!reliure_utilisee(placement.bits)) {
        p.x = (ouvrier == Ouvrier::LieADroite && liste_exceptions_vide)
                  ? moitie_vers_moins_infini(reste_x)
                  : reste_x / 2;
    } else {
        const double m = exception ? double(exception->OffsetX) : placement.decalage_reliure;
        const double depuis_bord = millimetres_en_pixels(m);
        p.x = bord_de_reliure(ouvrier, placement.bits) == Bord::Gauche
                  ? arrondi_pair(depuis_bord)
                  : arrondi_pair(double(reste_x) - depuis_bord);
    }
    if (!haut_utilise(placement.bits)) {
        p.y = (vierge.hauteur - page_h) / 2;
    } else {
        const double n = exception ? double(exception->OffsetY) : double(placement.decalage_haut);
        p.y = arrondi_pair(millimetres_en_pixels(n));
    }
    return p;
}

}  // namespace vellumor::reconstitution
