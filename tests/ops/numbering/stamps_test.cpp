#include "ops/numbering/stamps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ops/numbering/test_font.h"

namespace vellumor::numbering {
namespace {

struct Boite {
    int x0, y0, x1, y1;  // inclusive bounds of the pixels differing from the background
};
Boite boite_encre(const Image& img, Couleur bg, int x0, int y0, int x1, int y1) {
    Boite b{x1, y1, x0 - 1, y0 - 1};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (img.pixel(x, y) != bg)
                b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
    return b;
}

Image from_grid(const std::vector<std::string>& rows) {
    auto img = *Image::create(int(rows[0].size()), int(rows.size()), 24, kWhite);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const char c = rows[y][x];
            img.set_pixel(x, y, c == '#' ? kBlack : c == '+' ? 0x7F7F7F : kWhite);
        }
    return img;
}

TEST(Stamps, FontResolvesToABoldFaceAtTheStampSize) {
    ASSERT_NE(police(), nullptr);
    EXPECT_NEAR(police()->taille_pixels(), 146.667, 0.001);
    EXPECT_NEAR(PoliceTampon::charger(120)->taille_pixels(), 183.333, 0.001);
}

TEST(Stamps, CanvasKeepsItsExactColourOffTheGlyphsAndOnlyGreysOnThem) {
    for (ModeleNumero m : {ModeleNumero::Disque, ModeleNumero::RectangleBlanc}) {
        auto canvas = dessiner_nombre(*police(), "48", m);
        ASSERT_TRUE(canvas);
        ASSERT_EQ(canvas->width(), 350);
        ASSERT_EQ(canvas->height(), 150);
        const CouleursModele c = couleurs_modele(m);
        int exact_ink = 0, smoothed = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 350; ++x) {
                const Couleur p = canvas->pixel(x, y);
                ASSERT_TRUE(rouge(p) == vert(p) && vert(p) == bleu(p)) << x << "," << y;
                exact_ink += p == c.encre;
                smoothed += p != c.encre && p != c.toile;
            }
        EXPECT_GT(exact_ink, 2000);  // solid strokes of two bold digits
        EXPECT_GT(smoothed, 50);
        // The line box starts at the top-left: the glyphs sit near the left edge, below a gap.
        Boite b = boite_encre(*canvas, c.toile, 0, 0, 350, 150);
        EXPECT_LT(b.x0, 20);
        EXPECT_GT(b.y0, 10);
        EXPECT_LT(b.y1, 149);
        EXPECT_NEAR(b.y1 - b.y0 + 1, 106, 6);  // digits are about 0.72 em tall
    }
}

TEST(Stamps, CropRemovesExactBackgroundOnlyAndChoosesItByInk) {
    // clang-format off
    Image img = from_grid({
        ".......",
        "...+...",
        "..###..",
        "...#...",
        ".......",
        ".......",
    });
    // clang-format on
    Rognage r{99, 99};
    Image cut = rogner_a_l_encre(img, kBlack, r);
    EXPECT_EQ(r.largeur, 3);
    EXPECT_EQ(r.hauteur, 3);
    EXPECT_EQ(cut.pixel(1, 0), 0x7F7F7Fu);  // smoothed pixel counts as ink
    EXPECT_EQ(cut.pixel(0, 0), kWhite);
    EXPECT_EQ(cut.pixel(2, 1), kBlack);

    // With white ink the margin is black: on this white picture nothing is margin.
    Image whole = rogner_a_l_encre(img, kWhite, r);
    EXPECT_EQ(whole.width(), 7);
    EXPECT_EQ(r.hauteur, 6);

    Image blank = *Image::create(5, 4, 24, kWhite);
    Image none = rogner_a_l_encre(blank, kBlack, r);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(r.largeur, 0);
    EXPECT_EQ(r.hauteur, 0);
}

TEST(Stamps, FramedRectanglesOfARunShareOneSizeAndCentreTheirNumber) {
    const int t = 5, s = 5;
    std::vector<Image> numbers;
    int mw = 0, mh = 0;
    for (int n = 1; n <= 120; ++n) {
        auto canvas = dessiner_nombre(*police(), std::to_string(n), ModeleNumero::RectangleBlanc);
        ASSERT_TRUE(canvas);
        Rognage r;
        numbers.push_back(rogner_a_l_encre(*canvas, kBlack, r));
        mw = std::max(mw, r.largeur);
        mh = std::max(mh, r.hauteur);
    }
    EXPECT_GE(mw, numbers[119].width());
    for (int n = 1; n <= 120; ++n) {
        const Image& number = numbers[n - 1];
        auto stamp = fond_rectangle(ModeleNumero::RectangleBlanc, mw, mh, t, s, 24);
        ASSERT_TRUE(stamp);
        coller_au_centre(*stamp, number);
        ASSERT_EQ(stamp->width(), mw + 20) << n;
        ASSERT_EQ(stamp->height(), mh + 20) << n;
        // Frame t thick, black, all round; white between frame and number.
        EXPECT_EQ(stamp->pixel(t - 1, stamp->height() / 2), kBlack);
        EXPECT_EQ(stamp->pixel(t, t), kWhite);
        EXPECT_EQ(stamp->pixel(stamp->width() - t, stamp->height() - t), kBlack);
        if (n != 7) continue;
        const int W = stamp->width(), H = stamp->height();
        Boite b = boite_encre(*stamp, kWhite, t, t, W - t, H - t);
        const int left = b.x0, right = W - 1 - b.x1, top = b.y0, bottom = H - 1 - b.y1;
        EXPECT_LE(std::abs(left - right), 1);
        EXPECT_LE(std::abs(top - bottom), 1);
        EXPECT_GT(left, 40);  // "7" is much narrower than "120"
    }
}

TEST(Stamps, BlackRectangleIsBlackAllOverExceptTheNumber) {
    auto stamp = fond_rectangle(ModeleNumero::RectangleNoir, 30, 20, 5, 10, 24);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->width(), 60);
    EXPECT_EQ(stamp->height(), 50);
    EXPECT_EQ(boite_encre(*stamp, kBlack, 0, 0, 60, 50).x1, -1);  // no pixel other than black
}

TEST(Stamps, DiameterRoundsToNearest) {
    EXPECT_EQ(diametre_tampon(3, 4, 5), 15);
    EXPECT_EQ(diametre_tampon(1, 2, 0), 2);         // 2.236
    EXPECT_EQ(diametre_tampon(2, 3, 0), 4);         // 3.606
    EXPECT_EQ(diametre_tampon(245, 106, 10), 287);  // 266.95 + 20
}

TEST(Stamps, RoundShapesKeepWhiteCornersAndTheirModelColours) {
    const int D = 201, t = 5;
    auto ring = forme_ronde(ModeleNumero::Anneau, D, t);
    auto disc = forme_ronde(ModeleNumero::Disque, D, t);
    ASSERT_TRUE(ring && disc);
    for (const Image* img : {&*ring, &*disc}) {
        EXPECT_EQ(img->pixel(0, 0), kWhite);
        EXPECT_EQ(img->pixel(D - 1, 0), kWhite);
        EXPECT_EQ(img->pixel(0, D - 1), kWhite);
        EXPECT_EQ(img->pixel(D - 1, D - 1), kWhite);
    }
    EXPECT_EQ(ring->pixel(D / 2, D / 2), kWhite);
    // The stroke is centred on radius D/2 - t: rows t - 1 to t + 1 lie wholly on it on the axis.
    for (int y = t - 1; y <= t + 1; ++y) EXPECT_EQ(ring->pixel(D / 2, y), kGrisAnneau) << y;
    EXPECT_EQ(ring->pixel(D / 2, 1), kWhite);
    EXPECT_EQ(ring->pixel(D / 2, 2 * t), kWhite);
    EXPECT_EQ(disc->pixel(D / 2, D / 2), kBlack);
    EXPECT_EQ(disc->pixel(D / 2, 1), kBlack);  // the disc is shifted up and left by one pixel

    Rognage r;
    Image cut = rogner_a_l_encre(*disc, kBlack, r);
    EXPECT_GE(r.largeur, D - 2);
    EXPECT_LE(r.largeur, D);
    EXPECT_EQ(r.largeur, r.hauteur);
    EXPECT_EQ(cut.pixel(0, 0), kWhite);
}

TEST(Stamps, ANumberWiderThanTheCanvasIsCutAtItsEdge) {
    auto canvas = dessiner_nombre(*police(), "1234567", ModeleNumero::RectangleBlanc);
    ASSERT_TRUE(canvas);
    Boite b = boite_encre(*canvas, kWhite, 0, 0, 350, 150);
    EXPECT_EQ(b.x1, 349);
}

}  // namespace
}  // namespace vellumor::numbering
