#include "ops/cropping/cropping.h"

#include <gtest/gtest.h>

#include <random>

#include "ops/cleaning/pixel_grid.h"

namespace vellumor {
namespace {

using testing::page_from;
using testing::Rows;
using testing::rows_of;

// The margins found the plain way: whole rows from the top and the bottom, whole columns from the
// left and the right, each scan stopping at the first one that holds a pixel other than white.
Marges plain_margins(const Image& page) {
    const int w = page.width(), h = page.height();
    auto row_inked = [&](int y) {
        for (int x = 0; x < w; ++x)
            if (page.pixel(x, y) != kWhite) return true;
        return false;
    };
    auto column_inked = [&](int x) {
        for (int y = 0; y < h; ++y)
            if (page.pixel(x, y) != kWhite) return true;
        return false;
    };
    Marges m;
    while (m.haut < h && !row_inked(m.haut)) ++m.haut;
    while (!row_inked(h - 1 - m.bas)) ++m.bas;
    while (!column_inked(m.gauche)) ++m.gauche;
    while (!column_inked(w - 1 - m.droite)) ++m.droite;
    return m;
}

TEST(Margins, BlankPageHasNothingToWrite) {
    for (const Rows& rows : {Rows{"."}, Rows{"....", "....", "...."}}) {
        const PageDetouree c = detourer(page_from(rows));
        EXPECT_EQ(c.detection.issue, IssueDetourage::Blanche);
        EXPECT_EQ(c.detection.marges, Marges{});
        EXPECT_TRUE(c.image.empty());
    }
    EXPECT_EQ(detecter_marges(Image{}).issue, IssueDetourage::Blanche);
}

TEST(Margins, InkOnAllFourEdgesLeavesThePageUncut) {
    // clang-format off
    for (const Rows& rows : {Rows{"#"},
                             Rows{"..#.",
                                  "#...",
                                  "...n",
                                  ".#.."},
                             Rows{"g...",
                                  "....",
                                  "...p"}}) {
        // clang-format on
        const PageDetouree c = detourer(page_from(rows));
        EXPECT_EQ(c.detection.issue, IssueDetourage::SansMarge);
        EXPECT_EQ(c.detection.rectangle, (RectangleEncre{0, 0, int(rows[0].size()), int(rows.size())}));
        EXPECT_TRUE(c.image.empty());
    }
}

TEST(Margins, EachSideCountsItsWhiteRowsOrColumns) {
    // clang-format off
    const Image page = page_from({"........",
                                  "..#.....",
                                  "........",
                                  "....g...",
                                  "........"});
    // clang-format on
    const PageDetouree c = detourer(page);
    EXPECT_EQ(c.detection.issue, IssueDetourage::Detouree);
    EXPECT_EQ(c.detection.marges, (Marges{1, 1, 2, 3}));
    EXPECT_EQ(c.detection.rectangle, (RectangleEncre{2, 1, 3, 3}));
    EXPECT_EQ(rows_of(c.image), (Rows{"#..", "...", "..g"}));
}

TEST(Margins, ASinglePixelBecomesAOneByOnePage) {
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            Image page = *Image::create(4, 3, 24, kWhite);
            page.set_pixel(x, y, 0x336699);
            const PageDetouree c = detourer(page);
            EXPECT_EQ(c.detection.issue, IssueDetourage::Detouree);
            EXPECT_EQ(c.detection.marges, (Marges{y, 2 - y, x, 3 - x}));
            ASSERT_EQ(c.image.width(), 1);
            ASSERT_EQ(c.image.height(), 1);
            EXPECT_EQ(c.image.pixel(0, 0), 0x336699u);
        }
}

TEST(Margins, NearWhiteInACornerStopsTheTwoMarginsOfThatCorner) {
    // clang-format off
    const Image page = page_from({"........n",
                                  ".........",
                                  "...#.....",
                                  ".........",
                                  "........."});
    // clang-format on
    const Detection d = detecter_marges(page);
    EXPECT_EQ(d.marges, (Marges{0, 2, 3, 0}));
    EXPECT_EQ(d.rectangle, (RectangleEncre{3, 0, 6, 3}));
}

TEST(Margins, AlphaIsNotLookedAtAndTheGrabKeepsItsDepths) {
    // Fully transparent pixels count by their colour alone.
    Image page = page_from({"....", ".#..", "..#.", "...."}, 32, 0x00);
    page.set_file_depth(8);
    page.set_resolution(resolution_from_dpi(600));
    const PageDetouree c = detourer(page);
    EXPECT_EQ(c.detection.rectangle, (RectangleEncre{1, 1, 2, 2}));
    ASSERT_EQ(c.image.pixel_depth(), 32);
    EXPECT_EQ(c.image.file_depth(), 8);
    EXPECT_EQ(c.image.resolution(), page.resolution());
    EXPECT_EQ(c.image.row(0)[3], 0x00) << "the grab copies the pixels as they are";
    EXPECT_EQ(rows_of(c.image), (Rows{"#.", ".#"}));
}

TEST(Margins, AgreeWithWholeRowAndColumnScansOnRandomPages) {
    std::mt19937 rng(612);
    const Couleur inks[] = {kBlack, testing::kNearWhite, testing::kOffWhiteRed,
                            testing::kOffWhiteBlue};
    for (int round = 0; round < 2000; ++round) {
        const int w = std::uniform_int_distribution<int>(1, 200)(rng);
        const int h = std::uniform_int_distribution<int>(1, 12)(rng);
        Image page = *Image::create(w, h, round % 5 == 0 ? 32 : 24, kWhite);
        const int dots = std::uniform_int_distribution<int>(0, 4)(rng);
        for (int i = 0; i < dots; ++i)
            page.set_pixel(int(rng() % w), int(rng() % h), inks[rng() % 4]);
        const Detection d = detecter_marges(page);
        if (dots == 0) {
            ASSERT_EQ(d.issue, IssueDetourage::Blanche);
            continue;
        }
        const Marges m = plain_margins(page);
        ASSERT_EQ(d.marges, m) << "round " << round << ", " << w << " x " << h;
        ASSERT_EQ(d.rectangle,
                  (RectangleEncre{m.gauche, m.haut, w - m.gauche - m.droite, h - m.haut - m.bas}));
        ASSERT_EQ(d.issue, m == Marges{} ? IssueDetourage::SansMarge : IssueDetourage::Detouree);
    }
}

}  // namespace
}  // namespace vellumor
