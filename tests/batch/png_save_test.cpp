#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "batch/png_io.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::blank_png;
using test::PngFile;

Image loaded(const std::filesystem::path& file) {
    LoadResult r = load_png(file);
    EXPECT_TRUE(r) << r.message;
    return r ? std::move(*r.image) : Image{};
}

void expect_same_pixels(const Image& a, const Image& b) {
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << "at " << x << "," << y;
}

PngFile palette_page(int depth, int width, int height) {
    PngFile png = blank_png(width, height, PNG_COLOR_TYPE_PALETTE, depth);
    const int n = 1 << depth;
    for (int i = 0; i < n; ++i)
        png.palette.push_back(
            couleur(std::uint8_t(i * 37 + 11), std::uint8_t(255 - i * 13), std::uint8_t(i * i)));
    for (std::size_t i = 0; i < png.samples.size(); ++i)
        png.samples[i] = std::uint16_t((i * i + i / 7) % n);
    return png;
}

TEST(PngSave, GreyScanComesBackAsEightBitPaletteWithTheSamePixels) {
    test::TempDir dir;
    PngFile grey = blank_png(64, 40, PNG_COLOR_TYPE_GRAY, 8);
    for (std::size_t i = 0; i < grey.samples.size(); ++i) grey.samples[i] = i % 256;  // all 256
    test::write_png_file(dir / "scan.png", grey);
    Image img = loaded(dir / "scan.png");
    ASSERT_EQ(img.file_depth(), 8);
    ASSERT_TRUE(save_png(img, dir / "out.png"));

    auto file = test::read_png_file(dir / "out.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->colour_type, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(file->bit_depth, 8);
    EXPECT_EQ(file->palette.size(), 256u);
    Image back = loaded(dir / "out.png");
    EXPECT_EQ(back.file_depth(), 8);
    expect_same_pixels(img, back);
}

TEST(PngSave, PaletteScansRoundTripBitExactAtTheirDepth) {
    test::TempDir dir;
    for (int depth : {2, 4, 8}) {
        test::write_png_file(dir / "in.png", palette_page(depth, 33, 17));
        Image img = loaded(dir / "in.png");
        ASSERT_EQ(img.file_depth(), depth);
        ASSERT_TRUE(save_png(img, dir / "out.png"));
        auto file = test::read_png_file(dir / "out.png");
        ASSERT_TRUE(file);
        EXPECT_EQ(file->colour_type, PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(file->bit_depth, depth);
        EXPECT_LE(file->palette.size(), std::size_t(1) << depth);
        expect_same_pixels(img, loaded(dir / "out.png"));
    }
}

TEST(PngSave, FewColoursMakeAPaletteOfExactlyThoseColours) {
    test::TempDir dir;
    auto img = *Image::create(20, 10, 24, 0x123456);
    img.fill_box(3, 3, 5, 5, 0xFEDCBA);
    img.fill_box(10, 0, 1, 10, 0x010203);
    ASSERT_TRUE(save_png(img, dir / "out.png", 8));
    auto file = test::read_png_file(dir / "out.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(std::set<std::uint32_t>(file->palette.begin(), file->palette.end()),
              (std::set<std::uint32_t>{0x123456, 0xFEDCBA, 0x010203}));
    EXPECT_EQ(file->palette.size(), 3u);
    expect_same_pixels(img, loaded(dir / "out.png"));
}

TEST(PngSave, RunsOfEveryLengthKeepTheirPixels) {
    test::TempDir dir;
    auto img = *Image::create(97, 3, 24, kWhite);
    const Couleur colours[] = {kBlack, 0x808080, kWhite, 0x00FF00};
    int x = 0, run = 1, k = 0;
    for (int y = 0; y < 3; ++y)
        for (x = 0; x < 97; run = run % 13 + 1, ++k) {
            img.fill_box(x, y, run, 1, colours[k % 4]);
            x += run;
        }
    for (int depth : {1, 2, 8}) {
        ASSERT_TRUE(save_png(img, dir / "runs.png", depth));
        Image back = loaded(dir / "runs.png");
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < 97; ++i) {
                const Couleur c = img.pixel(i, y);
                const Couleur expected =
                    depth > 1 ? c : (c == kWhite || c == 0x00FF00 ? kWhite : kBlack);
                ASSERT_EQ(back.pixel(i, y), expected) << depth << " at " << i << "," << y;
            }
    }
}

TEST(PngSave, BiLevelScanStaysOneBit) {
    test::TempDir dir;
    PngFile bw = blank_png(50, 9, PNG_COLOR_TYPE_GRAY, 1);
    for (std::size_t i = 0; i < bw.samples.size(); ++i) bw.samples[i] = (i % 3) != 0;
    test::write_png_file(dir / "scan.png", bw);
    Image img = loaded(dir / "scan.png");
    ASSERT_EQ(img.file_depth(), 1);
    img.fill_box(0, 0, 5, 5, kWhite);  // as a cleaning would
    ASSERT_TRUE(save_png_replacing(img, dir / "scan.png"));
    auto file = test::read_png_file(dir / "scan.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->bit_depth, 1);
    EXPECT_EQ(file->colour_type, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(file->palette, (std::vector<std::uint32_t>{kBlack, kWhite}));
    expect_same_pixels(img, loaded(dir / "scan.png"));
}

TEST(PngSave, OneBitThresholdIsLuminanceAbove160) {
    test::TempDir dir;
    auto img = *Image::create(6, 1, 32, kWhite);
    img.set_pixel(0, 0, 0xA0A0A0);  // luminance exactly 160: black
    img.set_pixel(1, 0, 0xA1A1A1);  // 161: white
    img.set_pixel(2, 0, 0x0000FF);  // pure red, 54: black
    img.set_pixel(3, 0, 0x00FF00);  // pure green, 182: white
    img.set_pixel(4, 0, kBlack);
    img.row(0)[4 * 4 + 3] = 0;  // transparent black is white once composed
    img.set_pixel(5, 0, kBlack);
    img.row(0)[5 * 4 + 3] = 100;  // 155 once composed: black
    ASSERT_TRUE(save_png(img, dir / "bw.png", 1));
    auto file = test::read_png_file(dir / "bw.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->samples, (std::vector<std::uint16_t>{0, 1, 0, 1, 1, 0}));
}

TEST(PngSave, AlphaIsComposedOverWhiteBelowThirtyTwoBits) {
    test::TempDir dir;
    auto img = *Image::create(4, 1, 32, kBlack);
    img.row(0)[3] = 0;
    img.row(0)[7] = 51;  // 20% black over white: 204
    img.set_pixel(2, 0, 0x204080);
    img.set_pixel(3, 0, 0x0000C8);
    img.row(0)[15] = 128;  // 200 * 128 / 255 + 127 = 227.4; 0 -> 127
    ASSERT_TRUE(save_png(img, dir / "rgb.png", 24));
    auto file = test::read_png_file(dir / "rgb.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->colour_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(file->samples, (std::vector<std::uint16_t>{255, 255, 255, 204, 204, 204, 0x80, 0x40,
                                                         0x20, 227, 127, 127}));

    ASSERT_TRUE(save_png(img, dir / "rgba.png"));
    file = test::read_png_file(dir / "rgba.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->colour_type, PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(file->at(1, 0, 3), 51);
    EXPECT_EQ(file->at(3, 0, 0), 200);

    auto rgb = *Image::create(2, 1, 24, 0x445566);
    ASSERT_TRUE(save_png(rgb, dir / "opaque.png", 32));
    file = test::read_png_file(dir / "opaque.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->samples,
              (std::vector<std::uint16_t>{0x66, 0x55, 0x44, 255, 0x66, 0x55, 0x44, 255}));
}

TEST(PngSave, RowsAreUnfilteredAndCompressedAtLevelNine) {
    test::TempDir dir;
    auto img = *Image::create(300, 40, 24, kWhite);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            if ((x * y) % 7 == 0) img.set_pixel(x, y, couleur(std::uint8_t(x), std::uint8_t(y), 9));
    for (int depth : {1, 4, 8, 24, 32}) {
        ASSERT_TRUE(save_png(img, dir / "out.png", depth));
        auto facts = test::png_stream_facts(dir / "out.png");
        ASSERT_TRUE(facts) << depth;
        EXPECT_EQ(facts->zlib_level, 3) << depth;
        EXPECT_EQ(std::set<std::uint8_t>(facts->row_filters.begin(), facts->row_filters.end()),
                  std::set<std::uint8_t>{0})
            << depth;
    }
}

TEST(PngSave, ResolutionSurvivesLoadAndSave) {
    test::TempDir dir;
    PngFile scan = blank_png(8, 8, PNG_COLOR_TYPE_GRAY, 8);
    scan.pixels_per_metre = std::make_pair(23622u, 23622u);  // 600 dpi
    test::write_png_file(dir / "scan.png", scan);
    Image img = loaded(dir / "scan.png");
    for (int depth : {1, 8, 24}) {
        ASSERT_TRUE(save_png(img, dir / "out.png", depth));
        auto file = test::read_png_file(dir / "out.png");
        ASSERT_TRUE(file && file->pixels_per_metre) << depth;
        EXPECT_EQ(*file->pixels_per_metre, std::make_pair(23622u, 23622u));
    }
    ASSERT_TRUE(save_png_replacing(img.grab(1, 1, 4, 4), dir / "scan.png"));
    EXPECT_EQ(loaded(dir / "scan.png").resolution(), img.resolution());

    auto created = *Image::create(3, 3, 24, kWhite);
    ASSERT_TRUE(save_png(created, dir / "new.png"));
    EXPECT_FALSE(test::read_png_file(dir / "new.png")->pixels_per_metre);
}

TEST(PngSave, UnacceptedDepthFailsAndTouchesNothing) {
    test::TempDir dir;
    PngFile deep = blank_png(4, 4, PNG_COLOR_TYPE_GRAY, 16);
    deep.at(1, 1) = 0x1234;
    test::write_png_file(dir / "deep.png", deep);
    const std::string before = test::read_bytes(dir / "deep.png");
    Image img = loaded(dir / "deep.png");
    ASSERT_EQ(img.file_depth(), 16);

    for (auto save : {&save_png, &save_png_replacing}) {
        SaveResult r = save(img, dir / "deep.png", 0);
        EXPECT_FALSE(r);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(test::read_bytes(dir / "deep.png"), before);
        EXPECT_FALSE(save(img, dir / "other.png", 3));
        EXPECT_FALSE(save(img, dir / "other.png", 16));
        EXPECT_FALSE(std::filesystem::exists(dir / "other.png"));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_TRUE(save_png(img, dir / "eight.png", 8));
    EXPECT_FALSE(save_png(Image{}, dir / "empty.png", 24));
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.png"));
}

// Makes every write past limit bytes fail with EFBIG, as a full disk would, for one scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit small{limit, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, old_handler_);
    }

  private:
    rlimit saved_{};
    sighandler_t old_handler_;
};

Image noisy_page() {
    auto img = *Image::create(400, 300, 24, kWhite);
    std::uint32_t state = 12345;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            img.set_pixel(x, y, state >> 8);
        }
    return img;
}

TEST(PngSave, FailedWriteDeletesThePartialFile) {
    test::TempDir dir;
    const Image img = noisy_page();
    SaveResult r;
    {
        FileSizeLimit limit(4096);
        r = save_png(img, dir / "out.png", 24);
    }
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.message.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
}

TEST(PngSave, FailedReplaceLeavesTheExistingFileByteIdentical) {
    test::TempDir dir;
    auto small = *Image::create(10, 10, 24, 0x00FF00);
    ASSERT_TRUE(save_png(small, dir / "page.png"));
    const std::string before = test::read_bytes(dir / "page.png");
    const Image img = noisy_page();
    SaveResult r;
    {
        FileSizeLimit limit(4096);
        r = save_png_replacing(img, dir / "page.png", 24);
    }
    EXPECT_FALSE(r);
    EXPECT_NE(r.message.find("page.png"), std::string::npos) << r.message;
    EXPECT_EQ(test::read_bytes(dir / "page.png"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    ASSERT_TRUE(save_png_replacing(img, dir / "page.png", 24));
    expect_same_pixels(img, loaded(dir / "page.png"));
}

// RGBA pixels as libpng's simplified reader decodes the file, a path apart from the loader's.
std::vector<std::uint8_t> simplified_read(const std::filesystem::path& file, int& w, int& h) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, file.c_str())) return {};
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    w = int(png.width);
    h = int(png.height);
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return {};
    }
    return pixels;
}

bool has_program(const char* name) {
    return std::system(("command -v " + std::string(name) + " > /dev/null 2>&1").c_str()) == 0;
}

bool succeeds(const std::string& command) {
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Image with_alpha_ramp(Image img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.row(y)[std::size_t(x) * 4 + 3] = (x * 29 + y) % 256;
    return img;
}

// Every depth, widths whose packed rows end in a part byte, and a page whose data spans several
// IDAT chunks: other readers decode each file to the pixels our loader gives, without a warning.
TEST(PngSave, OtherReadersDecodeTheSamePixelsAtEveryDepth) {
    test::TempDir dir;
    auto shapes = *Image::create(37, 23, 24, kWhite);
    shapes.fill_box(3, 2, 11, 15, kBlack);
    shapes.fill_box(20, 5, 9, 9, 0x3060C0);
    shapes.fill_box(30, 0, 7, 23, 0x808080);
    auto gradient = *Image::create(61, 9, 24, kWhite);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 61; ++x)
            gradient.set_pixel(x, y, couleur(std::uint8_t(x * 4), std::uint8_t(y * 28), 77));
    const struct {
        const char* name;
        Image image;
        int depth;
    } cases[] = {
        {"1 bit", shapes, 1},
        {"2 bits", shapes, 2},
        {"4 bits", shapes, 4},
        {"8 bits exact", shapes, 8},
        {"8 bits appris", gradient, 8},
        {"24 bits", gradient, 24},
        {"32 bits opaque", gradient, 32},
        {"32 bits alpha", with_alpha_ramp(*Image::create(45, 7, 32, 0x20A0F0)), 32},
        {"plusieurs IDAT", noisy_page(), 24},
    };
    const bool imagemagick = has_program("identify") && has_program("compare");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = dir / "out.png";
        ASSERT_TRUE(save_png(c.image, out, c.depth));
        const Image ours = loaded(out);
        int w = 0, h = 0;
        const std::vector<std::uint8_t> other = simplified_read(out, w, h);
        ASSERT_EQ(other.size(), std::size_t(ours.width()) * ours.height() * 4);
        ASSERT_EQ(w, ours.width());
        ASSERT_EQ(h, ours.height());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = &other[(std::size_t(y) * w + x) * 4];
                ASSERT_EQ(couleur(p[0], p[1], p[2]), ours.pixel(x, y)) << x << "," << y;
                ASSERT_EQ(p[3], ours.has_alpha() ? ours.row(y)[std::size_t(x) * 4 + 3] : 255);
            }
        if (!imagemagick) continue;
        // The same pixels written by libpng as plain RGBA, for ImageMagick to compare against.
        PngFile reference = blank_png(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8);
        std::copy(other.begin(), other.end(), reference.samples.begin());
        test::write_png_file(dir / "reference.png", reference);
        EXPECT_TRUE(succeeds("identify -regard-warnings '" + out.string() + "'"));
        EXPECT_TRUE(succeeds("compare -regard-warnings -metric AE '" + out.string() + "' '" +
                             (dir / "reference.png").string() + "' null:"));
    }
}

}  // namespace
}  // namespace vellumor
