#pragma once

#include <cstdint>
#include <vector>

#include "batch/image.h"

namespace vellumor {

// The sampling factor used for an image of that many pixels: one pixel in factor is learned from,
// factor = min(pixels / 262144 + 1, 10).
int neuquant_sampling_factor(std::size_t pixels);

// Learns a palette of `colours` entries (2 to 256) from the image with the NeuQuant self-organising
// network (Dekker, 1994), learning from one pixel in sampling_factor (1 to 30). Colours are learned
// in linear light, the pixels being taken as gamma 1.8. A 32-bit image is seen composed over
// white. When pure white is among the pixels learned from, one entry is exactly white, so that
// paper stays white. Entries may repeat.
std::vector<Couleur> neuquant_palette(const Image& image, int colours, int sampling_factor);

// Gives each colour the index of its nearest palette entry, measured in the same linear light;
// a colour of the palette maps to its own entry. palette: 1 to 256 entries.
class NearestEntry {
  public:
    explicit NearestEntry(const std::vector<Couleur>& palette);
    std::uint8_t index_of(Couleur c);

  private:
    struct Entry {
        int r, g, b;
        std::uint8_t index;
    };
    std::uint8_t search(Couleur c) const;

    std::vector<Entry> entries_;  // in increasing green
    std::vector<int> first_with_green_;
    std::vector<std::uint32_t> cache_keys_;
    std::vector<std::uint8_t> cache_values_;
};

}  // namespace vellumor
