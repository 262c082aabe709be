#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

#include "batch/png_io.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::blank_png;
using test::PngFile;

Image load_fixture(const test::TempDir& dir, const PngFile& png) {
    const auto file = dir / "page.png";
    test::write_png_file(file, png);
    LoadResult r = load_png(file);
    EXPECT_TRUE(r) << r.message;
    return r ? std::move(*r.image) : Image{};
}

TEST(PngLoad, RgbaWhiteReadsAsWhiteWithoutAlpha) {
    test::TempDir dir;
    PngFile png = blank_png(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    for (int c = 0; c < 4; ++c) png.at(0, 0, c) = 255;
    png.at(1, 0, 0) = 10, png.at(1, 0, 1) = 20, png.at(1, 0, 2) = 30, png.at(1, 0, 3) = 40;
    Image img = load_fixture(dir, png);
    EXPECT_EQ(img.pixel_depth(), 32);
    EXPECT_EQ(img.file_depth(), 32);
    EXPECT_EQ(img.pixel(0, 0), kWhite);
    EXPECT_EQ(img.pixel(1, 0), couleur(10, 20, 30));
    EXPECT_EQ(img.row(0)[7], 40);  // alpha kept in the pixels, never in a read
}

TEST(PngLoad, GreyAndPaletteExpandToRgbAndKeepTheirFileDepth) {
    test::TempDir dir;
    for (int depth : {1, 2, 4, 8}) {
        PngFile grey = blank_png(5, 3, PNG_COLOR_TYPE_GRAY, depth);
        const int top = (1 << depth) - 1;
        grey.at(4, 2) = std::uint16_t(top);
        grey.at(1, 0) = std::uint16_t(top / 2);
        Image img = load_fixture(dir, grey);
        EXPECT_EQ(img.pixel_depth(), 24) << depth;
        EXPECT_EQ(img.file_depth(), depth);
        EXPECT_EQ(img.pixel(4, 2), kWhite);
        EXPECT_EQ(img.pixel(0, 0), kBlack);
        const std::uint8_t mid = std::uint8_t(255 * (top / 2) / top);
        EXPECT_EQ(img.pixel(1, 0), couleur(mid, mid, mid)) << depth;
    }
    PngFile pal = blank_png(3, 1, PNG_COLOR_TYPE_PALETTE, 4);
    pal.palette = {0x102030, 0xABCDEF, 0x00FF00};
    pal.at(0, 0) = 1, pal.at(1, 0) = 2, pal.at(2, 0) = 0;
    Image img = load_fixture(dir, pal);
    EXPECT_EQ(img.pixel_depth(), 24);
    EXPECT_EQ(img.file_depth(), 4);
    EXPECT_EQ(img.pixel(0, 0), 0xABCDEFu);
    EXPECT_EQ(img.pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(img.pixel(2, 0), 0x102030u);
}

// Grey pictures and palettes of greys are held one byte a pixel, the others three or four.
TEST(PngLoad, EachPictureKindGetsItsLayout) {
    test::TempDir dir;
    PngFile grey_palette = blank_png(3, 1, PNG_COLOR_TYPE_PALETTE, 8);
    grey_palette.palette = {0x404040, 0xFFFFFF};
    grey_palette.at(0, 0) = 1, grey_palette.at(1, 0) = 0, grey_palette.at(2, 0) = 1;
    PngFile colour_palette = grey_palette;
    colour_palette.palette[0] = 0x404041;
    PngFile see_through = blank_png(3, 1, PNG_COLOR_TYPE_GRAY, 8);
    see_through.transparent_grey = 0;
    PngFile interlaced = blank_png(3, 1, PNG_COLOR_TYPE_GRAY, 2);
    interlaced.interlaced = true;
    interlaced.at(0, 0) = 3, interlaced.at(1, 0) = 1;
    struct Case {
        const char* name;
        PngFile png;
        int channels;
        Couleur first, second, third;
    };
    const Case cases[] = {
        {"grey palette", grey_palette, 1, kWhite, 0x404040, kWhite},
        {"colour palette", colour_palette, 3, kWhite, 0x404041, kWhite},
        {"grey with transparency", see_through, 4, kBlack, kBlack, kBlack},
        {"interlaced 2-bit grey", interlaced, 1, kWhite, 0x555555, kBlack},
        {"16-bit grey", blank_png(3, 1, PNG_COLOR_TYPE_GRAY, 16), 1, kBlack, kBlack, kBlack},
        {"RGB", blank_png(3, 1, PNG_COLOR_TYPE_RGB, 8), 3, kBlack, kBlack, kBlack},
    };
    for (const Case& c : cases) {
        const Image img = load_fixture(dir, c.png);
        EXPECT_EQ(img.channels(), c.channels) << c.name;
        EXPECT_EQ(img.pixel(0, 0), c.first) << c.name;
        EXPECT_EQ(img.pixel(1, 0), c.second) << c.name;
        EXPECT_EQ(img.pixel(2, 0), c.third) << c.name;
    }
}

TEST(PngLoad, SixteenBitsAreReducedToEight) {
    test::TempDir dir;
    PngFile grey = blank_png(3, 1, PNG_COLOR_TYPE_GRAY, 16);
    grey.at(0, 0) = 0xFFFF, grey.at(1, 0) = 0x8080, grey.at(2, 0) = 0x0101;
    Image img = load_fixture(dir, grey);
    EXPECT_EQ(img.file_depth(), 16);
    EXPECT_EQ(img.pixel_depth(), 24);
    EXPECT_EQ(img.pixel(0, 0), kWhite);
    EXPECT_EQ(img.pixel(1, 0), 0x808080u);
    EXPECT_EQ(img.pixel(2, 0), 0x010101u);

    PngFile rgb = blank_png(1, 1, PNG_COLOR_TYPE_RGB, 16);
    rgb.at(0, 0, 0) = 0xFFFF, rgb.at(0, 0, 2) = 0x3333;
    img = load_fixture(dir, rgb);
    EXPECT_EQ(img.file_depth(), 24);
    EXPECT_EQ(img.pixel(0, 0), 0x3300FFu);
}

TEST(PngLoad, TransparencyBecomesAlpha) {
    test::TempDir dir;
    PngFile pal = blank_png(2, 1, PNG_COLOR_TYPE_PALETTE, 8);
    pal.palette = {0x0000FF, 0x00FF00};
    pal.palette_alpha = {0x80};  // entry 1 stays opaque
    pal.at(1, 0) = 1;
    Image img = load_fixture(dir, pal);
    EXPECT_EQ(img.pixel_depth(), 32);
    EXPECT_EQ(img.file_depth(), 8);
    EXPECT_EQ(img.pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(img.row(0)[3], 0x80);
    EXPECT_EQ(img.row(0)[7], 0xFF);

    PngFile grey = blank_png(2, 1, PNG_COLOR_TYPE_GRAY, 8);
    grey.transparent_grey = 7;
    grey.at(0, 0) = 7, grey.at(1, 0) = 8;
    img = load_fixture(dir, grey);
    EXPECT_EQ(img.pixel_depth(), 32);
    EXPECT_EQ(img.row(0)[3], 0);
    EXPECT_EQ(img.row(0)[7], 0xFF);

    PngFile grey_alpha = blank_png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8);
    grey_alpha.at(0, 0, 0) = 200, grey_alpha.at(0, 0, 1) = 9;
    img = load_fixture(dir, grey_alpha);
    EXPECT_EQ(img.pixel_depth(), 32);
    EXPECT_EQ(img.file_depth(), 8);
    EXPECT_EQ(img.pixel(0, 0), 0xC8C8C8u);
    EXPECT_EQ(img.row(0)[3], 9);
}

TEST(PngLoad, InterlacedFilesGiveTheSamePixelsTopRowFirst) {
    test::TempDir dir;
    PngFile rgb = blank_png(9, 7, PNG_COLOR_TYPE_RGB, 8);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c) rgb.at(x, y, c) = std::uint16_t(x * 20 + y * 3 + c);
    Image plain = load_fixture(dir, rgb);
    rgb.interlaced = true;
    Image interlaced = load_fixture(dir, rgb);
    ASSERT_EQ(plain.byte_size(), interlaced.byte_size());
    EXPECT_EQ(0, std::memcmp(plain.data(), interlaced.data(), plain.byte_size()));
    EXPECT_EQ(plain.pixel(0, 0), couleur(0, 1, 2));
    EXPECT_EQ(plain.pixel(8, 6), couleur(178, 179, 180));
}

TEST(PngLoad, ResolutionIsKept) {
    test::TempDir dir;
    PngFile png = blank_png(1, 1, PNG_COLOR_TYPE_GRAY, 1);
    Image img = load_fixture(dir, png);
    EXPECT_FALSE(img.resolution());
    png.pixels_per_metre = std::make_pair(23622u, 23623u);
    img = load_fixture(dir, png);
    ASSERT_TRUE(img.resolution());
    EXPECT_EQ(*img.resolution(), (Resolution{23622, 23623}));
}

TEST(PngLoad, TheFileIsClosedBeforeDecodingEnds) {
    test::TempDir dir;
    const auto file = dir / "page.png";
    test::write_png_file(file, blank_png(4, 4, PNG_COLOR_TYPE_GRAY, 8));
    LoadResult r = load_png(file);
    ASSERT_TRUE(r);
    std::filesystem::remove(file);  // the image does not depend on the file any more
    EXPECT_EQ(r.image->pixel(3, 3), kBlack);
    EXPECT_TRUE(save_png(*r.image, file));
}

// Writes a chunk with its length and CRC.
void put_chunk(std::string& out, const char* type, const std::string& data) {
    auto be32 = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out += char((v >> s) & 0xFF);
    };
    be32(std::uint32_t(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    be32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

// A PNG whose header declares width x height pixels of the colour type, over a few bytes of data.
std::string png_declaring(std::uint32_t width, std::uint32_t height, int colour_type, int depth) {
    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    for (std::uint32_t v : {width, height})
        for (int s = 24; s >= 0; s -= 8) ihdr += char((v >> s) & 0xFF);
    ihdr += char(depth);
    ihdr += char(colour_type);
    ihdr += std::string(3, '\0');
    put_chunk(out, "IHDR", ihdr);
    // Rows of zeros, compressed: a few hundred bytes that claim to be a huge picture.
    std::string zeros(1 << 16, '\0');
    std::string packed(compressBound(uLong(zeros.size())), '\0');
    uLongf size = packed.size();
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(zeros.data()), uLong(zeros.size()), 9);
    packed.resize(size);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", "");
    return out;
}

TEST(PngLoad, BadFilesFailCleanlyWithAReason) {
    test::TempDir dir;
    auto expect_failure = [&](const std::string& bytes, LoadError error, const char* what) {
        const auto file = dir / "bad.png";
        test::write_bytes(file, bytes);
        LoadResult r = load_png(file);
        EXPECT_FALSE(r) << what;
        EXPECT_EQ(r.error, error) << what;
        EXPECT_FALSE(r.message.empty()) << what;
        EXPECT_NE(r.message.find("bad.png"), std::string::npos) << r.message;
    };
    PngFile page = blank_png(64, 64, PNG_COLOR_TYPE_RGB, 8);
    for (std::size_t i = 0; i < page.samples.size(); ++i) page.samples[i] = (i * 7919) % 251;
    const std::string good = test::encode_png(page);

    EXPECT_EQ(load_png(dir / "absent.png").error, LoadError::Missing);
    EXPECT_EQ(load_png(dir.path()).error, LoadError::Unreadable);
    expect_failure("", LoadError::NotPng, "zero bytes");
    expect_failure("GIF89a, not a PNG at all", LoadError::NotPng, "not a PNG");
    expect_failure(good.substr(0, 6), LoadError::NotPng, "cut inside the signature");
    expect_failure(good.substr(0, 30), LoadError::Corrupt, "cut inside the header");
    expect_failure(good.substr(0, good.size() / 2), LoadError::Corrupt, "cut in the data");
    expect_failure(good.substr(0, good.size() - 12), LoadError::Corrupt, "no end chunk");
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    expect_failure(flipped, LoadError::Corrupt, "damaged data");
    std::string garbage = good.substr(0, 8) + std::string(200, '\x7f');
    expect_failure(garbage, LoadError::Corrupt, "garbage after the signature");

    expect_failure(png_declaring(32768, 1, PNG_COLOR_TYPE_GRAY, 8), LoadError::TooLarge, "wide");
    expect_failure(png_declaring(1, 40000, PNG_COLOR_TYPE_GRAY, 8), LoadError::TooLarge, "tall");
    expect_failure(png_declaring(32767, 32767, PNG_COLOR_TYPE_RGB_ALPHA, 8), LoadError::TooLarge,
                   "four gigabytes from a few hundred bytes");
    expect_failure(png_declaring(20000, 20000, PNG_COLOR_TYPE_GRAY, 1), LoadError::TooLarge,
                   "one-bit bomb");
    // Within the limits, but the data ends long before the picture does.
    expect_failure(png_declaring(4000, 4000, PNG_COLOR_TYPE_GRAY, 8), LoadError::Corrupt,
                   "short data");
}

TEST(PngLoad, RandomDamageNeverCrashesAndAlwaysGivesAnAnswer) {
    test::TempDir dir;
    PngFile page = blank_png(40, 30, PNG_COLOR_TYPE_PALETTE, 4);
    page.palette = {0x000000, 0x808080, 0xFFFFFF, 0x0000FF};
    page.palette_alpha = {0xFF, 0x80};
    for (std::size_t i = 0; i < page.samples.size(); ++i) page.samples[i] = (i / 5) % 4;
    const std::string good = test::encode_png(page);
    std::uint32_t state = 99;
    for (int trial = 0; trial < 300; ++trial) {
        std::string bytes = good;
        for (int k = 0; k < 1 + trial % 4; ++k) {
            state = state * 1664525u + 1013904223u;
            bytes[8 + (state >> 8) % (bytes.size() - 8)] = char(state >> 24);
        }
        test::write_bytes(dir / "damaged.png", bytes);
        LoadResult r = load_png(dir / "damaged.png");
        if (r) {
            EXPECT_EQ(r.image->width(), 40);  // only ancillary bytes were hit
        } else {
            EXPECT_FALSE(r.message.empty());
        }
    }
}

TEST(PngLoad, LargestSideIsAccepted) {
    test::TempDir dir;
    PngFile strip = blank_png(kMaxSide, 1, PNG_COLOR_TYPE_GRAY, 1);
    Image img = load_fixture(dir, strip);
    EXPECT_EQ(img.width(), kMaxSide);
    EXPECT_EQ(img.pixel(kMaxSide - 1, 0), kBlack);
}

}  // namespace
}  // namespace vellumor
