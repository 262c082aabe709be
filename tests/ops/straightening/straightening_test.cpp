#include "ops/straightening/straightening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "ops/straightening/straightening_constants.h"
#include "support/skewed_page.h"

namespace vellumor::straightening {
namespace {

using testing::page_inclinee;

// Text at 600 dpi on a page small enough for forty of them in a test.
constexpr int kLargeur = 1600, kHauteur = 2000;

std::set<Couleur> couleurs_de(const Image& page) {
    std::set<Couleur> c;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) c.insert(page.pixel(x, y));
    return c;
}

TEST(Skew, FortyPagesFromMinusFiveToFiveDegrees) {
    std::vector<double> erreurs;
    for (int i = 0; i < 40; ++i) {
        const double inclinaison = -5.0 + i * (10.0 / 39.0);
        const int profondeur = i % 2 ? 1 : 8;
        const Mesure m = mesurer(page_inclinee(kLargeur, kHauteur, inclinaison, profondeur, i + 1),
                                 kAngleMaxDefaut);
        ASSERT_TRUE(m.lignes) << inclinaison;
        EXPECT_FALSE(m.hors_plage) << inclinaison;
        erreurs.push_back(std::abs(m.angle - inclinaison));
    }
    std::sort(erreurs.begin(), erreurs.end());
    EXPECT_LE((erreurs[19] + erreurs[20]) / 2, 0.05);
    EXPECT_LE(erreurs.back(), 0.15);
}

TEST(Straighten, TurnedPageIsStraightAtItsOwnDepthSizeAndResolution) {
    struct Cas {
        double inclinaison;
        int profondeur;
    };
    for (const Cas c : {Cas{2.3, 8}, Cas{-3.1, 1}, Cas{0.8, 8}, Cas{-4.6, 1}}) {
        Image page = page_inclinee(kLargeur, kHauteur, c.inclinaison, c.profondeur);
        const Redressement r = redresser(page, Parametres{});
        ASSERT_EQ(r.issue, Issue::Redressee) << c.inclinaison;
        EXPECT_NEAR(r.mesure.angle, c.inclinaison, 0.15);
        EXPECT_EQ(page.width(), kLargeur);
        EXPECT_EQ(page.height(), kHauteur);
        EXPECT_EQ(page.file_depth(), c.profondeur);
        EXPECT_EQ(page.resolution(), resolution_from_dpi(600));
        EXPECT_LT(std::abs(mesurer(page, kAngleMaxDefaut).angle), 0.1) << c.inclinaison;
        // The corners brought in are white, and a bi-level page holds black and white only.
        EXPECT_EQ(page.pixel(0, 0), kWhite);
        EXPECT_EQ(page.pixel(kLargeur - 1, kHauteur - 1), kWhite);
        for (const Couleur k : couleurs_de(page)) {
            EXPECT_TRUE(rouge(k) == vert(k) && vert(k) == bleu(k));
            if (c.profondeur == 1) {
                EXPECT_TRUE(k == kBlack || k == kWhite);
            }
        }
    }
}

TEST(Straighten, StraightBlankAndOutOfRangePagesAreLeftAsTheyAre) {
    struct Cas {
        Image page;
        bool lignes;
    };
    Image vierge = *Image::create(800, 600, 24, kWhite);
    for (const Cas& c :
         {Cas{page_inclinee(kLargeur, kHauteur, 0.0, 8), true},
          Cas{page_inclinee(kLargeur, kHauteur, 0.02, 1), true}, Cas{vierge, false}}) {
        Image page = c.page;
        const Redressement r = redresser(page, Parametres{});
        EXPECT_EQ(r.issue, Issue::DejaDroite);
        EXPECT_EQ(r.mesure.lignes, c.lignes);
        EXPECT_LT(std::abs(r.mesure.angle), kPrecision);
        EXPECT_TRUE(std::equal(page.data(), page.data() + page.byte_size(), c.page.data()));
    }
}

TEST(Straighten, FewColourPageKeepsItsOwnColours) {
    Image page = page_inclinee(kLargeur, kHauteur, 1.5, 1);
    const Couleur bleu_fonce = couleur(20, 30, 140), rouge_vif = couleur(220, 20, 20);
    for (int y = 0; y < kHauteur; ++y)
        for (int x = 0; x < kLargeur; ++x)
            if (page.pixel(x, y) == kBlack)
                page.set_pixel(x, y, x < kLargeur / 2 ? bleu_fonce : rouge_vif);
    page.set_file_depth(2);
    ASSERT_EQ(redresser(page, Parametres{}).issue, Issue::Redressee);
    EXPECT_EQ(page.file_depth(), 2);
    EXPECT_EQ(couleurs_de(page), (std::set<Couleur>{kWhite, bleu_fonce, rouge_vif}));
}

TEST(Straighten, AngleMaxAndAngleTexts) {
    struct Cas {
        double angle_max;
        bool accepte;
    };
    for (const Cas c : {Cas{0.4, false}, Cas{0.5, true}, Cas{10, true}, Cas{10.01, false},
                        Cas{std::nan(""), false}})
        EXPECT_EQ(valider(Parametres{c.angle_max}).ok(), c.accepte) << c.angle_max;
    EXPECT_EQ(texte_angle(1.254), "1,25°");
    EXPECT_EQ(texte_angle(-0.4), "-0,40°");
    EXPECT_EQ(texte_angle(-0.001), "0,00°");
}

}  // namespace
}  // namespace vellumor::straightening
