#include "ops/cleaning/cleaning.h"

#include <gtest/gtest.h>

#include "ops/cleaning/cleaning_constants.h"
#include "ops/cleaning/pixel_grid.h"

namespace vellumor {
namespace {

using testing::page_from;
using testing::Rows;
using testing::rows_of;

Rows cleaned(const Rows& rows, std::uint32_t mask) {
    Image page = page_from(rows);
    nettoyer(page, mask);
    return rows_of(page);
}

// clang-format off
TEST(IsolatedPixel, LoneInkGoesTouchingInkStays) {
    EXPECT_EQ(cleaned({".....",
                       ".#...",
                       "...#.",
                       "...#.",
                       "#...."}, cleaning::kIsolatedPixel),
              (Rows{".....",
                    ".....",
                    "...#.",
                    "...#.",
                    "....."}));
    // Diagonal neighbours count too.
    EXPECT_EQ(cleaned({"....",
                       ".#..",
                       "..#.",
                       "...."}, cleaning::kIsolatedPixel),
              (Rows{"....",
                    ".#..",
                    "..#.",
                    "...."}));
}

TEST(IsolatedPixel, CornersAndEdgesLookOnlyInsideThePage) {
    EXPECT_EQ(cleaned({"#..#",
                       "....",
                       "#...",
                       "...#"}, cleaning::kIsolatedPixel),
              (Rows{"....",
                    "....",
                    "....",
                    "...."}));
    EXPECT_EQ(cleaned({"#"}, cleaning::kIsolatedPixel), (Rows{"."}));
    EXPECT_EQ(cleaned({"."}, cleaning::kIsolatedPixel), (Rows{"."}));
    EXPECT_EQ(cleaned({"#", "#"}, cleaning::kIsolatedPixel), (Rows{"#", "#"}));
    EXPECT_EQ(cleaned({"#.#"}, cleaning::kIsolatedPixel), (Rows{"..."}));
}

TEST(InkColours, AnyColourButExactWhiteIsInk) {
    // Near-white and one step off white are specks like black ones...
    EXPECT_EQ(cleaned({".....",
                       ".n...",
                       "...p.",
                       ".g...",
                       "....q"}, cleaning::kIsolatedPixel),
              (Rows{".....",
                    ".....",
                    ".....",
                    ".....",
                    "....."}));
    // ...and they keep a black speck that touches them.
    const Rows touching{".....",
                        ".#p..",
                        ".....",
                        "..n.q",
                        "..#.#"};
    EXPECT_EQ(cleaned(touching, cleaning::kIsolatedPixel), touching);
}

TEST(LineOf2, OnlyPairsWhoseAnchorIsInRangeGo) {
    // Anchors x 5 to 7 and y 5 to 7 on a 10 x 10 page: the horizontal pair at (5, 7) goes; the
    // pairs anchored at row 3, at column 3 and at column 8 stay.
    EXPECT_EQ(cleaned({"..........",
                       "..........",
                       "..........",
                       ".....#....",
                       ".....#....",
                       "........#.",
                       "...#....#.",
                       "...#.##...",
                       "..........",
                       ".........."}, cleaning::kLineOf2),
              (Rows{"..........",
                    "..........",
                    "..........",
                    ".....#....",
                    ".....#....",
                    "........#.",
                    "...#....#.",
                    "...#......",
                    "..........",
                    ".........."}));
    // The pair at row 3 is not taken by pattern 1 either.
    EXPECT_EQ(cleaned({"..........",
                       "..........",
                       "..........",
                       ".....#....",
                       ".....#....",
                       "..........",
                       "..........",
                       "..........",
                       "..........",
                       ".........."}, cleaning::kIsolatedPixel | cleaning::kLineOf2)[3],
              ".....#....");
}

TEST(Square, NineInkPixelsNeedTheSquareOfNine) {
    const Rows block{"........",
                     ".###....",
                     ".###....",
                     ".###....",
                     "........",
                     "........",
                     "........"};
    EXPECT_EQ(cleaned(block, cleaning::kSquareOf4), block);
    EXPECT_EQ(cleaned(block, cleaning::kSquareOf9), Rows(7, "........"));
}

TEST(ScanOrder, VerticalBlockIsTestedBeforeHorizontalAtEachAnchor) {
    // Whitening the vertical line at (4, 2) frees the ring of the horizontal line at (4, 1), which
    // was tested first in the anchor order and failed; (6, 1) only goes when the horizontal test of
    // an anchor comes after its vertical one.
    EXPECT_EQ(cleaned({"........",
                       "......#.",
                       "....#...",
                       "........",
                       "........",
                       "....#...",
                       "........",
                       "........"}, cleaning::kLineOf3),
              Rows(8, "........"));
}

TEST(ScanOrder, LaterAnchorsSeeEarlierWhitening) {
    EXPECT_EQ(cleaned({"........",
                       "........",
                       "........",
                       ".#.#....",
                       "........",
                       "..#.....",
                       "........",
                       "........"}, cleaning::kLineOf3),
              Rows(8, "........"));
}

TEST(ScanOrder, LaterPatternsSeeEarlierPatternsWhitening) {
    const Rows page{".........",
                    ".........",
                    ".......#.",
                    ".........",
                    ".......#.",
                    ".........",
                    "......#..",
                    ".........",
                    "........."};
    const Rows last_left{".........",
                         ".........",
                         ".........",
                         ".........",
                         ".........",
                         ".........",
                         "......#..",
                         ".........",
                         "........."};
    EXPECT_EQ(cleaned(page, cleaning::kLineOf3), last_left);
    EXPECT_EQ(cleaned(page, cleaning::kSquareOf4), page);
    EXPECT_EQ(cleaned(page, cleaning::kLineOf3 | cleaning::kSquareOf4), Rows(9, "........."));
}
// clang-format on

struct Shape {
    std::uint32_t bit;
    int w, h;            // block of w columns, h rows
    int x_first, x_end;  // anchors x_first .. W - x_end
    int y_first, y_end;
    int min_w, min_h;  // runs when W > min_w and H > min_h
};

// Every block shape of patterns 2 to 7 with its anchor range and size condition.
constexpr Shape kShapes[] = {
    {cleaning::kLineOf2, 1, 2, 5, 3, 5, 3, 7, 7},
    {cleaning::kLineOf2, 2, 1, 5, 3, 5, 3, 7, 7},
    {cleaning::kLineOf3, 1, 3, 1, 4, 1, 5, 4, 5},
    {cleaning::kLineOf3, 3, 1, 1, 4, 1, 5, 4, 5},
    {cleaning::kSquareOf4, 2, 2, 1, 4, 1, 4, 4, 4},
    {cleaning::kTwoLinesOf3, 2, 3, 1, 4, 1, 4, 4, 4},
    {cleaning::kTwoLinesOf3, 3, 2, 1, 4, 1, 4, 4, 4},
    {cleaning::kTwoLinesOf4, 2, 4, 1, 6, 1, 6, 6, 6},
    {cleaning::kTwoLinesOf4, 4, 2, 1, 6, 1, 6, 6, 6},
    {cleaning::kSquareOf9, 3, 3, 1, 5, 1, 5, 5, 5},
};

TEST(AnchorRanges, ABlockGoesExactlyWhenItsAnchorIsInRange) {
    // A speck of exactly the block's shape can only be whitened from its own top-left corner.
    for (const Shape& s : kShapes)
        for (int width = s.min_w; width <= s.min_w + 3; ++width)
            for (int height = s.min_h; height <= s.min_h + 3; ++height)
                for (int y = 0; y + s.h <= height; ++y)
                    for (int x = 0; x + s.w <= width; ++x) {
                        Image page = *Image::create(width, height, 24, kWhite);
                        page.fill_box(x, y, s.w, s.h, testing::kGrey);
                        nettoyer(page, s.bit);
                        const bool runs = width > s.min_w && height > s.min_h;
                        const bool in_range = x >= s.x_first && x <= width - s.x_end &&
                                              y >= s.y_first && y <= height - s.y_end;
                        EXPECT_EQ(page.pixel(x, y) == kWhite, runs && in_range)
                            << "block " << s.w << " x " << s.h << " at " << x << "," << y << " on "
                            << width << " x " << height;
                    }
}

TEST(Mask, OnlyTheLowSevenBitsCount) {
    Image page = page_from({"...", ".#.", "..."});
    const Image before = page;
    EXPECT_EQ(nettoyer(page, 0), 0u);
    EXPECT_EQ(nettoyer(page, 0x80), 0u);
    EXPECT_EQ(rows_of(page), rows_of(before));
    EXPECT_EQ(nettoyer(page, 0x81), 1u);
    EXPECT_EQ(page.pixel(1, 1), kWhite);
    EXPECT_EQ(nettoyer(page, 0x7F), 0u);
}

TEST(AlphaPages, AlphaIsNotLookedAtAndEveryPixelComesOutOpaque) {
    // A fully transparent black pixel reads as black: it is ink, and it is cleaned like one.
    Image page = page_from({"....", ".#..", "...#", "...#"}, 32, 0x00);
    nettoyer(page, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(page.row(y)[x * 4 + 3], 0xFF);
    EXPECT_EQ(page.pixel(1, 1), kBlack);
    nettoyer(page, cleaning::kIsolatedPixel);
    EXPECT_EQ(rows_of(page), (Rows{"....", "....", "...#", "...#"}));
}

TEST(EmptyPage, NothingToDo) {
    Image empty;
    EXPECT_EQ(nettoyer(empty, 0x7F), 0u);
    EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace vellumor
