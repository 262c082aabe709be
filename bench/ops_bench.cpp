// Times the three page algorithms alone on a 600 dpi A4 page (4961 x 7016, grey values in a 24-bit
// image) against the PNG floor of the same page: its decode plus its zlib-9 unfiltered encode.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#include "batch/png_io.h"
#include "ops/cleaning/cleaning.h"
#include "ops/colourising/colourising.h"
#include "ops/cropping/cropping.h"

namespace {

using namespace vellumor;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 4961;
constexpr int kHeight = 7016;

Couleur grey(int v) {
    return couleur(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
}

// A scanned text page: lines of glyph-sized dark blots in several greys, and scanner dust (single
// pixels and small specks of light and dark grey) over the sheet but its outer 60 pixels.
Image text_page() {
    Image page = *Image::create(kWidth, kHeight, 24, kWhite);
    page.set_file_depth(8);
    std::mt19937 rng(42);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int line_y = 420; line_y + 60 < kHeight - 420; line_y += 95) {
        for (int x = 380; x < kWidth - 380;) {
            const int glyph = pick(18, 42);
            const int shade = pick(0, 90);
            page.fill_box(x, line_y + pick(0, 10), glyph - 6, pick(30, 55), grey(shade));
            page.fill_box(x + 4, line_y + 20, glyph - 14, 8, grey(pick(200, 250)));
            x += glyph + (pick(0, 9) == 0 ? 40 : 0);
        }
    }
    for (int i = 0; i < 60000; ++i)
        page.fill_box(pick(60, kWidth - 64), pick(60, kHeight - 64), pick(1, 3), pick(1, 3),
                      grey(pick(0, 254)));
    return page;
}

// The worst case for speck removal: every other pixel of a sheet of noise is ink.
Image noise_page() {
    Image page = *Image::create(kWidth, kHeight, 24, kWhite);
    std::mt19937 rng(7);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* p = page.row(y);
        for (int x = 0; x < kWidth; ++x, p += 3)
            if (rng() & 1) p[0] = p[1] = p[2] = 0;
    }
    return page;
}

// Best of three runs, in milliseconds; each run gets a fresh copy of the page.
double best_ms(const Image& page, const std::function<void(Image&)>& work) {
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        Image copy = page;
        const auto start = Clock::now();
        work(copy);
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vellumor_ops_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "page.png";

    const Image page = text_page();
    if (!save_png(page, file)) {
        std::fprintf(stderr, "bench_ops: la page de test ne peut pas être écrite\n");
        return 1;
    }
    double decode = 1e300, encode = 1e300, encode24 = 1e300;
    for (int run = 0; run < 2; ++run) {
        auto start = Clock::now();
        LoadResult loaded = load_png(file);
        decode = std::min(decode,
                          std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!loaded) return 1;
        start = Clock::now();
        if (!save_png(*loaded.image, dir / "out.png")) return 1;
        encode = std::min(encode,
                          std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        if (!save_png(*loaded.image, dir / "out24.png", 24)) return 1;
        encode24 = std::min(
            encode24, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double floor = decode + encode;
    std::printf(
        "ops: page %d x %d, PNG floor %.0f ms (decode %.0f + 8-bit encode %.0f; 24-bit encode "
        "%.0f)\n",
        kWidth, kHeight, floor, decode, encode, encode24);

    struct Case {
        const char* name;
        const Image* page;
        std::function<void(Image&)> work;
    };
    const Image noise = noise_page();
    const Image blank = *Image::create(kWidth, kHeight, 24, kWhite);
    const Case cases[] = {
        {"nettoyer --masque 1", &page, [](Image& p) { nettoyer(p, 1); }},
        {"nettoyer --masque 127", &page, [](Image& p) { nettoyer(p, 127); }},
        {"detourer, detection only", &page, [](Image& p) { detecter_marges(p); }},
        {"detourer, detection + grab", &page, [](Image& p) { detourer(p); }},
        {"detourer, blank page", &blank, [](Image& p) { detourer(p); }},
        {"coloriser", &page, [](Image& p) { coloriser(p); }},
        {"nettoyer --masque 127, noise", &noise, [](Image& p) { nettoyer(p, 127); }},
    };
    for (const Case& c : cases) {
        const double ms = best_ms(*c.page, c.work);
        std::printf("  %-30s %7.1f ms  %5.3f x floor  (run with PNG: %5.3f x floor)\n", c.name, ms,
                    ms / floor, (floor + ms) / floor);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
