#include <gtest/gtest.h>

#include <random>

#include "ops/cleaning/cleaning.h"
#include "ops/cleaning/pixel_grid.h"
#include "ops/cleaning/reference_cleaning.h"
#include "ops/colourising/colourising.h"
#include "ops/cropping/cropping.h"
#include "support/skewed_page.h"

namespace vellumor {
namespace {

using testing::kGrey;
using testing::kNearWhite;
using testing::kOffWhiteBlue;
using testing::kOffWhiteRed;

// Random small pages, mostly white with scattered specks and blots of mixed inks, cleaned by the
// fast cleaning and by the plain one with random masks: the pages must come out identical. Widths
// cross the 64-pixel word boundaries of the fast cleaning.
Image random_page(std::mt19937& rng, int depth) {
    std::uniform_int_distribution<int> side(1, 140);
    const int w = side(rng), h = std::uniform_int_distribution<int>(1, 40)(rng);
    Image page = *Image::create(w, h, depth, kWhite);
    const Couleur inks[] = {kBlack, kGrey, kNearWhite, kOffWhiteRed, kOffWhiteBlue, 0x123456};
    std::uniform_int_distribution<int> ink(0, 5), px(0, w - 1), py(0, h - 1), size(1, 4);
    const int blots = std::uniform_int_distribution<int>(0, w * h / 6 + 1)(rng);
    for (int i = 0; i < blots; ++i)
        page.fill_box(px(rng), py(rng), size(rng), size(rng), inks[ink(rng)]);
    const int dots = std::uniform_int_distribution<int>(0, w * h / 4 + 1)(rng);
    for (int i = 0; i < dots; ++i) page.set_pixel(px(rng), py(rng), inks[ink(rng)]);
    if (depth == 32)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) page.row(y)[x * 4 + 3] = std::uint8_t(rng());
    return page;
}

bool same_pixels(const Image& a, const Image& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

TEST(CleaningAgainstPlainScan, RandomPagesAndMasksGiveIdenticalPages) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int depth = round % 7 == 0 ? 32 : 24;
        Image fast = random_page(rng, depth);
        Image plain = fast;
        const std::uint32_t mask = rng() & 0xFF;
        nettoyer(fast, mask);
        testing::reference_nettoyer(plain, mask);
        ASSERT_TRUE(same_pixels(fast, plain)) << "round " << round << ", mask " << mask << ", "
                                              << fast.width() << " x " << fast.height();
        if (depth != 32) continue;
        for (int y = 0; y < fast.height(); ++y)
            for (int x = 0; x < fast.width(); ++x)
                ASSERT_EQ(fast.row(y)[x * 4 + 3], 0xFF) << "written pixels stay opaque";
    }
}

TEST(CleaningAgainstPlainScan, EachPatternAloneOnDenseSpecks) {
    std::mt19937 rng(7);
    for (int bit = 0; bit < 7; ++bit)
        for (int round = 0; round < 200; ++round) {
            Image fast = random_page(rng, 24);
            Image plain = fast;
            nettoyer(fast, 1u << bit);
            testing::reference_nettoyer(plain, 1u << bit);
            ASSERT_TRUE(same_pixels(fast, plain)) << "pattern " << bit + 1 << ", round " << round;
        }
}

TEST(CleaningAgainstPlainScan, CountsTheWhitenedPixels) {
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        Image page = random_page(rng, 24);
        const Image before = page;
        const std::size_t count = nettoyer(page, 0x7F);
        std::size_t changed = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                changed += page.pixel(x, y) != before.pixel(x, y);
        ASSERT_EQ(count, changed);
    }
}

// The same random pages held one byte a pixel: cleaning, margin detection and colourising give
// what they give on the RGB copy, the cleaned page staying one byte a pixel.
TEST(CleaningAgainstPlainScan, GreyPagesGiveWhatTheirRgbCopiesGive) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 1500; ++round) {
        const Image source = random_page(rng, 24);
        auto grey = *testing::page_grise(source.width(), source.height(), 0xFF);
        for (int y = 0; y < grey.height(); ++y)
            for (int x = 0; x < grey.width(); ++x) {
                const Couleur c = source.pixel(x, y);
                grey.set_pixel(x, y, Couleur(rouge(c) == 0xFF ? vert(c) : rouge(c)) * 0x010101u);
            }
        Image rgb = grey;
        rgb.to_rgb();
        const std::uint32_t mask = rng() & 0x7F;
        ASSERT_EQ(nettoyer(grey, mask), nettoyer(rgb, mask)) << "round " << round;
        ASSERT_TRUE(grey.is_grey());
        ASSERT_TRUE(same_pixels(grey, rgb)) << "round " << round << ", mask " << mask;
        const Detection a = detecter_marges(grey), b = detecter_marges(rgb);
        ASSERT_EQ(a.issue, b.issue) << "round " << round;
        ASSERT_EQ(a.marges, b.marges) << "round " << round;
        coloriser(grey);
        coloriser(rgb);
        ASSERT_TRUE(same_pixels(grey, rgb)) << "colourised, round " << round;
    }
}

}  // namespace
}  // namespace vellumor
