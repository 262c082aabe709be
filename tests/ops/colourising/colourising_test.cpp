#include "ops/colourising/colourising.h"

#include <gtest/gtest.h>

#include "ops/cleaning/pixel_grid.h"

namespace vellumor {
namespace {

using testing::page_from;
using testing::Rows;
using testing::rows_of;

TEST(Coloriser, EverythingButExactWhiteTurnsPureBlue) {
    Image page = page_from({"#gnpq", ".r.b.", "....."});
    coloriser(page);
    EXPECT_EQ(rows_of(page), (Rows{"bbbbb", ".b.b.", "....."}));
    EXPECT_EQ(page.pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(page.row(0)[0], 0x00);
    EXPECT_EQ(page.row(0)[2], 0xFF) << "blue is the third byte of a pixel";
}

TEST(Coloriser, AlphaIsNotLookedAtAndEveryPixelComesOutOpaque) {
    Image page = page_from({"#.", ".g"}, 32, 0x00);
    coloriser(page);
    EXPECT_EQ(rows_of(page), (Rows{"b.", ".b"}));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(page.row(y)[x * 4 + 3], 0xFF);
}

TEST(Coloriser, WidePagesAndEmptyPages) {
    Image page = *Image::create(301, 2, 24, kWhite);
    page.set_pixel(300, 1, testing::kNearWhite);
    page.set_pixel(0, 0, kBlack);
    coloriser(page);
    EXPECT_EQ(page.pixel(300, 1), 0xFF0000u);
    EXPECT_EQ(page.pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(page.pixel(299, 1), kWhite);
    EXPECT_EQ(page.pixel(1, 0), kWhite);
    Image empty;
    coloriser(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(NomColorise, StemPlusSuffixBesideTheSource) {
    namespace fs = std::filesystem;
    EXPECT_EQ(nom_colorise("/pages/page12.png"), fs::path("/pages/page12_Col.png"));
    EXPECT_EQ(nom_colorise("/pages/page12_Col.png"), fs::path("/pages/page12_Col_Col.png"));
    EXPECT_EQ(nom_colorise(nom_colorise("/p/a.png")), fs::path("/p/a_Col_Col.png"));
    EXPECT_EQ(nom_colorise("/pages/scan.v2.PNG"), fs::path("/pages/scan.v2_Col.png"));
    EXPECT_EQ(nom_colorise("/pages/scan"), fs::path("/pages/scan_Col.png"));
    EXPECT_EQ(nom_colorise("page 1 é.png"), fs::path("page 1 é_Col.png"));
}

}  // namespace
}  // namespace vellumor
