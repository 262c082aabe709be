#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "batch/image.h"
#include "ops/numbering/stamp_font.h"

namespace vellumor::numbering {

// The four stamp models of the numbering window.
enum class ModeleNumero { Disque, RectangleNoir, RectangleBlanc, Anneau };

// Canvas colour under the number and the number's own colour; both opaque.
struct CouleursModele {
    Couleur toile;
    Couleur encre;
};
CouleursModele couleurs_modele(ModeleNumero modele);
bool modele_rond(ModeleNumero modele);

inline constexpr int kLargeurToileNombre = 350;
inline constexpr int kHauteurToileNombre = 150;
inline constexpr Couleur kGrisAnneau = 0x808080;

// Width and height of a cropped picture.
struct Rognage {
    std::int32_t largeur = 0;
    std::int32_t hauteur = 0;
};

// The 350 x 150 canvas in the model's canvas colour with text drawn in its ink, the top-left of the
// text's line box at (0, 0). Glyph edges are smoothed in grey levels; every pixel off the glyphs
// keeps exactly the canvas colour. Text wider than the canvas is cut at its edge. nullopt when the
// canvas or the drawing cannot be had.
std::optional<Image> dessiner_nombre(const PoliceTampon& police, std::string_view texte,
                                     ModeleNumero modele);

// The margin colour of a crop: white for opaque black ink, black for any other ink.
Couleur fond_de_rognage(Couleur encre);

// The picture cut to its ink: rows and columns made only of the background colour (exactly) are
// removed from the four edges; smoothed edge pixels count as ink. record receives the size. A
// picture with no ink at all gives an empty image and a 0 x 0 record.
Image rogner_a_l_encre(const Image& picture, Couleur encre, Rognage& record);

// Side of a round stamp: 2T + sqrt(mw^2 + mh^2), rounded to nearest, halves to even.
int diametre_tampon(int mw, int mh, int T);

// The D x D white picture of a round model's shape before its crop: for the ring a circle at
// (D/2, D/2) of radius D/2 - t stroked t wide in grey 128; for the disc a black disc at
// (D/2 - 1, D/2 - 1) of radius D/2. nullopt when the picture cannot be had.
std::optional<Image> forme_ronde(ModeleNumero modele, int D, int t);

// The (mw + 2T) x (mh + 2T) base of a rectangle model (T = t + s): wholly black for the black
// rectangle, a white rectangle inside a black frame t thick for the framed one. depth is the
// depth of the number pictures. nullopt when the picture cannot be had.
std::optional<Image> fond_rectangle(ModeleNumero modele, int mw, int mh, int t, int s, int depth);

// Pastes number onto stamp at ((W - w) / 2, (H - h) / 2), integer division.
void coller_au_centre(Image& stamp, const Image& number);

}  // namespace vellumor::numbering
