#include "ops/leptonica/pix.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <mutex>
#include <new>

namespace vellumor::leptonica {
namespace {

// Luminance weights of the 1-bit save, in ten-thousandths.
int luminance_x10000(Couleur c) {
    return 2126 * rouge(c) + 7152 * vert(c) + 722 * bleu(c);
}

PixPtr creer(const Image& page, int profondeur) {
    if (page.empty()) return nullptr;
    preparer();
    PixPtr pix(pixCreate(page.width(), page.height(), profondeur));
    if (pix && page.resolution()) {
        const Resolution r = *page.resolution();
        pixSetResolution(pix.get(), l_int32(r.x_per_metre * 0.0254 + 0.5),
                         l_int32(r.y_per_metre * 0.0254 + 0.5));
    }
    return pix;
}

std::uint32_t valeur(const l_uint32* ligne, int x, int profondeur) {
    switch (profondeur) {
        case 1:
            return GET_DATA_BIT(ligne, x);
        case 2:
            return GET_DATA_DIBIT(ligne, x);
        case 4:
            return GET_DATA_QBIT(ligne, x);
        case 8:
            return GET_DATA_BYTE(ligne, x);
        case 16:
            return GET_DATA_TWO_BYTES(ligne, x) >> 8;
        default:
            return ligne[x];
    }
}

// The colour of each value a PIX of depth <= 16 can hold, and the file depth that keeps them.
struct Table {
    std::vector<Couleur> couleurs;
    int profondeur_fichier = 8;
};

Table table_de(const Pix* pix) {
    Table t;
    const int d = pixGetDepth(const_cast<Pix*>(pix));
    PIXCMAP* cmap = pixGetColormap(const_cast<Pix*>(pix));
    if (cmap) {
        const int n = pixcmapGetCount(cmap);
        t.couleurs.assign(std::size_t(1) << std::min(d, 8), kWhite);
        bool noir_et_blanc = true;
        for (int i = 0; i < n && i < int(t.couleurs.size()); ++i) {
            l_int32 r = 255, g = 255, b = 255;
            pixcmapGetColor(cmap, i, &r, &g, &b);
            t.couleurs[i] = couleur(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
            noir_et_blanc = noir_et_blanc && (t.couleurs[i] == kWhite || t.couleurs[i] == kBlack);
        }
        t.profondeur_fichier = d == 1 && !noir_et_blanc ? 2 : d;
        return t;
    }
    if (d == 1) {
        t.couleurs = {kWhite, kBlack};
        t.profondeur_fichier = 1;
        return t;
    }
    const int niveaux = d == 16 ? 256 : 1 << d;
    for (int v = 0; v < niveaux; ++v) {
        const auto g = std::uint8_t(v * 255 / (niveaux - 1));
        t.couleurs.push_back(couleur(g, g, g));
    }
    t.profondeur_fichier = d == 16 ? 8 : d;
    return t;
}

Couleur couleur_rgba(l_uint32 mot, bool alpha) {
    l_int32 r, g, b, a;
    extractRGBAValues(mot, &r, &g, &b, &a);
    if (alpha && a != 255) {
        // Over white, as the save composes a page with alpha below 32 bits.
        const auto sur_blanc = [a](int c) { return std::uint8_t((c * a + 255 * (255 - a)) / 255); };
        return couleur(sur_blanc(r), sur_blanc(g), sur_blanc(b));
    }
    return couleur(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
}

}  // namespace

void DetruirePix::operator()(Pix* p) const {
    pixDestroy(&p);
}

void preparer() {
    static std::once_flag fait;
    std::call_once(fait, [] { setMsgSeverity(L_SEVERITY_NONE); });
}

PixPtr pix_gris(const Image& page, bool* neutre) {
    PixPtr pix = creer(page, 8);
    if (!pix) return nullptr;
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    bool gris = true;
    for (int y = 0; y < page.height(); ++y) {
        l_uint32* ligne = data + std::size_t(y) * wpl;
        for (int x = 0; x < page.width(); ++x) {
            const Couleur c = page.pixel(x, y);
            gris = gris && rouge(c) == vert(c) && vert(c) == bleu(c);
            SET_DATA_BYTE(ligne, x, (luminance_x10000(c) + 5000) / 10000);
        }
    }
    if (neutre) *neutre = gris;
    return pix;
}

PixPtr pix_binaire(Pix* gris) {
    return PixPtr(gris ? pixThresholdToBinary(gris, kSeuilNoir + 1) : nullptr);
}

PixPtr pix_couleur(const Image& page) {
    PixPtr pix = creer(page, 32);
    if (!pix) return nullptr;
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < page.height(); ++y) {
        l_uint32* ligne = data + std::size_t(y) * wpl;
        for (int x = 0; x < page.width(); ++x) {
            const Couleur c = page.pixel(x, y);
            composeRGBPixel(rouge(c), vert(c), bleu(c), ligne + x);
        }
    }
    return pix;
}

namespace {

bool profondeur_connue(int d) {
    return d == 1 || d == 2 || d == 4 || d == 8 || d == 16 || d == 32;
}

// Copies the PIX's pixels into image (same size); returns the file depth that keeps them.
int remplir(Pix* pix, Image& image) {
    const int w = image.width(), h = image.height(), d = pixGetDepth(pix);
    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    if (d == 32) {
        const bool alpha = pixGetSpp(pix) == 4;
        for (int y = 0; y < h; ++y) {
            const l_uint32* ligne = data + std::size_t(y) * wpl;
            for (int x = 0; x < w; ++x) image.set_pixel(x, y, couleur_rgba(ligne[x], alpha));
        }
        return 24;
    }
    const Table t = table_de(pix);
    for (int y = 0; y < h; ++y) {
        const l_uint32* ligne = data + std::size_t(y) * wpl;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = valeur(ligne, x, d);
            image.set_pixel(x, y, v < t.couleurs.size() ? t.couleurs[v] : kWhite);
        }
    }
    return t.profondeur_fichier;
}

}  // namespace

std::optional<Image> image_depuis_pix(const Pix* cpix) {
    if (!cpix) return std::nullopt;
    Pix* pix = const_cast<Pix*>(cpix);  // Leptonica's getters take no const
    const int w = pixGetWidth(pix), h = pixGetHeight(pix);
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || !profondeur_connue(pixGetDepth(pix)))
        return std::nullopt;
    std::optional<Image> image;
    try {
        image = Image::create(w, h, 24, kWhite);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!image) return std::nullopt;
    image->set_file_depth(remplir(pix, *image));
    const l_int32 rx = pixGetXRes(pix), ry = pixGetYRes(pix);
    if (rx > 0 && ry > 0)
        image->set_resolution(
            Resolution{resolution_from_dpi(rx).x_per_metre, resolution_from_dpi(ry).y_per_metre});
    return image;
}

bool recopier_pix(const Pix* cpix, Image& page) {
    if (!cpix) return false;
    Pix* pix = const_cast<Pix*>(cpix);
    if (pixGetWidth(pix) != page.width() || pixGetHeight(pix) != page.height() ||
        !profondeur_connue(pixGetDepth(pix)))
        return false;
    remplir(pix, page);
    return true;
}

}  // namespace vellumor::leptonica
