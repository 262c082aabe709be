#include "batch/image.h"

#include <gtest/gtest.h>

#include <thread>

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
