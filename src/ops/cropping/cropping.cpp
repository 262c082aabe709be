#include "ops/cropping/cropping.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vellumor {
namespace {

bool is_ink(const Image& page, const std::uint8_t* row, int x) {
    const int channels = page.channels();
    if (channels == 1) return page.colour_of(row[x]) != kWhite;
    const std::uint8_t* p = row + std::size_t(x) * channels;
    return (p[0] & p[1] & p[2]) != 0xFF;
}

// Whether the n bytes from p are all 0xFF (white, whatever the layout), eight at a time.
bool all_white(const std::uint8_t* p, std::size_t n) {
    std::uint64_t all = ~std::uint64_t{0};
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        all &= w;
    }
    for (; i < n; ++i) all &= 0xFFFFFFFFFFFFFF00u | p[i];
    return all == ~std::uint64_t{0};
}

// First x in [from, to) whose pixel is ink, or to.
int first_ink(const Image& page, int y, int from, int to) {
    const int channels = page.channels();
    const std::uint8_t* row = page.row(y);
    int x = from;
    if (channels != 4 && !page.palette()) {
        // White stretches, the common case, are settled 32 pixels at a time.
        for (; x + 32 <= to; x += 32)
            if (!all_white(row + std::size_t(x) * channels, std::size_t(32) * channels)) break;
    }
    for (; x < to; ++x)
        if (is_ink(page, row, x)) return x;
    return to;
}

// Last x in [from, to) whose pixel is ink, or from - 1.
int last_ink(const Image& page, int y, int from, int to) {
    const int channels = page.channels();
    const std::uint8_t* row = page.row(y);
    int x = to;
    if (channels != 4 && !page.palette()) {
        for (; x - 32 >= from; x -= 32)
            if (!all_white(row + std::size_t(x - 32) * channels, std::size_t(32) * channels)) break;
    }
    for (--x; x >= from; --x)
        if (is_ink(page, row, x)) return x;
    return from - 1;
}

bool row_has_ink(const Image& page, int y) {
    return first_ink(page, y, 0, page.width()) < page.width();
}

}  // namespace

Detection detecter_marges(const Image& page) {
    Detection d;
    const int w = page.width(), h = page.height();
    if (page.empty()) return d;
    int top = 0;
    while (top < h && !row_has_ink(page, top)) ++top;
    if (top == h) return d;
    int bottom_row = h - 1;
    while (!row_has_ink(page, bottom_row)) --bottom_row;
    // The leftmost and rightmost ink of the inked rows; each row is read only outside what the
    // rows before it already reached.
    int left = w, right = -1;
    for (int y = top; y <= bottom_row; ++y) {
        if (left > 0) left = first_ink(page, y, 0, left);
        if (right < w - 1) right = std::max(right, last_ink(page, y, std::max(right + 1, 0), w));
    }
    d.marges = {top, (h - 1) - bottom_row, left, (w - 1) - right};
    d.rectangle = {left, top, right - left + 1, bottom_row - top + 1};
    d.issue = d.marges == Marges{} ? IssueDetourage::SansMarge : IssueDetourage::Detouree;
    return d;
}

PageDetouree detourer(const Image& page) {
    PageDetouree out{detecter_marges(page), {}};
    if (out.detection.issue == IssueDetourage::Detouree) {
        const RectangleEncre& r = out.detection.rectangle;
        out.image = page.grab(r.x, r.y, r.largeur, r.hauteur);
    }
    return out;
}

}  // namespace vellumor
