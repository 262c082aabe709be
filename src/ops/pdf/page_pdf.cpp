#include "ops/pdf/page_pdf.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "batch/png_header.h"
#include "ops/pdf/pdf_constants.h"

namespace vellumor::pdf {
namespace {

constexpr double kPointsParPouce = 72.0;
constexpr double kMetresParPouce = 0.0254;

double points(std::uint32_t pixels, double points_par_pixel) {
    return double(pixels) * points_par_pixel;
}

}  // namespace

TaillePoints taille_page(std::uint32_t largeur, std::uint32_t hauteur,
                         const std::optional<Resolution>& propre, std::optional<int> dpi_impose) {
    double px = kPointsParPouce / kDefaultDpi, py = px;
    if (dpi_impose) {
        px = py = kPointsParPouce / *dpi_impose;
    } else if (propre && propre->x_per_metre > 0 && propre->y_per_metre > 0) {
        px = kPointsParPouce / (propre->x_per_metre * kMetresParPouce);
        py = kPointsParPouce / (propre->y_per_metre * kMetresParPouce);
    }
    return {points(largeur, px), points(hauteur, py)};
}

Resultat<FormatPage> format_page(std::uint32_t largeur, std::uint32_t hauteur,
                                 const std::optional<Resolution>& propre,
                                 std::optional<int> dpi_impose) {
    FormatPage f;
    f.boite = taille_page(largeur, hauteur, propre, dpi_impose);
    const bool largeur_courte = f.boite.largeur <= f.boite.hauteur;
    const double points_cote = largeur_courte ? f.boite.largeur : f.boite.hauteur;
    const std::uint32_t pixels = largeur_courte ? largeur : hauteur;
    if (points_cote < kCoteMinPoints) {
        const auto dpi = std::lround(pixels * kPointsParPouce / points_cote);
        const auto dpi_utile = std::int64_t(pixels * kPointsParPouce / kCoteMinPoints);
        std::string mesure = nombre_pdf(points_cote);
        std::replace(mesure.begin(), mesure.end(), '.', ',');
        return Echec{
            "à " + std::to_string(dpi) + " dpi, la page ne mesurerait que " + mesure +
            " point de " + (largeur_courte ? "large" : "haut") + ", moins que les " +
            std::to_string(int(kCoteMinPoints)) + " points qu'un lecteur de PDF accepte (" +
            (dpi_utile >= kDpiMin ? "une résolution imposée de " + std::to_string(dpi_utile) +
                                        " dpi au plus l'agrandit)"
                                  : "l'image est trop petite pour faire une page)")};
    }
    const double grand = std::max(f.boite.largeur, f.boite.hauteur);
    if (grand > kCoteMaxPoints) {
        f.unite = int(std::ceil(grand / kCoteMaxPoints));
        f.boite.largeur /= f.unite;
        f.boite.hauteur /= f.unite;
    }
    return f;
}

std::uint16_t composer_sur_blanc(std::uint32_t c, std::uint32_t a, int profondeur) {
    const std::uint64_t max = profondeur == 16 ? 65535 : 255;
    return std::uint16_t((std::uint64_t(c) * a + max * (max - a) + max / 2) / max);
}

ImagePdf image_pdf(const DescriptionPng& png) {
    ImagePdf r;
    r.bits = png.profondeur;
    r.donnees_telles_quelles = !png.entrelace;
    switch (png.type_couleur) {
        case 0:
        case 2:
        case 4:
        case 6:
            // In the colour type, 2 marks colour and 4 an alpha channel.
            r.espace = png.type_couleur & 2 ? EspaceCouleur::Rvb : EspaceCouleur::Gris;
            r.couleurs_png = png_samples(png.type_couleur);
            r.composer_alpha = (png.type_couleur & 4) != 0 || png.cle_transparente;
            break;
        default: {
            const std::size_t n = png.palette.size() / 3;
            std::vector<std::uint8_t> rvb(png.palette);
            for (std::size_t i = 0; i < png.alpha_palette.size(); ++i)
                for (int k = 0; k < 3; ++k)
                    rvb[3 * i + k] =
                        std::uint8_t(composer_sur_blanc(rvb[3 * i + k], png.alpha_palette[i], 8));
            bool gris = true, rampe = true;
            const unsigned pas = 255u / ((1u << png.profondeur) - 1);
            for (std::size_t i = 0; i < n; ++i) {
                gris = gris && rvb[3 * i] == rvb[3 * i + 1] && rvb[3 * i] == rvb[3 * i + 2];
                rampe = rampe && rvb[3 * i] == i * pas;
            }
            r.couleurs_png = 1;
            if (gris && rampe) {
                r.espace = EspaceCouleur::Gris;
            } else if (gris) {
                r.espace = EspaceCouleur::IndexeGris;
                for (std::size_t i = 0; i < n; ++i) r.table.push_back(rvb[3 * i]);
            } else {
                r.espace = EspaceCouleur::IndexeRvb;
                r.table = std::move(rvb);
            }
        }
    }
    if (r.composer_alpha) {
        r.donnees_telles_quelles = false;
        // A key on a grey picture under 8 bits is expanded to 8 bits to be composed.
        if (r.bits < 8) r.bits = 8;
    }
    return r;
}

std::string nombre_pdf(double v) {
    // Not printf: the GUI runs under the user's locale, whose decimal mark may be a comma.
    char texte[48];
    const auto fin = std::to_chars(texte, texte + sizeof texte, v, std::chars_format::fixed, 4);
    std::string s(texte, fin.ptr);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string contenu_page(const TaillePoints& taille) {
    return "q " + nombre_pdf(taille.largeur) + " 0 0 " + nombre_pdf(taille.hauteur) +
           " 0 0 cm /Im0 Do Q\n";
}

}  // namespace vellumor::pdf
