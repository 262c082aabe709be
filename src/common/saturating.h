#pragma once

#include <cstdint>
#include <limits>

namespace vellumor {

// Sums and products of numbers taken from file names, held at the bounds of std::int64_t instead
// of overflowing: a name of twenty digits gives the largest number, never a wrapped one.
inline std::int64_t somme_saturee(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_add_overflow(a, b, &r)) return r;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

inline std::int64_t produit_sature(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_mul_overflow(a, b, &r)) return r;
    return (a < 0) != (b < 0) ? std::numeric_limits<std::int64_t>::min()
                              : std::numeric_limits<std::int64_t>::max();
}

}  // namespace vellumor
