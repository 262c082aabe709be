#include "common/page.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace vellumor::bench {
namespace {

// Ink strokes of one glyph: stems, bars and the odd ascender or descender, in a cell of
// x-height h whose top-left corner is (x, y).
void draw_glyph(Image& page, std::mt19937& rng, int x, int y, int w, int h, Couleur ink) {
    const int stem = std::max(3, h / 7);
    const int shape = int(rng() % 6);
    page.fill_box(x, y, stem, h, ink);
    if (shape == 0 || shape == 3) page.fill_box(x, y - h / 2, stem, h / 2, ink);  // ascender
    if (shape == 1) page.fill_box(x + w - stem, y + h, stem, h / 2, ink);         // descender
    if (shape != 2) page.fill_box(x + w - stem, y, stem, h, ink);                 // second stem
    if (shape >= 2) page.fill_box(x, y, w, stem, ink);                            // top bar
    if (shape == 4 || shape == 5) page.fill_box(x, y + h - stem, w, stem, ink);   // bottom bar
    if (shape == 5) page.fill_box(x, y + h / 2 - stem / 2, w, stem, ink);         // middle bar
}

void draw_text_block(Image& page, std::mt19937& rng, int left, int top, int right, int bottom,
                     int x_height, Couleur ink) {
    const int line_pitch = x_height * 5 / 2;
    for (int y = top + x_height; y + 2 * x_height < bottom; y += line_pitch) {
        int x = left;
        const int line_end = right - int(rng() % 3 == 0 ? rng() % (right - left) / 3 : 0);
        while (x < line_end) {
            const int letters = 2 + int(rng() % 9);
            for (int i = 0; i < letters && x < line_end; ++i) {
                const int w = x_height * 3 / 4 + int(rng() % (x_height / 3 + 1));
                draw_glyph(page, rng, x, y, std::min(w, line_end - x), x_height, ink);
                x += w + x_height / 6;
            }
            x += x_height;  // word space
        }
    }
}

void draw_specks(Image& page, std::mt19937& rng, int count, Couleur ink) {
    for (int i = 0; i < count; ++i) {
        const int size = 1 + int(rng() % 4);
        page.fill_box(int(rng() % page.width()), int(rng() % page.height()), size, size, ink);
    }
}

// A photograph-like block: smooth colour gradients under fine noise.
void draw_picture(Image& page, std::mt19937& rng, int left, int top, int w, int h) {
    for (int y = top; y < top + h && y < page.height(); ++y) {
        std::uint8_t* p = page.row(y) + std::size_t(left) * 3;
        for (int x = 0; x < w && left + x < page.width(); ++x, p += 3) {
            const int noise = int(rng() % 9) - 4;
            p[0] = std::uint8_t(std::clamp(60 + 180 * x / w + noise, 0, 255));
            p[1] = std::uint8_t(std::clamp(200 - 150 * y / h + (x * y) % 23 + noise, 0, 255));
            p[2] = std::uint8_t(std::clamp(90 + 100 * (x + y) / (w + h) + noise, 0, 255));
        }
    }
}

// Softens stroke edges as a scanner's optics do: an ink pixel next to paper becomes a mid grey.
void soften_edges(Image& page, std::mt19937& rng) {
    std::vector<std::uint8_t> above(page.stride());
    for (int y = 1; y < page.height(); ++y) {
        std::uint8_t* row = page.row(y);
        std::copy(page.row(y - 1), page.row(y - 1) + page.stride(), above.begin());
        for (int x = 1; x < page.width(); ++x) {
            std::uint8_t* p = row + std::size_t(x) * 3;
            const bool ink = p[0] < 128;
            const bool paper_left = p[-3] == 255, paper_up = above[std::size_t(x) * 3] == 255;
            if (ink && (paper_left || paper_up)) {
                const std::uint8_t v = std::uint8_t(110 + rng() % 120);
                p[0] = p[1] = p[2] = v;
            }
        }
    }
}

// Scanner noise in the ink: every dark pixel takes a value of its own.
void add_ink_noise(Image& page, std::mt19937& rng) {
    for (int y = 0; y < page.height(); ++y) {
        std::uint8_t* p = page.row(y);
        for (int x = 0; x < page.width(); ++x, p += 3)
            if (p[0] < 128) p[0] = p[1] = p[2] = std::uint8_t(p[0] + rng() % 48);
    }
}

bool is_grey(ScanKind kind) {
    return kind == ScanKind::Grey || kind == ScanKind::NoisyInk || kind == ScanKind::Reconstituted;
}

}  // namespace

int file_depth_of(ScanKind kind) {
    return kind == ScanKind::BiLevel ? 1 : is_grey(kind) ? 8 : 24;
}

std::string name_of(ScanKind kind) {
    switch (kind) {
        case ScanKind::BiLevel:
            return "1 bit";
        case ScanKind::Grey:
            return "8 bits gris";
        case ScanKind::Colour:
            return "24 bits couleur";
        case ScanKind::NoisyInk:
            return "8 bits gris, encre bruitée";
        case ScanKind::Reconstituted:
            return "8 bits gris, reconstituée";
    }
    return {};
}

Image make_page(ScanKind kind, int width, int height, unsigned seed) {
    if (kind == ScanKind::Reconstituted) {
        const Image scan = make_page(ScanKind::Grey, width * 3 / 5, height * 3 / 5, seed);
        Image page = *Image::create(width, height, 24, kWhite);
        page.draw(scan, (width - scan.width()) / 2, height / 8);
        page.set_resolution(scan.resolution());
        return page;
    }
    std::mt19937 rng(seed);
    Image page = *Image::create(width, height, 24, kWhite);
    const int margin = width / 16;
    const Couleur ink = kind == ScanKind::Colour ? couleur(24, 20, 30) : couleur(20, 20, 20);
    const Couleur heading = kind == ScanKind::Colour ? couleur(150, 20, 30) : ink;
    draw_text_block(page, rng, margin, margin, width - margin, margin + height / 10, width / 60,
                    heading);
    int body_top = margin + height / 10;
    if (kind == ScanKind::Colour) {
        draw_picture(page, rng, margin, body_top, width - 2 * margin, height / 5);
        body_top += height / 5 + height / 40;
    }
    draw_text_block(page, rng, margin, body_top, width - margin, height - margin, width / 120, ink);
    draw_specks(page, rng, 3000, ink);
    if (kind == ScanKind::Grey || kind == ScanKind::NoisyInk) soften_edges(page, rng);
    if (kind == ScanKind::NoisyInk) add_ink_noise(page, rng);
    if (kind == ScanKind::BiLevel) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (page.pixel(x, y) != kWhite) page.set_pixel(x, y, kBlack);
    }
    page.set_resolution(resolution_from_dpi(600));
    return page;
}

bool write_scan(const Image& page, ScanKind kind, const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    const int depth = kind == ScanKind::BiLevel ? 1 : 8;
    const int colour_type = kind == ScanKind::Colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
    const std::size_t out_bytes = kind == ScanKind::Colour ? page.stride()
                                  : is_grey(kind)          ? std::size_t(page.width())
                                                           : std::size_t(page.width() + 7) / 8;
    // Held by a pointer rather than a vector: nothing of it lives in a register across setjmp.
    const std::unique_ptr<png_byte[]> row = std::make_unique<png_byte[]>(out_bytes);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, page.width(), page.height(), depth, colour_type, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_set_pHYs(png, info, 23622, 23622, PNG_RESOLUTION_METER);
        png_write_info(png, info);
        for (int y = 0; y < page.height(); ++y) {
            const std::uint8_t* p = page.row(y);
            if (kind == ScanKind::Colour) {
                std::copy(p, p + out_bytes, row.get());
            } else if (is_grey(kind)) {
                for (int x = 0; x < page.width(); ++x) row[x] = p[3 * x];
            } else {
                std::fill(row.get(), row.get() + out_bytes, 0);
                for (int x = 0; x < page.width(); ++x)
                    if (p[3 * x]) row[x / 8] |= png_byte(0x80 >> (x % 8));
            }
            png_write_row(png, row.get());
        }
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

}  // namespace vellumor::bench
