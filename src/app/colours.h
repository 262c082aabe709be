#pragma once

#include <QColor>
#include <cstdint>

#include "batch/image.h"

namespace vellumor::app {

// The bottom bar's background in the main state; operation panels change it and put it back.
inline constexpr Couleur kFondBarreBasAccueil = 0xDEC1B9;

// A colour word 0x00BBGGRR as Qt takes it, opaque unless alpha says otherwise.
inline QColor qcouleur(Couleur c, int alpha = 255) {
    return QColor(rouge(c), vert(c), bleu(c), alpha);
}

// The colour word with its alpha as one 0xAARRGGBB value, as gradient brushes take it.
constexpr std::uint32_t couleur_alpha(Couleur c, int alpha) {
    return (std::uint32_t(alpha & 0xFF) << 24) | (std::uint32_t(rouge(c)) << 16) |
           (std::uint32_t(vert(c)) << 8) | bleu(c);
}

}  // namespace vellumor::app
