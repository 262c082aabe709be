#include "batch/png_io_palette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "batch/png_io.h"

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
    if (image.channels() != 3) buffer_.resize(std::size_t(image.width()) * 3);
}

const std::uint8_t* OpaqueRows::row(int y) {
    if (image_.channels() == 3) return image_.row(y);
    if (image_.has_alpha()) {
        compose_over_white(image_.row(y), image_.width(), buffer_.data());
    } else {
        const std::uint8_t* s = image_.row(y);
        for (int x = 0; x < image_.width(); ++x) std::memset(buffer_.data() + 3 * x, s[x], 3);
    }
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

std::vector<Couleur> byte_image_colours(const Image& image) {
    std::array<std::uint8_t, 256> seen{};
    const std::uint8_t* px = image.data();
    for (std::size_t i = 0, n = image.byte_size(); i < n; ++i) seen[px[i]] = 1;
    std::vector<Couleur> colours;
    for (int v = 0; v < 256; ++v)
        if (seen[std::size_t(v)]) colours.push_back(image.colour_of(std::uint8_t(v)));
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    return colours;
}

IndexedPalette byte_palette(
    const Image& image, int depth, const std::function<std::vector<Couleur>(int entries)>& learn,
    const std::function<std::function<std::uint8_t(Couleur)>(const std::vector<Couleur>&)>&
        nearest) {
    IndexedPalette p;
    if (depth == 1) {
        p = black_and_white_palette();
        for (int v = 0; v < 256; ++v) {
            const Couleur c = image.colour_of(std::uint8_t(v));
            p.byte_index[std::size_t(v)] =
                2126u * rouge(c) + 7152u * vert(c) + 722u * bleu(c) > 1600000u;
        }
        return p;
    }
    std::vector<Couleur> colours = png_detail::byte_image_colours(image);
    std::function<std::uint8_t(Couleur)> index_of;
    if (colours.size() <= (std::size_t(1) << depth)) {
        index_of = [&colours](Couleur c) {
            return std::uint8_t(std::lower_bound(colours.begin(), colours.end(), c) -
                                colours.begin());
        };
    } else {
        colours = learn(1 << depth);
        index_of = nearest(colours);
    }
    // Byte values no pixel has get an entry too; it is never written.
    for (int v = 0; v < 256; ++v)
        p.byte_index[std::size_t(v)] = index_of(image.colour_of(std::uint8_t(v)));
    p.colours = std::move(colours);
    return p;
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

namespace vellumor {

namespace {

bool opaque(const Image& image) {
    if (!image.has_alpha()) return true;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* p = image.row(y) + 3;
        for (int x = 0; x < image.width(); ++x, p += 4)
            if (*p != 0xFF) return false;
    }
    return true;
}

// The distinct colours of the image when there are at most max_colours of them.
std::optional<std::vector<Couleur>> colours_of(const Image& image, std::size_t max_colours) {
    if (!image.is_grey()) {
        png_detail::OpaqueRows rows(image);
        return png_detail::distinct_colours(rows, max_colours);
    }
    std::vector<Couleur> colours = png_detail::byte_image_colours(image);
    if (colours.size() > max_colours) return std::nullopt;
    return colours;
}

}  // namespace

bool save_keeps_pixels(const Image& image, int depth) {
    if (depth == 0) depth = image.file_depth();
    if (depth == 32) return true;
    if (!opaque(image)) return false;
    if (depth == 24) return true;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8) return false;
    const auto colours = colours_of(image, std::size_t(1) << depth);
    if (!colours) return false;
    if (depth > 1) return true;
    return std::all_of(colours->begin(), colours->end(),
                       [](Couleur c) { return c == kBlack || c == kWhite; });
}

}  // namespace vellumor
