#include "ops/cleaning/cleaning.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "ops/cleaning/cleaning_constants.h"

namespace vellumor {
namespace {

// One bit per pixel, set for ink. Each row has a zero word on either side and there is a zero row
// above and below the page, so neighbour reads never need a bounds check.
class InkMask {
  public:
    explicit InkMask(const Image& page)
        : width_(page.width()),
          height_(page.height()),
          words_((width_ + 63) / 64),
          stride_(words_ + 2),
          bits_(std::size_t(height_ + 2) * stride_, 0),
          ink_bytes_(std::size_t(words_) * 64, 0) {
        for (int y = 0; y < height_; ++y) fill_row(page, y);
    }

    int words() const { return words_; }
    // Words -1 to words() of row y, for y from -1 to the page height.
    std::uint64_t* row(int y) { return bits_.data() + std::size_t(y + 1) * stride_ + 1; }
    bool ink(int x, int y) { return (row(y)[x >> 6] >> (x & 63)) & 1; }
    void clear(int x, int y) { row(y)[x >> 6] &= ~(std::uint64_t{1} << (x & 63)); }

  private:
    void fill_row(const Image& page, int y) {
        const int channels = page.channels();
        const std::uint8_t* p = page.row(y);
        // One byte a pixel first, in loops simple enough to run on vector units, then packed.
        if (channels == 1 && !page.palette()) {
            for (int x = 0; x < width_; ++x) ink_bytes_[x] = p[x] != 0xFF;
        } else if (channels == 1) {
            for (int x = 0; x < width_; ++x) ink_bytes_[x] = page.colour_of(p[x]) != kWhite;
        } else {
            for (int x = 0; x < width_; ++x, p += channels)
                ink_bytes_[x] = (p[0] & p[1] & p[2]) != 0xFF;
        }
        std::uint64_t* out = row(y);
        for (int k = 0; k < words_; ++k) {
            std::uint64_t word = 0;
            for (int g = 0; g < 8; ++g) {
                std::uint64_t eight;
                std::memcpy(&eight, ink_bytes_.data() + k * 64 + g * 8, 8);
                // Gathers the low bit of each of the eight bytes into one byte, byte i to bit i.
                word |= ((eight * 0x0102040810204080) >> 56) << (g * 8);
            }
            out[k] = word;
        }
    }

    int width_;
    int height_;
    int words_;
    int stride_;
    std::vector<std::uint64_t> bits_;
    std::vector<std::uint8_t> ink_bytes_;  // one row, padded to whole words with white
};

// Bit i of the result is the bit of pixel 64 k + i + d of the row, for d from -63 to 63.
inline std::uint64_t shifted(const std::uint64_t* row, int k, int d) {
    if (d == 0) return row[k];
    if (d > 0) return (row[k] >> d) | (row[k + 1] << (64 - d));
    return (row[k] << -d) | (row[k - 1] >> (64 + d));
}

std::uint64_t above(int bit) {
    return bit == 63 ? 0 : ~std::uint64_t{0} << (bit + 1);
}

// Bits of the anchors from first to last (inclusive) that fall in word k.
std::uint64_t range_bits(int k, int first, int last) {
    const int lo = std::max(first - k * 64, 0);
    const int hi = std::min(last - k * 64, 63);
    if (lo > hi) return 0;
    const std::uint64_t upto = hi == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (hi + 1)) - 1;
    return upto & (~std::uint64_t{0} << lo);
}

// Where a pattern's anchors lie and when it runs at all.
struct Range {
    int x_first;
    int x_last_from_width;  // the last anchor column is W - this
    int y_first;
    int y_last_from_height;
    int min_width;  // runs only when W > min_width and H > min_height
    int min_height;
};

class Cleaner {
  public:
    explicit Cleaner(Image& page) : page_(page), mask_(page) {}

    std::size_t whitened() const { return whitened_; }

    // An ink pixel whose neighbours inside the page are all white. Whitening one never changes
    // whether another ink pixel is isolated (it has no ink neighbour), so a whole word of anchors
    // can be settled at once.
    void remove_isolated_pixels() {
        for (int y = 0; y < page_.height(); ++y) {
            std::uint64_t* cur = mask_.row(y);
            const std::uint64_t* up = mask_.row(y - 1);
            const std::uint64_t* down = mask_.row(y + 1);
            for (int k = 0; k < mask_.words(); ++k) {
                if (cur[k] == 0) continue;
                std::uint64_t neighbours = shifted(cur, k, -1) | shifted(cur, k, 1);
                for (int d = -1; d <= 1; ++d) neighbours |= shifted(up, k, d) | shifted(down, k, d);
                std::uint64_t isolated = cur[k] & ~neighbours;
                cur[k] &= ~isolated;
                for (; isolated != 0; isolated &= isolated - 1) {
                    page_.set_pixel(k * 64 + std::countr_zero(isolated), y, kWhite);
                    ++whitened_;
                }
            }
        }
    }

    // One pattern over its anchors: at each, the vertical block of VW columns and VH rows, then
    // the horizontal block HW x HH when the pattern has a second shape.
    template <int VW, int VH, int HW, int HH>
    void run(const Range& r) {
        const int width = page_.width(), height = page_.height();
        if (width <= r.min_width || height <= r.min_height) return;
        const int x_last = width - r.x_last_from_width;
        const int y_last = height - r.y_last_from_height;
        for (int y = r.y_first; y <= y_last; ++y)
            for (int k = r.x_first / 64; k <= x_last / 64; ++k)
                run_word<VW, VH, HW, HH>(y, k, range_bits(k, r.x_first, x_last));
    }

  private:
    // Anchors of word k in row y where the block holds ink and its ring is all white: the only
    // anchors where applying the block changes anything.
    template <int W, int H>
    std::uint64_t candidates(int y, int k) {
        std::array<std::uint64_t, 3> band{};
        for (int r = y; r < y + H; ++r) {
            const std::uint64_t* row = mask_.row(r);
            band[0] |= row[k - 1];
            band[1] |= row[k];
            band[2] |= row[k + 1];
        }
        const std::uint64_t* mid = band.data() + 1;
        std::uint64_t block = 0;
        for (int d = 0; d < W; ++d) block |= shifted(mid, 0, d);
        if (block == 0) return 0;
        std::uint64_t ring = shifted(mid, 0, -1) | shifted(mid, 0, W);
        const std::uint64_t* top = mask_.row(y - 1);
        const std::uint64_t* bottom = mask_.row(y + H);
        for (int d = -1; d <= W; ++d) ring |= shifted(top, k, d) | shifted(bottom, k, d);
        return block & ~ring;
    }

    template <int VW, int VH, int HW, int HH>
    std::uint64_t candidates(int y, int k) {
        std::uint64_t c = candidates<VW, VH>(y, k);
        if constexpr (VW != HW) c |= candidates<HW, HH>(y, k);
        return c;
    }

    template <int VW, int VH, int HW, int HH>
    void run_word(int y, int k, std::uint64_t anchors) {
        std::uint64_t pending = candidates<VW, VH, HW, HH>(y, k) & anchors;
        while (pending != 0) {
            const int bit = std::countr_zero(pending);
            const int x = k * 64 + bit;
            bool changed = apply<VW, VH>(x, y);
            if constexpr (VW != HW) changed |= apply<HW, HH>(x, y);
            // A whitening can free the rings of the next anchors of this word.
            if (changed) pending = candidates<VW, VH, HW, HH>(y, k) & anchors;
            pending &= above(bit);
        }
    }

    // The block of W columns and H rows at (x, y) turns white when its ring is all white; true
    // when that changed a pixel.
    template <int W, int H>
    bool apply(int x, int y) {
        for (int c = x - 1; c <= x + W; ++c)
            if (mask_.ink(c, y - 1) || mask_.ink(c, y + H)) return false;
        for (int r = y; r < y + H; ++r)
            if (mask_.ink(x - 1, r) || mask_.ink(x + W, r)) return false;
        bool changed = false;
        for (int r = y; r < y + H; ++r)
            for (int c = x; c < x + W; ++c)
                if (mask_.ink(c, r)) {
                    mask_.clear(c, r);
                    page_.set_pixel(c, r, kWhite);
                    ++whitened_;
                    changed = true;
                }
        return changed;
    }

    Image& page_;
    InkMask mask_;
    std::size_t whitened_ = 0;
};

void make_opaque(Image& page) {
    for (int y = 0; y < page.height(); ++y) {
        std::uint8_t* p = page.row(y);
        for (int x = 0; x < page.width(); ++x) p[x * 4 + 3] = 0xFF;
    }
}

}  // namespace

std::size_t nettoyer(Image& page, std::uint32_t masque) {
    if (page.empty()) return 0;
    masque &= cleaning::kPatternBits;
    if (masque == 0) {
        if (page.has_alpha()) make_opaque(page);
        return 0;
    }
    Cleaner c(page);
    // Anchors x from x_first to W - x_last_from_width, y likewise; runs when W and H exceed the
    // last two numbers.
    if (masque & cleaning::kIsolatedPixel) c.remove_isolated_pixels();
    if (masque & cleaning::kLineOf2) c.run<1, 2, 2, 1>({5, 3, 5, 3, 7, 7});
    if (masque & cleaning::kLineOf3) c.run<1, 3, 3, 1>({1, 4, 1, 5, 4, 5});
    if (masque & cleaning::kSquareOf4) c.run<2, 2, 2, 2>({1, 4, 1, 4, 4, 4});
    if (masque & cleaning::kTwoLinesOf3) c.run<2, 3, 3, 2>({1, 4, 1, 4, 4, 4});
    if (masque & cleaning::kTwoLinesOf4) c.run<2, 4, 4, 2>({1, 6, 1, 6, 6, 6});
    if (masque & cleaning::kSquareOf9) c.run<3, 3, 3, 3>({1, 5, 1, 5, 5, 5});
    if (page.has_alpha()) make_opaque(page);
    return c.whitened();
}

}  // namespace vellumor
