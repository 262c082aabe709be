#include "batch/neuquant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>

#include "batch/png_io.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

int channel_error(Couleur a, Couleur b) {
    return std::max(
        {std::abs(rouge(a) - rouge(b)), std::abs(vert(a) - vert(b)), std::abs(bleu(a) - bleu(b))});
}

// Four areas of paper, red, blue and dark grey ink, each with a little scanner noise.
Image four_inks(int width, int height) {
    auto img = *Image::create(width, height, 24, kWhite);
    const Couleur inks[] = {0x2020D0, 0xC03010, 0x404040};
    std::mt19937 noise(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int area = (x * 4) / width;
            if (area == 0) continue;  // paper stays exactly white
            const Couleur ink = inks[area - 1];
            auto jitter = [&](int v) {
                return std::uint8_t(std::clamp(v + int(noise() % 7) - 3, 0, 255));
            };
            img.set_pixel(x, y, couleur(jitter(rouge(ink)), jitter(vert(ink)), jitter(bleu(ink))));
        }
    return img;
}

TEST(NeuQuant, SamplingFactorGrowsWithThePageUpToTen) {
    EXPECT_EQ(neuquant_sampling_factor(1), 1);
    EXPECT_EQ(neuquant_sampling_factor(262143), 1);
    EXPECT_EQ(neuquant_sampling_factor(262144), 2);
    EXPECT_EQ(neuquant_sampling_factor(4961u * 7016u), 10);
}

TEST(NeuQuant, SmallPalettesFindTheInksOfAPage) {
    const Image img = four_inks(200, 60);
    for (int colours : {4, 16}) {
        const auto palette = neuquant_palette(img, colours, 1);
        ASSERT_EQ(palette.size(), std::size_t(colours));
        EXPECT_GE(std::count(palette.begin(), palette.end(), kWhite), 1) << colours;
        NearestEntry nearest(palette);
        std::set<int> used_per_area[4];
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); ++x) {
                const int index = nearest.index_of(img.pixel(x, y));
                used_per_area[(x * 4) / img.width()].insert(index);
                EXPECT_LE(channel_error(palette[index], img.pixel(x, y)), 16)
                    << colours << " colours at " << x << "," << y;
            }
        EXPECT_EQ(used_per_area[0].size(), 1u);  // all paper on the white entry
        for (int a = 1; a < 4; ++a)
            for (int b = 0; b < a; ++b)
                for (int i : used_per_area[a]) EXPECT_EQ(used_per_area[b].count(i), 0u);
    }
}

TEST(NeuQuant, GradientGetsAnEvenSpreadOfEntries) {
    auto img = *Image::create(512, 128, 32, kWhite);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x)
            img.set_pixel(
                x, y, couleur(std::uint8_t(x / 2), std::uint8_t(255 - x / 2), std::uint8_t(y * 2)));
    const auto palette = neuquant_palette(img, 256, 1);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_GT(std::set<Couleur>(palette.begin(), palette.end()).size(), 200u);
    NearestEntry nearest(palette);
    double total = 0;
    int worst = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 512; ++x) {
            const int e =
                channel_error(palette[nearest.index_of(img.pixel(x, y))], img.pixel(x, y));
            total += e;
            worst = std::max(worst, e);
        }
    // A grey ramp, the network's starting point, would be off by 64 on average.
    EXPECT_LT(total / (512 * 128), 11.0);
    EXPECT_LT(worst, 64);
}

// Linear-light distance, computed here independently of the search's tables.
double linear_distance(Couleur a, Couleur b) {
    auto lin = [](int v) { return std::pow(v / 255.0, 1.8); };
    return std::abs(lin(rouge(a)) - lin(rouge(b))) + std::abs(lin(vert(a)) - lin(vert(b))) +
           std::abs(lin(bleu(a)) - lin(bleu(b)));
}

TEST(NeuQuant, NearestEntryIsTheClosestInLinearLight) {
    std::mt19937 random(42);
    std::vector<Couleur> palette;
    for (int i = 0; i < 200; ++i) palette.push_back(random() & 0xFFFFFF);
    palette.push_back(kBlack);
    palette.push_back(0x010101);  // nearly black, still told apart
    NearestEntry nearest(palette);
    for (std::size_t i = 0; i < palette.size(); ++i)
        EXPECT_EQ(palette[nearest.index_of(palette[i])], palette[i]) << i;
    for (int n = 0; n < 3000; ++n) {
        const Couleur c = random() & 0xFFFFFF;
        const double got = linear_distance(palette[nearest.index_of(c)], c);
        double best = 1e9;
        for (Couleur p : palette) best = std::min(best, linear_distance(p, c));
        EXPECT_LE(got, best + 1e-4) << std::hex << c;
    }
    NearestEntry single({0x336699});
    EXPECT_EQ(single.index_of(kWhite), 0);
}

TEST(NeuQuant, ManyColoursSaveAsASanePalette) {
    test::TempDir dir;
    for (int depth : {2, 8}) {
        auto img = four_inks(300, 80);
        if (depth == 8) img.fill_box(0, 70, 300, 10, kBlack);
        ASSERT_TRUE(save_png(img, dir / "out.png", depth));
        auto file = test::read_png_file(dir / "out.png");
        ASSERT_TRUE(file);
        EXPECT_EQ(file->bit_depth, depth);
        EXPECT_EQ(file->palette.size(), std::size_t(1) << depth);
        LoadResult back = load_png(dir / "out.png");
        ASSERT_TRUE(back);
        EXPECT_EQ(back.image->pixel(0, 0), kWhite);
        if (depth == 8) {
            EXPECT_EQ(back.image->pixel(299, 79), kBlack);
        }
        int worst = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 300; ++x)
                worst = std::max(worst, channel_error(back.image->pixel(x, y), img.pixel(x, y)));
        EXPECT_LE(worst, depth == 2 ? 16 : 8) << depth;
    }
}

}  // namespace
}  // namespace vellumor
