#include "batch/image.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "support/skewed_page.h"

namespace vellumor {
namespace {

TEST(Image, CreateFillsBackgroundAndKeepsDepth) {
    auto rgb = Image::create(3, 2, 24, 0x123456);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->pixel_depth(), 24);
    EXPECT_EQ(rgb->file_depth(), 24);
    EXPECT_EQ(rgb->pixel(2, 1), 0x123456u);

    auto rgba = Image::create(2, 2, 32, kWhite);
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->pixel_depth(), 32);
    EXPECT_EQ(rgba->row(0)[3], 0xFF);
    // Alpha is never part of a pixel read: opaque white reads as exactly white.
    EXPECT_EQ(rgba->pixel(1, 1), kWhite);

    EXPECT_FALSE(Image::create(0, 5, 24, kWhite));
    EXPECT_FALSE(Image::create(kMaxSide + 1, 1, 24, kWhite));
    EXPECT_TRUE(Image::create(8, 8, 8, kWhite)->pixel_depth() == 24);
}

TEST(Image, FillBoxNegativeSizesExtendLeftAndUpAndClip) {
    auto img = *Image::create(10, 10, 24, kWhite);
    img.fill_box(5, 5, -2, -3, kBlack);  // covers x 3..4, y 2..4
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(img.pixel(x, y), (x >= 3 && x <= 4 && y >= 2 && y <= 4) ? kBlack : kWhite)
                << x << "," << y;
    img.fill_box(-5, 8, 100, 100, 0xFF);
    EXPECT_EQ(img.pixel(0, 9), 0xFFu);
    EXPECT_EQ(img.pixel(9, 8), 0xFFu);
    EXPECT_EQ(img.pixel(9, 7), kWhite);
}

TEST(Image, DrawClipsAndGrabCopiesRectangle) {
    auto page = *Image::create(6, 6, 24, kWhite);
    auto stamp = *Image::create(3, 3, 24, 0x00FF00);
    stamp.set_pixel(0, 0, kBlack);
    page.draw(stamp, 4, -1);  // only columns 4..5, rows 0..1 land
    EXPECT_EQ(page.pixel(4, 0), 0x00FF00u);
    EXPECT_EQ(page.pixel(5, 1), 0x00FF00u);
    EXPECT_EQ(page.pixel(3, 0), kWhite);
    EXPECT_EQ(page.pixel(4, 2), kWhite);

    page.set_file_depth(1);
    page.set_resolution(resolution_from_dpi(600));
    Image part = page.grab(4, 0, 2, 2);
    EXPECT_EQ(part.width(), 2);
    EXPECT_EQ(part.height(), 2);
    EXPECT_EQ(part.file_depth(), 1);
    EXPECT_EQ(part.resolution(), resolution_from_dpi(600));
    EXPECT_EQ(part.pixel(1, 1), 0x00FF00u);
}

TEST(Image, CropInPlaceMatchesGrab) {
    auto page = *Image::create(7, 5, 32, kWhite);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) page.set_pixel(x, y, couleur(x * 30, y * 40, x + y));
    page.set_file_depth(8);
    const Image expected = page.grab(2, 1, 4, 3);
    Image cropped = page;
    cropped.crop_in_place(2, 1, 4, 3);
    ASSERT_EQ(cropped.width(), 4);
    ASSERT_EQ(cropped.height(), 3);
    EXPECT_EQ(cropped.file_depth(), 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(cropped.pixel(x, y), expected.pixel(x, y));
    cropped.crop_in_place(10, 10, 2, 2);
    EXPECT_TRUE(cropped.empty());
}

TEST(Image, TranslucentSourceIsComposedAndResultStaysOpaque) {
    auto page = *Image::create(1, 1, 32, kWhite);
    auto ink = *Image::create(1, 1, 32, kBlack);
    ink.row(0)[3] = 0;  // fully transparent: page unchanged
    page.draw(ink, 0, 0);
    EXPECT_EQ(page.pixel(0, 0), kWhite);
    EXPECT_EQ(page.row(0)[3], 0xFF);
}

// A grey image and its RGB copy, put through the same edits: the colour words must stay equal and
// the grey one keeps one byte a pixel until a colour that is not grey reaches it.
TEST(Image, OneByteLayoutReadsAndWritesLikeRgb) {
    auto stamp = *Image::create(3, 2, 24, 0x0000FF);
    auto grey_stamp = *testing::page_grise(3, 2, 0x40);
    struct Edit {
        const char* name;
        std::function<void(Image&)> apply;
        bool stays_grey;
    };
    const Edit edits[] = {
        {"grey pixel", [](Image& i) { i.set_pixel(1, 1, 0x7F7F7F); }, true},
        {"grey box", [](Image& i) { i.fill_box(6, 4, -3, -2, kBlack); }, true},
        {"grey image drawn", [&](Image& i) { i.draw(grey_stamp, 5, 3); }, true},
        {"crop", [](Image& i) { i.crop_in_place(1, 1, 5, 4); }, true},
        {"coloured pixel", [](Image& i) { i.set_pixel(0, 0, 0x010203); }, false},
        {"coloured box", [](Image& i) { i.fill_box(2, 2, 2, 2, 0xFF0000); }, false},
        {"coloured image drawn", [&](Image& i) { i.draw(stamp, -1, 4); }, false},
    };
    for (const Edit& e : edits) {
        auto grey = *testing::page_grise(7, 5, 0xFF);
        for (int x = 0; x < 7; ++x) grey.set_pixel(x, x % 5, Couleur(x * 30) * 0x010101u);
        Image rgb = grey;
        rgb.to_rgb();
        ASSERT_EQ(rgb.channels(), 3);
        e.apply(grey);
        e.apply(rgb);
        EXPECT_EQ(grey.is_grey(), e.stays_grey) << e.name;
        EXPECT_EQ(grey.pixel_depth(), 24) << e.name;
        ASSERT_EQ(grey.width(), rgb.width()) << e.name;
        for (int y = 0; y < grey.height(); ++y)
            for (int x = 0; x < grey.width(); ++x)
                ASSERT_EQ(grey.pixel(x, y), rgb.pixel(x, y)) << e.name << " " << x << "," << y;
        const Image part = grey.grab(1, 1, 2, 2);
        EXPECT_EQ(part.pixel(1, 1), rgb.pixel(2, 2)) << e.name;
    }
}

TEST(Image, PaletteGivesTheColourOfEachByteAndAnyWriteMakesItRgb) {
    auto page = *testing::page_grise(4, 1, 0xFF);
    page.set_pixel(1, 0, 0x202020);
    Image::Palette blue_ink;
    for (int v = 0; v < 256; ++v) blue_ink[std::size_t(v)] = v == 0xFF ? kWhite : 0xFF0000;
    page.set_palette(blue_ink);
    EXPECT_EQ(page.pixel(0, 0), kWhite);
    EXPECT_EQ(page.pixel(1, 0), 0xFF0000u);
    auto target = *Image::create(5, 1, 24, kBlack);
    target.draw(page, 1, 0);
    EXPECT_EQ(target.pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(target.pixel(1, 0), kWhite);
    page.set_pixel(3, 0, kWhite);  // white too: palette bytes are not grey levels
    EXPECT_FALSE(page.is_grey());
    EXPECT_EQ(page.pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(page.pixel(3, 0), kWhite);
}

TEST(DrawingTarget, OnePerThreadAndIndependentAcrossThreads) {
    auto a = *Image::create(2, 2, 24, kWhite);
    auto b = *Image::create(2, 2, 24, kWhite);
    {
        DrawingTarget first(a);
        EXPECT_TRUE(first.active());
        DrawingTarget second(b);
        EXPECT_FALSE(second.active());
        EXPECT_EQ(DrawingTarget::current(), &a);
        bool other_thread_started = false;
        std::thread([&] {
            DrawingTarget t(b);
            other_thread_started = t.active() && DrawingTarget::current() == &b;
        }).join();
        EXPECT_TRUE(other_thread_started);
    }
    EXPECT_EQ(DrawingTarget::current(), nullptr);
    Image none;
    EXPECT_FALSE(DrawingTarget(none).active());
}

}  // namespace
}  // namespace vellumor
