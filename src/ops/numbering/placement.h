#pragma once

#include <cstdint>
#include <string>

#include "ops/numbering/parameters.h"

namespace vellumor::numbering {

struct Emplacement {
    int x = 0;
    int y = 0;
    bool operator==(const Emplacement&) const = default;
};

// Top-left corner of a w x h stamp on a W x H page. Side positions: W - w - X on pages whose file
// number is odd, X + B on even ones; centred positions: (W - w) x 0.5 whatever the file number.
// Bottom positions: H - h - Y; top: Y. Computed in doubles, rounded to nearest, halves to even.
// A stamp larger than the page gives negative coordinates (the paste clips it).
Emplacement placer_tampon(PositionNumero position, std::int64_t numero_fichier, int W, int H, int w,
                          int h, const ParametresNumerotation& p);

// Name of the numbered page of number p: "Img__" + zeros + p + ".png", zero-padded to the number
// of digits of fin (no padding when p has as many digits or more). Fin 120: 7 -> "Img__007.png".
std::string nom_page_numerotee(std::int64_t p, std::int64_t fin);

}  // namespace vellumor::numbering
