#include "ops/straightening/straightening.h"

#include <leptonica/allheaders.h>

#include <cmath>
#include <cstdio>
#include <new>

#include "ops/leptonica/pix.h"
#include "ops/straightening/straightening_constants.h"

namespace vellumor::straightening {
namespace {

using leptonica::PixPtr;

// Below this score ratio of the best angle to the others, the page holds no text lines
// (Leptonica's own threshold for a deskew).
constexpr float kConfianceMinimum = 3.0f;
// Reductions of the sweep and of the search: a 600-dpi line stays several pixels high at 1/4; the
// search at full size brings the largest error on text pages from 0.06° to 0.04°.
constexpr int kReductionBalayage = 4;
constexpr int kReductionRecherche = 1;
// The sweep goes a step or two beyond the range: a skew near its end must show a peak, not an
// edge.
constexpr float kPasBalayage = 1.0f;
constexpr float kPasRecherche = 0.002f;

// The page as Leptonica turns it, from its grey PIX when that holds it all: 1 bit for a bi-level
// page, grey for a grey one, colour otherwise.
PixPtr pix_a_tourner(const Image& page, PixPtr gris, bool neutre) {
    if (page.file_depth() == 1) return leptonica::pix_binaire(gris.get());
    if (neutre) return gris;
    gris.reset();
    return leptonica::pix_couleur(page);
}

Mesure mesurer_gris(Pix* gris, double angle_max) {
    Mesure m;
    const PixPtr binaire = leptonica::pix_binaire(gris);
    if (!binaire) return m;
    l_float32 angle = 0, confiance = 0, score = 0;
    if (pixFindSkewSweepAndSearchScore(
            binaire.get(), &angle, &confiance, &score, kReductionBalayage, kReductionRecherche,
            0.0f, float(angle_max) + 2 * kPasBalayage, kPasBalayage, kPasRecherche) != 0)
        return m;
    if (confiance < kConfianceMinimum) return m;
    m.lignes = true;
    m.angle = -double(angle);
    m.hors_plage = std::abs(m.angle) > angle_max + kPrecision;
    return m;
}

}  // namespace

Verdict valider(const Parametres& p) {
    if (!(p.angle_max >= kAngleMaxMinimum && p.angle_max <= kAngleMaxMaximum))
        return Echec{"L'angle maximal doit être compris entre " + texte_angle(kAngleMaxMinimum) +
                     " et " + texte_angle(kAngleMaxMaximum)};
    return Reussite{};
}

std::string texte_angle(double degres) {
    char t[32];
    std::snprintf(t, sizeof t, "%.2f", degres);
    std::string s = t;
    if (s == "-0.00") s = "0.00";
    for (char& c : s)
        if (c == '.') c = ',';
    return s + "°";
}

Mesure mesurer(const Image& page, double angle_max) {
    const PixPtr gris = leptonica::pix_gris(page);
    return gris ? mesurer_gris(gris.get(), angle_max) : Mesure{};
}

Redressement redresser(Image& page, const Parametres& p) {
    Redressement r;
    bool neutre = false;
    PixPtr gris = leptonica::pix_gris(page, &neutre);
    if (!gris) {
        r.issue = page.empty() ? Issue::DejaDroite : Issue::Memoire;
        return r;
    }
    r.mesure = mesurer_gris(gris.get(), p.angle_max);
    if (!r.mesure.lignes || r.mesure.hors_plage || std::abs(r.mesure.angle) < kPrecision) return r;
    PixPtr source = pix_a_tourner(page, std::move(gris), neutre);
    r.issue = Issue::Memoire;
    if (!source) return r;
    // Shears move whole pixels and mix none: the page keeps its own values (its palette, its
    // black and white), and the result compresses as well as the scan. Within ±10° their steps
    // are a pixel every few dozen, unseen at 600 dpi.
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    const PixPtr tournee(pixRotate(source.get(), float(-r.mesure.angle * kRadians), L_ROTATE_SHEAR,
                                   L_BRING_IN_WHITE, 0, 0));
    source.reset();
    if (!tournee || !leptonica::recopier_pix(tournee.get(), page)) return r;
    r.issue = Issue::Redressee;
    return r;
}

}  // namespace vellumor::straightening
