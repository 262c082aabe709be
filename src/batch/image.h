#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// Allocator that leaves new elements uninitialised: a page buffer is always written in full by
// its decoder or by its producer, so zero-filling it first would only cost a pass over memory.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <class U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using PixelBuffer = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

// An in-memory page: rows stored top to bottom, at the page's own depth: one byte a pixel for a
// grey page (value v is the colour couleur(v, v, v), or palette()[v] when the image has a
// palette), three bytes (R, G, B) or four (R, G, B, A)
// otherwise. Whatever the layout, pixel() gives the same colour words and the pixel depth (24,
// or 32 with alpha) is the one the page algorithms see. The file depth is the bit depth of the
// file the image came from (1, 2, 4, 8, 16, 24 or 32) and is the default depth when the image is
// saved.
class Image {
  public:
    Image() = default;

    // A width x height image of pixel depth 32 when depth is 32 and 24 otherwise, every pixel set
    // to background (alpha 0xFF at depth 32); its file depth equals its pixel depth. Stored three
    // or four bytes a pixel. Fails (nullopt) for sides outside 1..32767 or when the memory cannot
    // be had.
    static std::optional<Image> create(int width, int height, int depth, Couleur background);

    // A width x height image of `channels` bytes a pixel (1 grey, 3 RGB, 4 RGBA) whose pixels are
    // NOT initialised: for a decoder or a converter that writes every row through row(). Fails
    // (nullopt) for sides outside 1..32767, another channel count or when the memory cannot be
    // had.
    static std::optional<Image> allocate(int width, int height, int channels, int file_depth);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    int pixel_depth() const { return channels_ == 4 ? 32 : 24; }
    // Bytes a pixel as stored: 1 (grey), 3 (RGB) or 4 (RGBA).
    int channels() const { return channels_; }
    // One byte a pixel (grey levels, or indices into palette() when it is set).
    bool is_grey() const { return channels_ == 1; }
    using Palette = std::array<Couleur, 256>;
    // The colour of each byte of a one-byte-a-pixel image, or nullptr (the byte is a grey level).
    const Palette* palette() const { return palette_.get(); }
    // Gives a one-byte-a-pixel image its palette (every byte value must have its entry); nothing
    // for any other image.
    void set_palette(const Palette& palette);
    // The colour word of byte value v of a one-byte-a-pixel image.
    Couleur colour_of(std::uint8_t v) const {
        return palette_ ? (*palette_)[v] : Couleur(v) * 0x010101u;
    }
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
        if (channels_ == 1) return colour_of(p[0]);
        return couleur(p[0], p[1], p[2]);
    }
    // Sets red, green and blue of (x, y); a 32-bit pixel becomes opaque. A colour that is not
    // grey turns a one-byte-a-pixel image into an RGB one first, as does any colour on one with a
    // palette. No bounds check.
    void set_pixel(int x, int y, Couleur c) {
        if (channels_ == 1) {
            if (!palette_ && is_grey_colour(c)) {
                row(y)[x] = rouge(c);
                return;
            }
            to_rgb();
        }
        std::uint8_t* p = row(y) + std::size_t(x) * channels_;
        p[0] = rouge(c);
        p[1] = vert(c);
        p[2] = bleu(c);
        if (channels_ == 4) p[3] = 0xFF;
    }

    static constexpr bool is_grey_colour(Couleur c) {
        return rouge(c) == vert(c) && vert(c) == bleu(c);
    }

    // Stores a one-byte-a-pixel image three bytes a pixel (same colour words); nothing for any
    // other image.
    // Throws std::bad_alloc when the memory cannot be had.
    void to_rgb();

    // Fills the rectangle, clipped to the image; a negative width or height extends it to the left
    // of x or above y.
    void fill_box(int x, int y, int w, int h, Couleur c);

    // Draws the whole of source with its top-left corner at (x, y), clipped to this image. A 32-bit
    // source is composed over this image by its alpha; the pixels written stay opaque.
    void draw(const Image& source, int x, int y);

    // A copy of the rectangle at (x, y) of w x h; same pixel depth, layout, file depth and
    // resolution. The rectangle is clipped to the image; an empty intersection gives an empty
    // image.
    Image grab(int x, int y, int w, int h) const;

    // Keeps only the rectangle at (x, y) of w x h, clipped to the image, moving its rows to the
    // front of the buffer: the same result as grab() without a second page in memory.
    void crop_in_place(int x, int y, int w, int h);

  private:
    int width_ = 0;
    int height_ = 0;
    int channels_ = 3;
    int file_depth_ = 24;
    std::optional<Resolution> resolution_;
    std::shared_ptr<const Palette> palette_;
    PixelBuffer pixels_;
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
