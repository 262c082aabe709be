#include "support/skewed_page.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace vellumor::testing {
namespace {

constexpr int kPas = 100;    // line pitch
constexpr int kMarge = 300;  // white around the text
constexpr int kHautX = 40;   // x-height, from 30 to 70 in the line
constexpr int kLettre = 36;  // letter pitch
constexpr int kTrait = 7;    // stem width

struct Mot {
    double debut, fin;
};

class Texte {
  public:
    Texte(int width, int height, unsigned seed) : largeur_(width) {
        std::mt19937 alea(seed);
        std::uniform_int_distribution<int> lettres(2, 10);
        const int nb_lignes = std::max(1, (height - 2 * kMarge) / kPas);
        for (int l = 0; l < nb_lignes; ++l) {
            std::vector<Mot> mots;
            double u = kMarge;
            // Short last lines, as paragraphs end.
            const double fin = l % 7 == 6 ? width / 2.0 : width - kMarge;
            while (true) {
                const double f = u + lettres(alea) * kLettre;
                if (f > fin) break;
                mots.push_back({u, f});
                u = f + kLettre;
            }
            lignes_.push_back(std::move(mots));
        }
    }

    bool encre(double u, double v) const {
        if (u < kMarge || u >= largeur_ - kMarge || v < kMarge) return false;
        const int l = int((v - kMarge) / kPas);
        if (l >= int(lignes_.size())) return false;
        const double dv = v - kMarge - l * kPas;
        if (dv < 5 || dv >= 70) return false;
        for (const Mot& m : lignes_[l]) {
            if (u < m.debut || u >= m.fin) continue;
            const int lettre = int((u - m.debut) / kLettre);
            const double p = u - m.debut - lettre * kLettre;
            if (p >= 28) return false;
            if (dv < 30) return p < kTrait && (lettre * 7 + l) % 4 == 0;  // ascender
            return p < kTrait || dv < 30 + kTrait || dv >= 30 + kHautX - kTrait;
        }
        return false;
    }

  private:
    int largeur_;
    std::vector<std::vector<Mot>> lignes_;
};

}  // namespace

Image page_inclinee(int width, int height, double skew, int file_depth, unsigned seed) {
    const Texte texte(width, height, seed);
    Image page = *Image::create(width, height, 24, kWhite);
    page.set_file_depth(file_depth);
    page.set_resolution(resolution_from_dpi(600));
    const double a = skew * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double cx = width / 2.0, cy = height / 2.0;
    const auto encre = [&](double x, double y) {
        return texte.encre(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (file_depth == 1) {
                if (encre(x + 0.5, y + 0.5)) page.set_pixel(x, y, kBlack);
                continue;
            }
            const int n = encre(x + 0.25, y + 0.25) + encre(x + 0.75, y + 0.25) +
                          encre(x + 0.25, y + 0.75) + encre(x + 0.75, y + 0.75);
            if (n == 0) continue;
            const auto g = std::uint8_t(255 - n * 57);
            page.set_pixel(x, y, couleur(g, g, g));
        }
    return page;
}

std::optional<Image> page_grise(int width, int height, std::uint8_t grey) {
    auto image = Image::allocate(width, height, 1, 24);
    if (image) std::memset(image->data(), grey, image->byte_size());
    return image;
}

}  // namespace vellumor::testing
