#include <gtest/gtest.h>

#include <vector>

#include "batch/png_io.h"
#include "support/skewed_page.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

// A page held one byte a pixel (grey, or with the palette colourising gives it) writes, at every
// depth, the very bytes its RGB copy writes; then the check of an exact save agrees with a load.
TEST(PngSave, OneBytePagesWriteTheSameFilesAsTheirRgbCopies) {
    test::TempDir dir;
    auto few = *testing::page_grise(37, 9, 0xFF);
    auto many = few;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 37; ++x) {
            few.set_pixel(x, y, (x + y) % 5 == 0 ? kBlack : (x * y) % 7 == 0 ? 0x9F9F9F : kWhite);
            many.set_pixel(x, y, Couleur((x * 7 + y * 31) % 200) * 0x010101u);
        }
    few.set_resolution(resolution_from_dpi(300));
    Image blue = few;
    Image::Palette ink;
    for (int v = 0; v < 256; ++v) ink[std::size_t(v)] = v == 0xFF ? kWhite : 0xFF0000;
    blue.set_palette(ink);
    struct Case {
        const char* name;
        const Image& image;
        std::vector<int> depths;
    };
    const Case cases[] = {{"few greys", few, {1, 2, 4, 8, 24, 32}},
                          {"many greys", many, {1, 2, 4, 8, 24}},
                          {"blue ink", blue, {1, 2, 8, 24, 32}}};
    for (const Case& c : cases) {
        Image rgb = c.image;
        rgb.to_rgb();
        for (int depth : c.depths) {
            const auto a = dir / "one_byte.png", b = dir / "rgb.png";
            ASSERT_TRUE(save_png(c.image, a, depth)) << c.name << " " << depth;
            ASSERT_TRUE(save_png(rgb, b, depth));
            EXPECT_EQ(test::read_bytes(a), test::read_bytes(b)) << c.name << " at " << depth;
            const Image back = *load_png(a).image;
            bool same = back.width() == c.image.width();
            for (int y = 0; same && y < back.height(); ++y)
                for (int x = 0; same && x < back.width(); ++x)
                    same = back.pixel(x, y) == c.image.pixel(x, y);
            EXPECT_EQ(save_keeps_pixels(c.image, depth), same) << c.name << " at " << depth;
            EXPECT_EQ(save_keeps_pixels(rgb, depth), same) << c.name << " at " << depth;
        }
    }
}

}  // namespace
}  // namespace vellumor
