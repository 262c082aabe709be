#include "batch/image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace vellumor {

Resolution resolution_from_dpi(double dpi) {
    const auto per_metre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
    return {per_metre, per_metre};
}

std::optional<Image> Image::allocate(int width, int height, int channels, int file_depth) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    if (channels != 1 && channels != 3 && channels != 4) return std::nullopt;
    Image image;
    try {
        image.pixels_.resize(std::size_t(width) * height * channels);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    image.width_ = width;
    image.height_ = height;
    image.channels_ = channels;
    image.file_depth_ = file_depth;
    return image;
}

std::optional<Image> Image::create(int width, int height, int depth, Couleur background) {
    const int channels = depth == 32 ? 4 : 3;
    auto image = allocate(width, height, channels, channels * 8);
    if (image) image->fill_box(0, 0, width, height, background);
    return image;
}

void Image::to_rgb() {
    if (channels_ != 1) return;
    PixelBuffer rgb;
    rgb.resize(pixels_.size() * 3);
    std::uint8_t* d = rgb.data();
    for (std::uint8_t v : pixels_) {
        const Couleur c = colour_of(v);
        d[0] = rouge(c);
        d[1] = vert(c);
        d[2] = bleu(c);
        d += 3;
    }
    pixels_ = std::move(rgb);
    channels_ = 3;
    palette_.reset();
}

void Image::set_palette(const Palette& palette) {
    if (channels_ == 1) palette_ = std::make_shared<const Palette>(palette);
}

void Image::fill_box(int x, int y, int w, int h, Couleur c) {
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min<long>(long(x) + w, width_), y1 = std::min<long>(long(y) + h, height_);
    if (x0 >= x1 || y0 >= y1) return;
    if (channels_ == 1 && (palette_ || !is_grey_colour(c))) to_rgb();
    if (channels_ == 1) {
        for (int yy = y0; yy < y1; ++yy) std::memset(row(yy) + x0, rouge(c), std::size_t(x1 - x0));
        return;
    }
    std::uint8_t px[4] = {rouge(c), vert(c), bleu(c), 0xFF};
    // Build one row of the box, then copy it to the others.
    std::uint8_t* first = row(y0) + std::size_t(x0) * channels_;
    for (int i = 0; i < x1 - x0; ++i)
        std::memcpy(first + std::size_t(i) * channels_, px, channels_);
    const std::size_t span = std::size_t(x1 - x0) * channels_;
    for (int yy = y0 + 1; yy < y1; ++yy)
        std::memcpy(row(yy) + std::size_t(x0) * channels_, first, span);
}

namespace {

// One row of n pixels of a source of sc bytes a pixel onto a target of dc bytes a pixel (dc 3 or
// 4): an RGBA source is composed over the target by its alpha, and the target stays opaque.
void draw_row(const Image& source, const std::uint8_t* s, std::uint8_t* d, int dc, int n) {
    const int sc = source.channels();
    for (int i = 0; i < n; ++i, s += sc, d += dc) {
        if (sc == 1) {
            const Couleur c = source.colour_of(s[0]);
            d[0] = rouge(c);
            d[1] = vert(c);
            d[2] = bleu(c);
        } else if (sc == 4 && s[3] != 0xFF) {
            const unsigned a = s[3];
            for (int k = 0; k < 3; ++k)
                d[k] = std::uint8_t((s[k] * a + d[k] * (255 - a) + 127) / 255);
        } else {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
        if (dc == 4) d[3] = 0xFF;
    }
}

}  // namespace

void Image::draw(const Image& source, int x, int y) {
    const int sx0 = std::max(0, -x), sy0 = std::max(0, -y);
    const int sx1 = std::min(source.width_, width_ - x),
              sy1 = std::min(source.height_, height_ - y);
    if (sx0 >= sx1 || sy0 >= sy1) return;
    const bool same_layout = source.channels_ == channels_ && source.palette_ == palette_;
    if (channels_ == 1 && !same_layout) to_rgb();
    const int n = sx1 - sx0;
    for (int sy = sy0; sy < sy1; ++sy) {
        const std::uint8_t* s = source.row(sy) + std::size_t(sx0) * source.channels_;
        std::uint8_t* d = row(sy + y) + std::size_t(sx0 + x) * channels_;
        if (same_layout && channels_ != 4)
            std::memcpy(d, s, std::size_t(n) * channels_);
        else
            draw_row(source, s, d, channels_, n);
    }
}

Image Image::grab(int x, int y, int w, int h) const {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min<long>(long(x) + w, width_), y1 = std::min<long>(long(y) + h, height_);
    Image out;
    out.channels_ = channels_;
    out.file_depth_ = file_depth_;
    out.resolution_ = resolution_;
    out.palette_ = palette_;
    if (x0 >= x1 || y0 >= y1) return out;
    out.width_ = x1 - x0;
    out.height_ = y1 - y0;
    out.pixels_.resize(out.stride() * out.height_);
    for (int yy = y0; yy < y1; ++yy)
        std::memcpy(out.row(yy - y0), row(yy) + std::size_t(x0) * channels_, out.stride());
    return out;
}

void Image::crop_in_place(int x, int y, int w, int h) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min<long>(long(x) + w, width_), y1 = std::min<long>(long(y) + h, height_);
    if (x0 >= x1 || y0 >= y1) {
        width_ = height_ = 0;
        pixels_.clear();
        return;
    }
    const std::size_t old_stride = stride();
    const std::size_t new_stride = std::size_t(x1 - x0) * channels_;
    // Each destination row starts at or before its source, so copying top to bottom never
    // overwrites a row still to be read.
    for (int yy = y0; yy < y1; ++yy)
        std::memmove(pixels_.data() + std::size_t(yy - y0) * new_stride,
                     pixels_.data() + std::size_t(yy) * old_stride + std::size_t(x0) * channels_,
                     new_stride);
    width_ = x1 - x0;
    height_ = y1 - y0;
    pixels_.resize(new_stride * height_);
}

namespace {
thread_local Image* thread_target = nullptr;
}

DrawingTarget::DrawingTarget(Image& image) {
    if (image.empty() || thread_target != nullptr) return;
    image_ = &image;
    thread_target = &image;
}

DrawingTarget::~DrawingTarget() {
    if (image_ != nullptr) thread_target = nullptr;
}

Image* DrawingTarget::current() {
    return thread_target;
}

}  // namespace vellumor
