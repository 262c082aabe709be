#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vellumor {

// Colour word 0x00BBGGRR: red in the low byte, blue in bits 16 to 23. The page algorithms count a
// pixel as white only when its word is exactly kWhite.
using Couleur = std::uint32_t;
inline constexpr Couleur kWhite = 0xFFFFFF;
inline constexpr Couleur kBlack = 0x000000;
inline constexpr int kMaxSide = 32767;

constexpr Couleur couleur(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Couleur(r) | (Couleur(g) << 8) | (Couleur(b) << 16);
}
constexpr std::uint8_t rouge(Couleur c) {
    return c & 0xFF;
}
constexpr std::uint8_t vert(Couleur c) {
    return (c >> 8) & 0xFF;
}
constexpr std::uint8_t bleu(Couleur c) {
    return (c >> 16) & 0xFF;
}

// Physical resolution of a page, as in a PNG pHYs chunk (pixels per metre).
struct Resolution {
    std::uint32_t x_per_metre = 0;
    std::uint32_t y_per_metre = 0;
    bool operator==(const Resolution&) const = default;
};
Resolution resolution_from_dpi(double dpi);

// An in-memory page: rows stored top to bottom, 3 bytes (R, G, B) or 4 bytes (R, G, B, A) a pixel.
// The file depth is the bit depth of the file the image came from (1, 2, 4, 8, 16, 24 or 32) and is
// the default depth when the image is saved.
class Image {
  public:
    Image() = default;

    // A width x height image of pixel depth 32 when depth is 32 and 24 otherwise, every pixel set
    // to background (alpha 0xFF at depth 32); its file depth equals its pixel depth. Fails
    // (nullopt) for sides outside 1..32767 or when the memory cannot be had.
    static std::optional<Image> create(int width, int height, int depth, Couleur background);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    int pixel_depth() const { return channels_ * 8; }
    int channels() const { return channels_; }
    bool has_alpha() const { return channels_ == 4; }
    int file_depth() const { return file_depth_; }
    void set_file_depth(int depth) { file_depth_ = depth; }
    const std::optional<Resolution>& resolution() const { return resolution_; }
    void set_resolution(std::optional<Resolution> r) { resolution_ = r; }

    std::size_t stride() const { return std::size_t(width_) * channels_; }
    std::uint8_t* row(int y) { return pixels_.data() + std::size_t(y) * stride(); }
    const std::uint8_t* row(int y) const { return pixels_.data() + std::size_t(y) * stride(); }
    std::uint8_t* data() { return pixels_.data(); }
    const std::uint8_t* data() const { return pixels_.data(); }
    std::size_t byte_size() const { return pixels_.size(); }

    // Colour word of (x, y), alpha never reported. No bounds check: 0 <= x < width, 0 <= y <
    // height.
    Couleur pixel(int x, int y) const {
        const std::uint8_t* p = row(y) + std::size_t(x) * channels_;
        return couleur(p[0], p[1], p[2]);
    }
    // Sets red, green and blue of (x, y); a 32-bit pixel becomes opaque. No bounds check.
    void set_pixel(int x, int y, Couleur c) {
        std::uint8_t* p = row(y) + std::size_t(x) * channels_;
        p[0] = rouge(c);
        p[1] = vert(c);
        p[2] = bleu(c);
        if (channels_ == 4) p[3] = 0xFF;
    }

    // Fills the rectangle, clipped to the image; a negative width or height extends it to the left
    // of x or above y.
    void fill_box(int x, int y, int w, int h, Couleur c);

    // Draws the whole of source with its top-left corner at (x, y), clipped to this image. A 32-bit
    // source is composed over this image by its alpha; the pixels written stay opaque.
    void draw(const Image& source, int x, int y);

    // A copy of the rectangle at (x, y) of w x h; same pixel depth, file depth and resolution.
    // The rectangle is clipped to the image; an empty intersection gives an empty image.
    Image grab(int x, int y, int w, int h) const;

    // Keeps only the rectangle at (x, y) of w x h, clipped to the image, moving its rows to the
    // front of the buffer: the same result as grab() without a second page in memory.
    void crop_in_place(int x, int y, int w, int h);

    // Adopts a decoded buffer of width x height x channels bytes (used by the PNG loader).
    static Image adopt(int width, int height, int channels, int file_depth,
                       std::vector<std::uint8_t> pixels);

  private:
    int width_ = 0;
    int height_ = 0;
    int channels_ = 3;
    int file_depth_ = 24;
    std::optional<Resolution> resolution_;
    std::vector<std::uint8_t> pixels_;
};

// The calling thread's drawing target: at most one per thread, started on an image and stopped when
// this object goes away. Targets of different threads are independent.
class DrawingTarget {
  public:
    // Starting fails (active() false) on an empty image or when the thread already has a target.
    explicit DrawingTarget(Image& image);
    ~DrawingTarget();
    DrawingTarget(const DrawingTarget&) = delete;
    DrawingTarget& operator=(const DrawingTarget&) = delete;

    bool active() const { return image_ != nullptr; }
    Image& image() { return *image_; }
    // The calling thread's current target image, or nullptr.
    static Image* current();

  private:
    Image* image_ = nullptr;
};

}  // namespace vellumor
