#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ops/pdf/page_pdf.h"

namespace vellumor::pdf {

using SortieOctets = std::function<void(const std::uint8_t* octets, std::size_t n)>;

// Bytes of an interlaced picture held at once while it is decoded.
inline constexpr std::size_t kBandeDecodage = std::size_t(64) << 20;

// Decodes the PNG file held in octets with libpng and gives its rows, top to bottom, one a call,
// as the PDF picture `image` takes them: packed samples at the picture's depth (indices for a
// palette, 16-bit samples high byte first), alpha composed over white when image.composer_alpha.
// Refuses with a French reason a file that cannot be decoded. Holds a row at a time; an interlaced
// picture, whose rows are whole only after its last pass, is decoded again for each band of `bande`
// bytes of rows.
Verdict lignes_decodees(std::string_view octets, const ImagePdf& image, const SortieOctets& sortie,
                        std::size_t bande = kBandeDecodage);

}  // namespace vellumor::pdf
