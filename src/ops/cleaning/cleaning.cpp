#include "ops/cleaning/cleaning.h"

#include <algorithm>
#include <array>
#include <bit>
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
          bits_(std::size_t(height_ + 2) * stride_, 0) {
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
        const std::uint8_t* pixels = page.row(y);
        std::uint64_t* out = row(y);
        for (int k = 0; k < words_; ++k) {
            const int first = k * 64;
            const int count = std::min(64, width_ - first);
            const std::uint8_t* p = pixels + std::size_t(first) * channels;
            if (channels == 3) {
                // Most of a page is white: settle 64 white pixels with one pass over their bytes.
                std::uint8_t all = 0xFF;
                for (int i = 0; i < count * 3; ++i) all &= p[i];
                if (all == 0xFF) continue;
            }
            std::uint64_t word = 0;
            for (int i = 0; i < count; ++i, p += channels)
                word |= std::uint64_t((p[0] & p[1] & p[2]) != 0xFF) << i;
            out[k] = word;
        }
    }

    int width_;
    int height_;
    int words_;
    int stride_;
    std::vector<std::uint64_t> bits_;
};

// Bit i of the result is the bit of pixel 64 k + i + d of the row, for d from -63 to 63.
std::uint64_t shifted(const std::uint64_t* row, int k, int d) {
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

struct Block {
    int w;  // columns
    int h;  // rows
};

struct Pattern {
    std::uint32_t bit;
    std::array<Block, 2> blocks;  // tested in this order at each anchor
    int block_count;
    int x_first;
    int x_last_from_width;  // last anchor column is W - this
    int y_first;
    int y_last_from_height;
    int min_width;  // runs only when W > min_width and H > min_height
    int min_height;
};

// Patterns 2 to 7; the isolated pixel has its own pass.
constexpr std::array<Pattern, 6> kBlockPatterns{{
    {cleaning::kLineOf2, {{{1, 2}, {2, 1}}}, 2, 5, 3, 5, 3, 7, 7},
    {cleaning::kLineOf3, {{{1, 3}, {3, 1}}}, 2, 1, 4, 1, 5, 4, 5},
    {cleaning::kSquareOf4, {{{2, 2}, {2, 2}}}, 1, 1, 4, 1, 4, 4, 4},
    {cleaning::kTwoLinesOf3, {{{2, 3}, {3, 2}}}, 2, 1, 4, 1, 4, 4, 4},
    {cleaning::kTwoLinesOf4, {{{2, 4}, {4, 2}}}, 2, 1, 6, 1, 6, 6, 6},
    {cleaning::kSquareOf9, {{{3, 3}, {3, 3}}}, 1, 1, 5, 1, 5, 5, 5},
}};

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

    void run(const Pattern& p) {
        const int width = page_.width(), height = page_.height();
        if (width <= p.min_width || height <= p.min_height) return;
        const int x_last = width - p.x_last_from_width;
        const int y_last = height - p.y_last_from_height;
        for (int y = p.y_first; y <= y_last; ++y)
            for (int k = p.x_first / 64; k <= x_last / 64; ++k) run_word(p, y, k, x_last);
    }

  private:
    // Anchors of word k in row y where the block holds ink and its ring is all white: the only
    // anchors where applying the block changes anything.
    std::uint64_t candidates(const Block& b, int y, int k) {
        std::array<std::uint64_t, 3> band{};
        for (int r = y; r < y + b.h; ++r) {
            const std::uint64_t* row = mask_.row(r);
            band[0] |= row[k - 1];
            band[1] |= row[k];
            band[2] |= row[k + 1];
        }
        const std::uint64_t* mid = band.data() + 1;
        std::uint64_t block = 0;
        for (int d = 0; d < b.w; ++d) block |= shifted(mid, 0, d);
        if (block == 0) return 0;
        std::uint64_t ring = shifted(mid, 0, -1) | shifted(mid, 0, b.w);
        const std::uint64_t* top = mask_.row(y - 1);
        const std::uint64_t* bottom = mask_.row(y + b.h);
        for (int d = -1; d <= b.w; ++d) ring |= shifted(top, k, d) | shifted(bottom, k, d);
        return block & ~ring;
    }

    std::uint64_t candidates(const Pattern& p, int y, int k, int x_last) {
        std::uint64_t c = 0;
        for (int i = 0; i < p.block_count; ++i) c |= candidates(p.blocks[i], y, k);
        return c & range_bits(k, p.x_first, x_last);
    }

    void run_word(const Pattern& p, int y, int k, int x_last) {
        std::uint64_t pending = candidates(p, y, k, x_last);
        while (pending != 0) {
            const int bit = std::countr_zero(pending);
            const int x = k * 64 + bit;
            bool changed = false;
            for (int i = 0; i < p.block_count; ++i)
                if (ring_white(p.blocks[i], x, y)) changed |= whiten(p.blocks[i], x, y);
            // A whitening can free the rings of the next anchors of this word.
            pending = (changed ? candidates(p, y, k, x_last) : pending) & above(bit);
        }
    }

    bool ring_white(const Block& b, int x, int y) {
        for (int c = x - 1; c <= x + b.w; ++c)
            if (mask_.ink(c, y - 1) || mask_.ink(c, y + b.h)) return false;
        for (int r = y; r < y + b.h; ++r)
            if (mask_.ink(x - 1, r) || mask_.ink(x + b.w, r)) return false;
        return true;
    }

    bool whiten(const Block& b, int x, int y) {
        bool changed = false;
        for (int r = y; r < y + b.h; ++r)
            for (int c = x; c < x + b.w; ++c)
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
    Cleaner cleaner(page);
    if (masque & cleaning::kIsolatedPixel) cleaner.remove_isolated_pixels();
    for (const Pattern& p : kBlockPatterns)
        if (masque & p.bit) cleaner.run(p);
    if (page.has_alpha()) make_opaque(page);
    return cleaner.whitened();
}

}  // namespace vellumor
