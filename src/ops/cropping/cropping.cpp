#include "ops/cropping/cropping.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vellumor {
namespace {

bool is_ink(const std::uint8_t* p) {
    return (p[0] & p[1] & p[2]) != 0xFF;
}

// First x in [from, to) whose pixel is ink, or to.
int first_ink(const Image& page, int y, int from, int to) {
    const int channels = page.channels();
    const std::uint8_t* row = page.row(y);
    int x = from;
    if (channels == 3) {
        // White stretches, the common case, are settled 32 pixels at a time.
        for (; x + 32 <= to; x += 32) {
            const std::uint8_t* p = row + std::size_t(x) * 3;
            std::uint8_t all = 0xFF;
            for (int i = 0; i < 96; ++i) all &= p[i];
            if (all != 0xFF) break;
        }
    }
    for (; x < to; ++x)
        if (is_ink(row + std::size_t(x) * channels)) return x;
    return to;
}

// Last x in [from, to) whose pixel is ink, or from - 1.
int last_ink(const Image& page, int y, int from, int to) {
    const int channels = page.channels();
    const std::uint8_t* row = page.row(y);
    int x = to;
    if (channels == 3) {
        for (; x - 32 >= from; x -= 32) {
            const std::uint8_t* p = row + std::size_t(x - 32) * 3;
            std::uint8_t all = 0xFF;
            for (int i = 0; i < 96; ++i) all &= p[i];
            if (all != 0xFF) break;
        }
    }
    for (--x; x >= from; --x)
        if (is_ink(row + std::size_t(x) * channels)) return x;
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
    d.rect = {left, top, right - left + 1, bottom_row - top + 1};
    d.outcome = d.marges == Marges{} ? CropOutcome::Uncut : CropOutcome::Cropped;
    return d;
}

CroppedPage detourer(const Image& page) {
    CroppedPage out{detecter_marges(page), {}};
    if (out.detection.outcome == CropOutcome::Cropped) {
        const CropRect& r = out.detection.rect;
        out.image = page.grab(r.x, r.y, r.width, r.height);
    }
    return out;
}

}  // namespace vellumor
