#include "ops/pdf/png_chunks.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "batch/png_header.h"
#include "common/system_error.h"

namespace vellumor::pdf {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunk = 0x7FFFFFFF;

// Bytes of a PNG, from memory or from an open file of known size: read in order, or skipped
// over. Nothing is read or skipped past the end, so a damaged chunk length costs no allocation.
class Source {
  public:
    explicit Source(std::string_view octets) : octets_(octets), taille_(octets.size()) {}
    Source(std::FILE* f, std::size_t taille) : taille_(taille), fichier_(f) {}
    std::size_t reste() const { return taille_ - pos_; }
    bool lire(void* dest, std::size_t n) {
        if (n > reste()) return false;
        if (fichier_ && std::fread(dest, 1, n, fichier_) != n) return false;
        if (!fichier_) std::memcpy(dest, octets_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    // A view of the next n bytes (memory only).
    std::string_view prendre(std::size_t n) {
        if (n > reste()) return {};
        const std::string_view v = octets_.substr(pos_, n);
        pos_ += n;
        return v;
    }
    bool sauter(std::size_t n) {
        if (n > reste() || (fichier_ && std::fseek(fichier_, long(n), SEEK_CUR) != 0)) return false;
        pos_ += n;
        return true;
    }
    bool memoire() const { return !fichier_; }

  private:
    std::string_view octets_;
    std::size_t taille_ = 0;
    std::size_t pos_ = 0;
    std::FILE* fichier_ = nullptr;
};

std::optional<DescriptionPng> lire_ihdr(std::string_view c) {
    const auto* p = reinterpret_cast<const unsigned char*>(c.data());
    if (c.size() != 13) return std::nullopt;
    DescriptionPng e;
    e.largeur = png_be32(p);
    e.hauteur = png_be32(p + 4);
    e.profondeur = p[8];
    e.type_couleur = p[9];
    e.entrelace = p[12] == 1;
    if (e.largeur == 0 || e.hauteur == 0 || p[10] != 0 || p[11] != 0 || p[12] > 1 ||
        !png_depth_allowed(e.type_couleur, e.profondeur))
        return std::nullopt;
    return e;
}

Echec echec(std::string raison) {
    return Echec{std::move(raison)};
}

Resultat<PngDecoupe> decouper(Source& s, bool avec_donnees) {
    PngDecoupe r;
    unsigned char signature[8];
    if (!s.lire(signature, 8) || std::memcmp(signature, kSignature, 8) != 0)
        return echec("ce n'est pas un fichier PNG");
    DescriptionPng e;
    bool ihdr = false, idat = false, idat_fini = false;
    std::string contenu;
    for (;;) {
        unsigned char tete[8];
        if (!s.lire(tete, 8)) return echec("le fichier est tronqué");
        const std::uint32_t longueur = png_be32(tete);
        const std::string_view type(reinterpret_cast<const char*>(tete + 4), 4);
        if (longueur > kMaxChunk) return echec("le fichier est endommagé");
        if (std::size_t(longueur) + 4 > s.reste()) return echec("le fichier est tronqué");
        if (!ihdr && type != "IHDR") return echec("le fichier est endommagé (IHDR absent)");
        const bool est_idat = type == "IDAT";
        if (idat && !est_idat) idat_fini = true;
        if (est_idat && idat_fini) return echec("le fichier est endommagé (IDAT dispersés)");
        // Picture data is read only when asked for; every other chunk is small and checked.
        if (est_idat) r.octets_donnees += longueur;
        if (est_idat && !avec_donnees) {
            if (!s.sauter(std::size_t(longueur) + 4)) return echec("le fichier est tronqué");
            idat = true;
            continue;
        }
        std::string_view donnees;
        if (s.memoire()) {
            donnees = s.prendre(longueur);
            if (donnees.size() != longueur) return echec("le fichier est tronqué");
        } else {
            contenu.resize(longueur);
            if (!s.lire(contenu.data(), longueur)) return echec("le fichier est tronqué");
            donnees = contenu;
        }
        unsigned char crc_lu[4];
        if (!s.lire(crc_lu, 4)) return echec("le fichier est tronqué");
        uLong crc = crc32(0, tete + 4, 4);
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(donnees.data()), donnees.size());
        if (crc != png_be32(crc_lu)) return echec("le fichier est endommagé (somme de contrôle)");

        if (type == "IHDR") {
            if (ihdr) return echec("le fichier est endommagé (IHDR répété)");
            const auto lu = lire_ihdr(donnees);
            if (!lu) return echec("l'en-tête PNG est invalide");
            if (lu->largeur > std::uint32_t(kMaxSide) || lu->hauteur > std::uint32_t(kMaxSide))
                return echec("l'image dépasse 32767 pixels de côté");
            e = *lu;
            ihdr = true;
        } else if (type == "PLTE" && !idat) {
            if (longueur == 0 || longueur % 3 != 0 || longueur / 3 > 256)
                return echec("la palette est invalide");
            e.palette.assign(donnees.begin(), donnees.end());
        } else if (type == "tRNS" && !idat) {
            if (e.type_couleur == 3)
                e.alpha_palette.assign(donnees.begin(), donnees.end());
            else if (e.type_couleur == 0 || e.type_couleur == 2)
                e.cle_transparente = true;
        } else if (type == "pHYs" && !idat && longueur == 9) {
            const auto* p = reinterpret_cast<const unsigned char*>(donnees.data());
            if (p[8] == 1 && png_be32(p) > 0 && png_be32(p + 4) > 0)
                e.resolution = Resolution{png_be32(p), png_be32(p + 4)};
        } else if (est_idat) {
            r.donnees.push_back(donnees);
            idat = true;
        } else if (type == "IEND") {
            break;
        } else if (type[0] >= 'A' && type[0] <= 'Z' && type != "PLTE") {
            // A critical chunk this reader does not know changes how the picture data reads.
            return echec("le fichier contient un bloc critique inconnu (" + std::string(type) +
                         ")");
        }
    }
    if (!idat) return echec("le fichier ne contient aucune image (IDAT absent)");
    if (e.type_couleur == 3) {
        if (e.palette.empty()) return echec("la palette est absente");
        if (e.alpha_palette.size() > e.palette.size() / 3)
            return echec("la transparence de la palette est invalide");
    }
    r.entete = std::move(e);
    return r;
}

struct Fichier {
    std::FILE* f = nullptr;
    ~Fichier() {
        if (f) std::fclose(f);
    }
};

}  // namespace

int echantillons_pixel(const DescriptionPng& e) {
    return png_samples(e.type_couleur);
}

Resultat<PngDecoupe> decouper_png_memoire(std::string_view octets, bool avec_donnees) {
    Source s(octets);
    try {
        return decouper(s, avec_donnees);
    } catch (const std::bad_alloc&) {
        return echec("mémoire insuffisante");
    }
}

Resultat<PngDecoupe> decouper_png(const std::filesystem::path& file, bool avec_donnees) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return echec(std::filesystem::exists(file, ec) ? "ce n'est pas un fichier"
                                                       : "le fichier est introuvable");
    Fichier f;
    f.f = std::fopen(file.c_str(), "rb");
    if (!f.f) return echec(raison_systeme(errno));
    if (!avec_donnees) {
        const auto taille = std::filesystem::file_size(file, ec);
        if (ec) return echec(raison_systeme(ec.value()));
        Source s(f.f, taille);
        try {
            return decouper(s, false);
        } catch (const std::bad_alloc&) {
            return echec("mémoire insuffisante");
        }
    }
    // The whole file in one read, then taken apart in memory.
    std::vector<char> octets;
    try {
        const auto taille = std::filesystem::file_size(file, ec);
        if (ec) return echec(raison_systeme(ec.value()));
        octets.resize(taille);
    } catch (const std::bad_alloc&) {
        return echec("mémoire insuffisante");
    }
    const std::size_t lus = std::fread(octets.data(), 1, octets.size(), f.f);
    if (std::ferror(f.f)) return echec(raison_systeme(errno));
    octets.resize(lus);
    Resultat<PngDecoupe> r =
        decouper_png_memoire(std::string_view(octets.data(), octets.size()), true);
    if (r) r->octets = std::move(octets);  // the views stay valid: a vector's move keeps them
    return r;
}

}  // namespace vellumor::pdf
