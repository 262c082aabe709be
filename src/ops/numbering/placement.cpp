#include "ops/numbering/placement.h"

#include <cmath>

namespace vellumor::numbering {

Emplacement placer_tampon(PositionNumero position, std::int64_t numero_fichier, int W, int H, int w,
                          int h, const ParametresNumerotation& p) {
    const bool centre =
        position == PositionNumero::BasCentre || position == PositionNumero::HautCentre;
    const bool bottom =
        position == PositionNumero::BasDroite || position == PositionNumero::BasCentre;
    double x;
    if (centre)
        x = (double(W) - w) * 0.5;
    else if (numero_fichier % 2 != 0)
        x = double(W) - w - double(p.offset_x);
    else
        x = double(p.offset_x) + double(p.reliure);
    const double y = bottom ? double(H) - h - double(p.offset_y) : double(p.offset_y);
    return {int(std::nearbyint(x)), int(std::nearbyint(y))};
}

std::string nom_page_numerotee(std::int64_t p, std::int64_t fin) {
    const std::string digits = std::to_string(p);
    const std::ptrdiff_t zeros =
        std::ptrdiff_t(std::to_string(fin).size()) - std::ptrdiff_t(digits.size());
    return "Img__" + std::string(zeros > 0 ? std::size_t(zeros) : 0, '0') + digits + ".png";
}

}  // namespace vellumor::numbering
