#include "ops/pdf/png_rows.h"

#include <png.h>

#include <algorithm>
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

struct Format {
    png_uint_32 largeur = 0, hauteur = 0;
    std::size_t octets_ligne = 0, octets_sortie = 0;
    int canaux = 1, profondeur = 8, passes = 1;
};

Format preparer(PngMemoryReader& d, const ImagePdf& image) {
    png_read_info(d.png, d.info);
    if (image.composer_alpha) {
        if (png_get_valid(d.png, d.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(d.png);
        png_set_expand_gray_1_2_4_to_8(d.png);
    }
    Format f;
    f.passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    f.largeur = png_get_image_width(d.png, d.info);
    f.hauteur = png_get_image_height(d.png, d.info);
    f.octets_ligne = png_get_rowbytes(d.png, d.info);
    f.canaux = png_get_channels(d.png, d.info);
    f.profondeur = png_get_bit_depth(d.png, d.info);
    f.octets_sortie = image.composer_alpha
                          ? f.octets_ligne / std::size_t(f.canaux) * std::size_t(f.canaux - 1)
                          : f.octets_ligne;
    return f;
}

// Decodes the rows premiere..premiere + n - 1 into tampon (every row when not interlaced, given
// one at a time to ligne_lue). Returns false on a libpng error (its reason in d.error).
template <typename Rappel>
bool decoder(PngMemoryReader& d, const ImagePdf& image, Format& f, png_uint_32 premiere,
             std::size_t bande, std::vector<std::uint8_t>& tampon, std::vector<std::uint8_t>& rebut,
             const Rappel& ligne_lue) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    f = preparer(d, image);
    if (f.passes == 1) {
        tampon.resize(f.octets_ligne);
        for (png_uint_32 y = 0; y < f.hauteur; ++y) {
            png_read_row(d.png, tampon.data(), nullptr);
            ligne_lue(tampon.data());
        }
    } else {
        const std::size_t par_bande = std::max<std::size_t>(1, bande / f.octets_ligne);
        const png_uint_32 fin = png_uint_32(std::min<std::size_t>(f.hauteur, premiere + par_bande));
        tampon.assign(f.octets_ligne * (fin - premiere), 0);
        rebut.resize(f.octets_ligne);
        for (int passe = 0; passe < f.passes; ++passe)
            for (png_uint_32 y = 0; y < f.hauteur; ++y)
                png_read_row(d.png,
                             y >= premiere && y < fin
                                 ? tampon.data() + (y - premiere) * f.octets_ligne
                                 : rebut.data(),
                             nullptr);
    }
    png_read_end(d.png, nullptr);
    return true;
}

}  // namespace

Verdict lignes_decodees(std::string_view octets, const ImagePdf& image, const SortieOctets& sortie,
                        std::size_t bande) {
    std::vector<std::uint8_t> tampon, rebut;
    Format f;
    const auto donner = [&](std::uint8_t* ligne) {
        if (image.composer_alpha) composer_ligne(ligne, f.largeur, f.canaux, f.profondeur);
        sortie(ligne, f.octets_sortie);
    };
    png_uint_32 premiere = 0;
    do {
        PngMemoryReader d(reinterpret_cast<const unsigned char*>(octets.data()), octets.size());
        if (!d.ok()) return Echec{"mémoire insuffisante"};
        png_set_user_limits(d.png, 0x7FFFFFFF, 0x7FFFFFFF);
        try {
            if (!decoder(d, image, f, premiere, bande, tampon, rebut, donner))
                return Echec{std::string("le fichier est endommagé (") + d.error + ")"};
        } catch (const std::bad_alloc&) {
            return Echec{"mémoire insuffisante"};
        }
        if (f.passes == 1) return Reussite{};
        const std::size_t n = tampon.size() / f.octets_ligne;
        for (std::size_t i = 0; i < n; ++i) donner(tampon.data() + i * f.octets_ligne);
        premiere += png_uint_32(n);
    } while (premiere < f.hauteur);
    return Reussite{};
}

}  // namespace vellumor::pdf
