#include "batch/png_io_palette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace vellumor::png_detail {
namespace {

Couleur colour_at(const std::uint8_t* p) {
    return couleur(p[0], p[1], p[2]);
}

// Open addressing over at most 256 colours, four times as many slots: the table stays in the L1
// cache and a lookup almost never probes twice.
class ColourTable {
  public:
    static constexpr std::size_t kSlots = 1024;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

    ColourTable() { keys_.fill(kEmpty); }

    // The slot of colour, inserting it when absent and when fewer than limit colours are held;
    // -1 when it is absent and the table is full.
    int find_or_insert(Couleur c, std::size_t limit) {
        std::size_t i = slot_of(c);
        while (keys_[i] != kEmpty) {
            if (keys_[i] == c) return int(i);
            i = (i + 1) & (kSlots - 1);
        }
        if (count_ >= limit) return -1;
        keys_[i] = c;
        ++count_;
        return int(i);
    }
    int find(Couleur c) const {
        std::size_t i = slot_of(c);
        while (keys_[i] != c && keys_[i] != kEmpty) i = (i + 1) & (kSlots - 1);
        return keys_[i] == c ? int(i) : -1;
    }
    void set_value(int slot, std::uint8_t v) { values_[std::size_t(slot)] = v; }
    std::uint8_t value(int slot) const { return values_[std::size_t(slot)]; }
    std::vector<Couleur> keys() const {
        std::vector<Couleur> out;
        for (Couleur k : keys_)
            if (k != kEmpty) out.push_back(k);
        return out;
    }

  private:
    static std::size_t slot_of(Couleur c) { return (c * 0x9E3779B1u) >> 22; }
    std::array<std::uint32_t, kSlots> keys_;
    std::array<std::uint8_t, kSlots> values_{};
    std::size_t count_ = 0;
};

}  // namespace

void compose_over_white(const std::uint8_t* rgba, int count, std::uint8_t* rgb) {
    for (int i = 0; i < count; ++i, rgba += 4, rgb += 3) {
        const unsigned a = rgba[3];
        for (int k = 0; k < 3; ++k)
            rgb[k] = std::uint8_t((rgba[k] * a + 255 * (255 - a) + 127) / 255);
    }
}

OpaqueRows::OpaqueRows(const Image& image) : image_(image) {
    if (image.has_alpha()) buffer_.resize(std::size_t(image.width()) * 3);
}

const std::uint8_t* OpaqueRows::row(int y) {
    if (!image_.has_alpha()) return image_.row(y);
    compose_over_white(image_.row(y), image_.width(), buffer_.data());
    return buffer_.data();
}

int run_length(const std::uint8_t* rgb, int remaining) {
    // Four pixels at a time against the first pixel repeated, then one at a time.
    std::uint8_t four[12];
    for (int k = 0; k < 4; ++k) std::memcpy(four + 3 * k, rgb, 3);
    int n = 1;
    const std::uint8_t* p = rgb + 3;
    while (n + 4 <= remaining && std::memcmp(p, four, 12) == 0) n += 4, p += 12;
    while (n < remaining && std::memcmp(p, rgb, 3) == 0) ++n, p += 3;
    return n;
}

IndexedPalette black_and_white_palette() {
    IndexedPalette p;
    p.colours = {kBlack, kWhite};
    p.map = [](const std::uint8_t* rgb, int count, std::uint8_t* out) {
        // 0.2126 R + 0.7152 G + 0.0722 B > 160, in exact integer arithmetic.
        map_runs(rgb, count, out, [](Couleur c) {
            return std::uint8_t(2126u * rouge(c) + 7152u * vert(c) + 722u * bleu(c) > 1600000u);
        });
    };
    return p;
}

std::optional<std::vector<Couleur>> distinct_colours(OpaqueRows& rows, std::size_t max_colours) {
    ColourTable table;
    for (int y = 0; y < rows.height(); ++y) {
        const std::uint8_t* p = rows.row(y);
        for (int x = 0; x < rows.width();) {
            if (table.find_or_insert(colour_at(p), max_colours) < 0) return std::nullopt;
            const int n = run_length(p, rows.width() - x);
            x += n;
            p += std::size_t(n) * 3;
        }
    }
    std::vector<Couleur> colours = table.keys();
    std::sort(colours.begin(), colours.end());
    return colours;
}

IndexedPalette exact_palette(std::vector<Couleur> colours) {
    auto table = std::make_shared<ColourTable>();
    for (std::size_t i = 0; i < colours.size(); ++i)
        table->set_value(table->find_or_insert(colours[i], 256), std::uint8_t(i));
    IndexedPalette p;
    p.colours = std::move(colours);
    p.map = [table](const std::uint8_t* rgb, int count, std::uint8_t* out) {
        map_runs(rgb, count, out, [&](Couleur c) {
            const int slot = table->find(c);
            return slot < 0 ? std::uint8_t(0) : table->value(slot);
        });
    };
    return p;
}

}  // namespace vellumor::png_detail
