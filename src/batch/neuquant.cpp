#include "batch/neuquant.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace vellumor {
namespace {

constexpr double kGamma = 1.8;

// Learning schedule of the network. Neuron colours are held as floats in linear light scaled to
// 0..255: the fixed-point steps of the original would stall in the dark end, where linear light
// crowds many 8-bit values into a few units.
constexpr int kCycles = 100;
constexpr float kBeta = 1.0f / 1024;  // how fast a winner's frequency grows
constexpr float kBiasGain = 1024;     // gamma of the frequency bias
constexpr int kRadiusBiasShift = 6;
constexpr int kRadiusBias = 1 << kRadiusBiasShift;
constexpr int kRadiusDecrease = 30;
constexpr double kInitAlpha = 1.0;
// Steps through the pixels; one of them does not divide the pixel count.
constexpr std::array<std::size_t, 4> kPrimes = {499, 491, 487, 503};

// Linear light of each 8-bit value, at the network's scale and, finer, for the nearest search.
struct GammaTables {
    std::array<float, 256> learn{};
    std::array<int, 256> search{};
    GammaTables() {
        for (int v = 0; v < 256; ++v) {
            const double linear = std::pow(v / 255.0, kGamma);
            learn[v] = float(255 * linear);
            search[v] = int(std::lround(65535 * linear));
        }
    }
};
const GammaTables& gamma_tables() {
    static const GammaTables tables;
    return tables;
}

std::uint8_t encoded(double network_value) {
    const double linear = std::clamp(network_value / 255, 0.0, 1.0);
    return std::uint8_t(std::lround(255 * std::pow(linear, 1 / kGamma)));
}

Couleur opaque_colour(const std::uint8_t* p, int channels) {
    if (channels == 1) return Couleur(p[0]) * 0x010101u;
    if (channels == 3) return couleur(p[0], p[1], p[2]);
    const unsigned a = p[3];
    auto over_white = [a](unsigned v) {
        return std::uint8_t((v * a + 255 * (255 - a) + 127) / 255);
    };
    return couleur(over_white(p[0]), over_white(p[1]), over_white(p[2]));
}

class Network {
  public:
    // Neurons past size stay far from every colour and never win; the contest loops run over
    // all kMax of them, a fixed count the compiler turns into vector code.
    static constexpr int kMax = 256;

    explicit Network(int size) : n_(size) {
        r_.fill(1e6f), g_.fill(1e6f), b_.fill(1e6f);
        for (int i = 0; i < n_; ++i) {
            r_[i] = g_[i] = b_[i] = 256.0f * i / n_;
            freq_[i] = 1.0f / n_;
        }
    }

    // The neuron that wins pixel (r, g, b): nearest once its bias is counted, which keeps rarely
    // winning neurons in play; frequencies and biases learn from the contest.
    int contest(float r, float g, float b) {
        alignas(64) std::array<float, kMax> dist, biased;
        for (int i = 0; i < kMax; ++i) {
            dist[i] = std::abs(r_[i] - r) + std::abs(g_[i] - g) + std::abs(b_[i] - b);
            biased[i] = dist[i] - bias_[i];
            const float betafreq = freq_[i] * kBeta;
            freq_[i] -= betafreq;
            bias_[i] += betafreq * kBiasGain;
        }
        const int best = first_minimum(dist), best_biased = first_minimum(biased);
        freq_[best] += kBeta;
        bias_[best] -= kBeta * kBiasGain;
        return best_biased;
    }

    // The index of the first smallest of the first n_ values, found in four interleaved lanes so
    // that the comparisons do not wait on each other; neurons past n_ never win, so the lanes may
    // run over them.
    int first_minimum(const std::array<float, kMax>& values) const {
        float lane_value[4];
        int lane_index[4];
        for (int k = 0; k < 4; ++k) lane_value[k] = values[k], lane_index[k] = k;
        const int end = (n_ + 3) & ~3;
        for (int i = 4; i < end; i += 4)
            for (int k = 0; k < 4; ++k)
                if (values[i + k] < lane_value[k])
                    lane_value[k] = values[i + k], lane_index[k] = i + k;
        int best = lane_index[0];
        for (int k = 1; k < 4; ++k)
            if (lane_value[k] < values[best] ||
                (lane_value[k] == values[best] && lane_index[k] < best))
                best = lane_index[k];
        return best;
    }

    void move_towards(int i, float alpha, float r, float g, float b) {
        r_[i] -= alpha * (r_[i] - r);
        g_[i] -= alpha * (g_[i] - g);
        b_[i] -= alpha * (b_[i] - b);
    }

    // Moves the neighbours of neuron i within rad, less the farther they are.
    void move_neighbours(int i, int rad, const std::vector<float>& radpower, float r, float g,
                         float b) {
        const int lo = std::max(i - rad, -1), hi = std::min(i + rad, n_);
        int up = i + 1, down = i - 1, m = 1;
        while (up < hi || down > lo) {
            const float a = radpower[m++];
            if (up < hi) move_towards(up++, a, r, g, b);
            if (down > lo) move_towards(down--, a, r, g, b);
        }
    }

    std::vector<Couleur> palette() const {
        std::vector<Couleur> out;
        for (int i = 0; i < n_; ++i)
            out.push_back(couleur(encoded(r_[i]), encoded(g_[i]), encoded(b_[i])));
        return out;
    }

  private:
    int n_;
    alignas(64) std::array<float, kMax> r_{}, g_{}, b_{}, freq_{}, bias_{};
};

void set_radpower(std::vector<float>& radpower, int rad, double alpha) {
    for (int j = 0; j < rad; ++j) radpower[j] = float(alpha * (rad * rad - j * j) / (rad * rad));
}

std::size_t step_for(std::size_t pixels) {
    for (std::size_t p : kPrimes)
        if (pixels % p != 0) return p;
    return kPrimes[0] + 2;  // 501 = 3 x 167: reached only by multiples of all four primes
}

void make_white_exact(std::vector<Couleur>& palette) {
    const auto& lin = gamma_tables().search;
    auto distance_to_white = [&](Couleur c) {
        return 3 * 65535 - lin[rouge(c)] - lin[vert(c)] - lin[bleu(c)];
    };
    auto nearest = std::min_element(palette.begin(), palette.end(), [&](Couleur a, Couleur b) {
        return distance_to_white(a) < distance_to_white(b);
    });
    *nearest = kWhite;
}

}  // namespace

int neuquant_sampling_factor(std::size_t pixels) {
    return int(std::min<std::size_t>(pixels / 262144 + 1, 10));
}

std::vector<Couleur> neuquant_palette(const Image& image, int colours, int sampling_factor) {
    colours = std::clamp(colours, 2, 256);
    sampling_factor = std::clamp(sampling_factor, 1, 30);
    const auto& lin = gamma_tables().learn;
    Network net(colours);

    const std::size_t pixels = std::size_t(image.width()) * image.height();
    const std::size_t samples = std::max<std::size_t>(pixels / sampling_factor, 1);
    const std::size_t delta = std::max<std::size_t>(samples / kCycles, 1);
    const std::size_t step = step_for(pixels);
    const int alpha_decrease = 30 + (sampling_factor - 1) / 3;
    double alpha = kInitAlpha;
    int radius = (colours >> 3) * kRadiusBias;
    int rad = radius >> kRadiusBiasShift;
    if (rad <= 1) rad = 0;
    std::vector<float> radpower(std::size_t(colours >> 3) + 1, 0);
    set_radpower(radpower, rad, alpha);

    bool saw_white = false;
    const int channels = image.channels();
    std::size_t pos = 0;
    for (std::size_t i = 1; i <= samples; ++i) {
        const int y = int(pos / image.width()), x = int(pos % image.width());
        const Couleur c = opaque_colour(image.row(y) + std::size_t(x) * channels, channels);
        saw_white |= c == kWhite;
        const float r = lin[rouge(c)], g = lin[vert(c)], b = lin[bleu(c)];
        const int j = net.contest(r, g, b);
        net.move_towards(j, float(alpha), r, g, b);
        if (rad) net.move_neighbours(j, rad, radpower, r, g, b);
        pos = (pos + step) % pixels;
        if (i % delta == 0) {
            alpha -= alpha / alpha_decrease;
            radius -= radius / kRadiusDecrease;
            rad = radius >> kRadiusBiasShift;
            if (rad <= 1) rad = 0;
            set_radpower(radpower, rad, alpha);
        }
    }
    std::vector<Couleur> palette = net.palette();
    if (saw_white) make_white_exact(palette);
    return palette;
}

NearestEntry::NearestEntry(const std::vector<Couleur>& palette)
    : first_with_green_(257, 0), cache_keys_(1 << 16, 0xFFFFFFFF), cache_values_(1 << 16, 0) {
    const auto& lin = gamma_tables().search;
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i)
        entries_.push_back({lin[rouge(palette[i])], lin[vert(palette[i])], lin[bleu(palette[i])],
                            std::uint8_t(i)});
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.g < b.g; });
    // first_with_green_[k]: the first entry whose green is at least k / 256 of the scale.
    std::size_t e = 0;
    for (int k = 0; k <= 256; ++k) {
        while (e < entries_.size() && entries_[e].g < k * 256) ++e;
        first_with_green_[k] = int(e);
    }
}

std::uint8_t NearestEntry::search(Couleur c) const {
    const auto& lin = gamma_tables().search;
    const int r = lin[rouge(c)], g = lin[vert(c)], b = lin[bleu(c)];
    const int count = int(entries_.size());
    int up = std::min(first_with_green_[g >> 8], count - 1), down = up - 1;
    int best_distance = INT_MAX;
    std::uint8_t best = entries_[up].index;
    // Entries are in increasing green: once the green gap alone is no better, stop that way.
    while (up < count || down >= 0) {
        if (up < count) {
            const Entry& e = entries_[up];
            const int d = e.g - g;
            if (d >= best_distance) {
                up = count;
            } else {
                ++up;
                const int total = std::abs(d) + std::abs(e.r - r) + std::abs(e.b - b);
                if (total < best_distance) best_distance = total, best = e.index;
            }
        }
        if (down >= 0) {
            const Entry& e = entries_[down];
            const int d = g - e.g;
            if (d >= best_distance) {
                down = -1;
            } else {
                --down;
                const int total = std::abs(d) + std::abs(e.r - r) + std::abs(e.b - b);
                if (total < best_distance) best_distance = total, best = e.index;
            }
        }
    }
    return best;
}

std::uint8_t NearestEntry::index_of(Couleur c) {
    const std::size_t slot = (c * 0x9E3779B1u) >> 16;
    if (cache_keys_[slot] != c) {
        cache_keys_[slot] = c;
        cache_values_[slot] = search(c);
    }
    return cache_values_[slot];
}

}  // namespace vellumor
