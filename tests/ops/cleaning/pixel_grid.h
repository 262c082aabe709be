#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "batch/image.h"

namespace vellumor::testing {

using Rows = std::vector<std::string>;

inline constexpr Couleur kGrey = 0x808080;
inline constexpr Couleur kNearWhite = 0xFEFEFE;     // red, green and blue 254
inline constexpr Couleur kOffWhiteRed = 0xFFFFFE;   // one step off white in red only
inline constexpr Couleur kOffWhiteBlue = 0xFEFFFF;  // one step off white in blue only

struct Ink {
    char c;
    Couleur colour;
};

// '.' white, '#' black, 'g' grey, 'n' near-white, 'p' and 'q' one step off white in red and in
// blue, 'r' red, 'b' pure blue.
inline constexpr Ink kInks[] = {{'.', kWhite},     {'#', kBlack},       {'g', kGrey},
                                {'n', kNearWhite}, {'p', kOffWhiteRed}, {'q', kOffWhiteBlue},
                                {'r', 0x0000FF},   {'b', 0xFF0000}};

inline Couleur colour_of(char c) {
    for (const Ink& ink : kInks)
        if (ink.c == c) return ink.colour;
    return 0x123456;
}

// '?' for a colour of no letter.
inline char char_of(Couleur colour) {
    for (const Ink& ink : kInks)
        if (ink.colour == colour) return ink.c;
    return '?';
}

// A page drawn by rows of equal length; at depth 32 every pixel gets the given alpha.
inline Image page_from(const Rows& rows, int depth = 24, std::uint8_t alpha = 0xFF) {
    Image page = *Image::create(int(rows[0].size()), int(rows.size()), depth, kWhite);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            page.set_pixel(x, y, colour_of(rows[y][x]));
            if (page.has_alpha()) page.row(y)[x * 4 + 3] = alpha;
        }
    return page;
}

inline Rows rows_of(const Image& page) {
    Rows rows(page.height(), std::string(page.width(), ' '));
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) rows[y][x] = char_of(page.pixel(x, y));
    return rows;
}

}  // namespace vellumor::testing
