#include "ops/numbering/stamps.h"

#include <cmath>
#include <numbers>
#include <string>

namespace vellumor::numbering {
namespace {

bool row_is_background(const Image& img, int y, Couleur bg) {
    for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != bg) return false;
    return true;
}

bool column_is_background(const Image& img, int x, int y0, int y1, Couleur bg) {
    for (int y = y0; y < y1; ++y)
        if (img.pixel(x, y) != bg) return false;
    return true;
}

void regler_rendu_texte(cairo_t* cr) {
    // Grey-level smoothing only: coloured subpixel fringes would put colours outside the model's
    // own into the stamp.
    OptionsPoliceCairo options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(options.get(), CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options.get());
}

}  // namespace

CouleursModele couleurs_modele(ModeleNumero modele) {
    switch (modele) {
        case ModeleNumero::Disque:
        case ModeleNumero::RectangleNoir:
            return {kBlack, kWhite};
        case ModeleNumero::RectangleBlanc:
        case ModeleNumero::Anneau:
            break;
    }
    return {kWhite, kBlack};
}

bool modele_rond(ModeleNumero modele) {
    return modele == ModeleNumero::Disque || modele == ModeleNumero::Anneau;
}

std::optional<Image> dessiner_nombre(const PoliceTampon& police, std::string_view texte,
                                     ModeleNumero modele) {
    const CouleursModele c = couleurs_modele(modele);
    auto toile = creer_toile(kLargeurToileNombre, kHauteurToileNombre, c.toile);
    if (!toile) return std::nullopt;
    cairo_t* cr = toile->contexte.get();
    cairo_set_font_face(cr, police.face());
    cairo_set_font_size(cr, police.taille_pixels());
    regler_rendu_texte(cr);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    choisir_couleur(cr, c.encre);
    cairo_move_to(cr, 0, extents.ascent);
    const std::string text(texte);
    cairo_show_text(cr, text.c_str());
    return image_depuis_toile(*toile);
}

Couleur fond_de_rognage(Couleur encre) {
    return encre == kBlack ? kWhite : kBlack;
}

Image rogner_a_l_encre(const Image& picture, Couleur encre, Rognage& record) {
    record = {};
    const Couleur bg = fond_de_rognage(encre);
    const int W = picture.width(), H = picture.height();
    int top = 0;
    while (top < H && row_is_background(picture, top, bg)) ++top;
    if (top == H) return Image{};
    int bottom = 0;
    while (row_is_background(picture, H - 1 - bottom, bg)) ++bottom;
    const int y1 = H - bottom;
    int left = 0;
    while (column_is_background(picture, left, top, y1, bg)) ++left;
    int right = 0;
    while (column_is_background(picture, W - 1 - right, top, y1, bg)) ++right;
    Image cropped = picture.grab(left, top, W - left - right, H - top - bottom);
    record = {cropped.width(), cropped.height()};
    return cropped;
}

int diametre_tampon(int mw, int mh, int T) {
    const double side = 2.0 * T + std::sqrt(double(mw) * mw + double(mh) * mh);
    return int(std::nearbyint(side));
}

std::optional<Image> forme_ronde(ModeleNumero modele, int D, int t) {
    auto toile = creer_toile(D, D, kWhite);
    if (!toile) return std::nullopt;
    cairo_t* cr = toile->contexte.get();
    const double half = D / 2.0;
    if (modele == ModeleNumero::Anneau) {
        cairo_arc(cr, half, half, half - t, 0, 2 * std::numbers::pi);
        choisir_couleur(cr, kGrisAnneau);
        cairo_set_line_width(cr, t);
        cairo_stroke(cr);
    } else {
        cairo_arc(cr, half - 1, half - 1, half, 0, 2 * std::numbers::pi);
        choisir_couleur(cr, kBlack);
        cairo_fill(cr);
    }
    return image_depuis_toile(*toile);
}

std::optional<Image> fond_rectangle(ModeleNumero modele, int mw, int mh, int t, int s, int depth) {
    const int T = t + s;
    auto stamp = Image::create(mw + 2 * T, mh + 2 * T, depth, kBlack);
    if (!stamp) return std::nullopt;
    const Couleur inside = modele == ModeleNumero::RectangleBlanc ? kWhite : kBlack;
    stamp->fill_box(t, t, stamp->width() - 2 * t, stamp->height() - 2 * t, inside);
    return stamp;
}

void coller_au_centre(Image& stamp, const Image& number) {
    stamp.draw(number, (stamp.width() - number.width()) / 2,
               (stamp.height() - number.height()) / 2);
}

}  // namespace vellumor::numbering
