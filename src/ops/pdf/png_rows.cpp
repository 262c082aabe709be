#include "ops/pdf/png_rows.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "batch/png_memory_reader.h"

namespace vellumor::pdf {
namespace {

// Composes a row of pixels of `canaux` samples, the last one alpha, over white, in place; the
// result has one sample less a pixel.
void composer_ligne(std::uint8_t* ligne, std::size_t pixels, int canaux, int profondeur) {
    const int octets = profondeur / 8;
    const auto lire = [octets](const std::uint8_t* p) -> std::uint32_t {
        return octets == 2 ? std::uint32_t(p[0]) << 8 | p[1] : p[0];
    };
    std::uint8_t* dest = ligne;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* pixel = ligne + i * std::size_t(canaux * octets);
        const std::uint32_t a = lire(pixel + (canaux - 1) * octets);
        for (int k = 0; k + 1 < canaux; ++k) {
            const std::uint16_t v = composer_sur_blanc(lire(pixel + k * octets), a, profondeur);
            if (octets == 2) *dest++ = std::uint8_t(v >> 8);
            *dest++ = std::uint8_t(v);
        }
    }
}

bool decoder(PngMemoryReader& d, const ImagePdf& image, std::vector<std::uint8_t>& tampon,
             std::vector<png_bytep>& lignes, const SortieOctets& sortie) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_read_info(d.png, d.info);
    if (image.composer_alpha) {
        if (png_get_valid(d.png, d.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(d.png);
        png_set_expand_gray_1_2_4_to_8(d.png);
    }
    const int passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    const png_uint_32 largeur = png_get_image_width(d.png, d.info);
    const png_uint_32 hauteur = png_get_image_height(d.png, d.info);
    const std::size_t octets_ligne = png_get_rowbytes(d.png, d.info);
    const int canaux = png_get_channels(d.png, d.info);
    const int profondeur = png_get_bit_depth(d.png, d.info);
    const std::size_t octets_sortie =
        image.composer_alpha ? octets_ligne / std::size_t(canaux) * std::size_t(canaux - 1)
                             : octets_ligne;
    const auto donner = [&](std::uint8_t* ligne) {
        if (image.composer_alpha) composer_ligne(ligne, largeur, canaux, profondeur);
        sortie(ligne, octets_sortie);
    };
    if (passes == 1) {
        tampon.resize(octets_ligne);
        for (png_uint_32 y = 0; y < hauteur; ++y) {
            png_read_row(d.png, tampon.data(), nullptr);
            donner(tampon.data());
        }
    } else {
        tampon.resize(octets_ligne * hauteur);
        lignes.resize(hauteur);
        for (png_uint_32 y = 0; y < hauteur; ++y) lignes[y] = tampon.data() + y * octets_ligne;
        png_read_image(d.png, lignes.data());
        for (png_uint_32 y = 0; y < hauteur; ++y) donner(lignes[y]);
    }
    png_read_end(d.png, nullptr);
    return true;
}

}  // namespace

std::string lignes_decodees(std::string_view octets, const ImagePdf& image,
                            const SortieOctets& sortie) {
    PngMemoryReader d(reinterpret_cast<const unsigned char*>(octets.data()), octets.size());
    if (!d.ok()) return "mémoire insuffisante";
    png_set_user_limits(d.png, 0x7FFFFFFF, 0x7FFFFFFF);
    std::vector<std::uint8_t> tampon;
    std::vector<png_bytep> lignes;
    try {
        if (decoder(d, image, tampon, lignes, sortie)) return {};
    } catch (const std::bad_alloc&) {
        return "mémoire insuffisante";
    }
    return std::string("le fichier est endommagé (") + d.error + ")";
}

}  // namespace vellumor::pdf
