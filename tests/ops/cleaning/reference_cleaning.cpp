#include "ops/cleaning/reference_cleaning.h"

namespace vellumor::testing {
namespace {

class Array {
  public:
    explicit Array(const Image& page) : w_(page.width()), h_(page.height()) {
        for (int x = 0; x < w_; ++x)
            for (int y = 0; y < h_; ++y) a_.push_back(page.pixel(x, y));
    }
    std::uint64_t& at(int x, int y) { return a_[std::size_t(x) * h_ + y]; }
    bool white(int x, int y) { return at(x, y) == kWhite; }
    void write_back(Image& page) {
        for (int x = 0; x < w_; ++x)
            for (int y = 0; y < h_; ++y) page.set_pixel(x, y, Couleur(at(x, y)));
    }

    // Block of w columns and h rows at (x, y): whitened when every pixel around it is white.
    void test_block(int x, int y, int w, int h) {
        for (int c = x - 1; c <= x + w; ++c)
            if (!white(c, y - 1) || !white(c, y + h)) return;
        for (int r = y; r < y + h; ++r)
            if (!white(x - 1, r) || !white(x + w, r)) return;
        for (int r = y; r < y + h; ++r)
            for (int c = x; c < x + w; ++c) at(c, r) = kWhite;
    }

    void isolated_pixels() {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                if (white(x, y)) continue;
                bool alone = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if ((dx || dy) && nx >= 0 && ny >= 0 && nx < w_ && ny < h_ &&
                            !white(nx, ny))
                            alone = false;
                    }
                if (alone) at(x, y) = kWhite;
            }
    }

    // Anchors x from x0 to W - xe and y from y0 to H - ye; the vertical block, then the horizontal
    // one when it differs.
    void blocks(int x0, int xe, int y0, int ye, int vw, int vh, int hw, int hh) {
        for (int y = y0; y <= h_ - ye; ++y)
            for (int x = x0; x <= w_ - xe; ++x) {
                test_block(x, y, vw, vh);
                if (hw != vw) test_block(x, y, hw, hh);
            }
    }

    int w_, h_;

  private:
    std::vector<std::uint64_t> a_;
};

}  // namespace

void reference_nettoyer(Image& page, std::uint32_t masque) {
    if (page.empty()) return;
    Array a(page);
    const int W = a.w_, H = a.h_;
    if (masque & 1) a.isolated_pixels();
    if ((masque & 2) && W > 7 && H > 7) a.blocks(5, 3, 5, 3, 1, 2, 2, 1);
    if ((masque & 4) && W > 4 && H > 5) a.blocks(1, 4, 1, 5, 1, 3, 3, 1);
    if ((masque & 8) && W > 4 && H > 4) a.blocks(1, 4, 1, 4, 2, 2, 2, 2);
    if ((masque & 16) && W > 4 && H > 4) a.blocks(1, 4, 1, 4, 2, 3, 3, 2);
    if ((masque & 32) && W > 6 && H > 6) a.blocks(1, 6, 1, 6, 2, 4, 4, 2);
    if ((masque & 64) && W > 5 && H > 5) a.blocks(1, 5, 1, 5, 3, 3, 3, 3);
    a.write_back(page);
}

}  // namespace vellumor::testing
