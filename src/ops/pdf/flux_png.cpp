#include "ops/pdf/flux_png.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "batch/png_memory_reader.h"
#include "batch/png_messages.h"

namespace vellumor::pdf {
namespace {

constexpr std::size_t kTamponSortie = std::size_t(1) << 16;

// libpng's own words for the fault, so that every command tells it alike.
std::string endommage(std::string_view message_libpng, const std::string& precision = {}) {
    return "le fichier est endommagé (" + french_png_message(message_libpng) + precision + ")";
}

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

}  // namespace

void VerificationFlux::Liberer::operator()(libdeflate_decompressor* d) const {
    libdeflate_free_decompressor(d);
}

VerificationFlux::VerificationFlux() : d_(libdeflate_alloc_decompressor()) {}

Verdict VerificationFlux::verifier(const std::vector<std::string_view>& donnees,
                                   const DescriptionPng& e) {
    if (!d_) throw std::bad_alloc();
    const std::uint8_t* entree = nullptr;
    std::size_t n = 0;
    if (donnees.size() == 1) {
        entree = reinterpret_cast<const std::uint8_t*>(donnees[0].data());
        n = donnees[0].size();
    } else {
        joint_.clear();
        for (std::string_view d : donnees) joint_.insert(joint_.end(), d.begin(), d.end());
        entree = joint_.data();
        n = joint_.size();
    }
    const std::uint64_t attendu =
        inflated_size(e.largeur, e.hauteur, e.profondeur * echantillons_pixel(e), false);
    // Judged again here: the file may have changed since its header was first looked at.
    if (Verdict v = declared_size_refusal(attendu, attendu, n); !v) return v;
    lignes_.resize(std::size_t(attendu));
    switch (
        libdeflate_zlib_decompress(d_.get(), entree, n, lignes_.data(), lignes_.size(), nullptr)) {
        case LIBDEFLATE_SUCCESS:
            break;
        case LIBDEFLATE_SHORT_OUTPUT:
            return Echec{endommage("IDAT: Not enough image data")};
        case LIBDEFLATE_INSUFFICIENT_SPACE:
            return Echec{endommage("IDAT: Too much image data")};
        default: {
            // Told apart for the user: not zlib at all, a wrong checksum over sound data, or
            // damaged data.
            if (n < 2 || (entree[0] & 0x0F) != 8 || (entree[0] << 8 | entree[1]) % 31 != 0 ||
                (entree[1] & 0x20) != 0)
                return Echec{endommage("IDAT: incorrect header check")};
            std::size_t lus = 0;
            if (libdeflate_deflate_decompress_ex(d_.get(), entree + 2, n - 2, lignes_.data(),
                                                 lignes_.size(), &lus,
                                                 nullptr) == LIBDEFLATE_SUCCESS)
                return Echec{endommage(2 + lus + 4 > n ? "IDAT: Not enough compressed data"
                                                       : "IDAT: incorrect data check")};
            return Echec{endommage("IDAT: Decompression error")};
        }
    }
    const std::size_t pas = lignes_.size() / e.hauteur;
    for (std::size_t y = 0; y < e.hauteur; ++y)
        if (lignes_[y * pas] > 4)
            return Echec{
                endommage("bad adaptive filter value", ", ligne " + std::to_string(y + 1))};
    return Reussite{};
}

CompressionPredite::CompressionPredite(std::size_t octets_ligne, int octets_pixel,
                                       SortieOctets sortie)
    : n_(octets_ligne), bpp_(std::size_t(octets_pixel)), sortie_(std::move(sortie)) {
    if (deflateInit2(&z_, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    pret_ = true;
    precedente_.assign(n_, 0);
    filtree_.resize(n_ + 1);
    meilleure_.resize(n_ + 1);
    tampon_.resize(kTamponSortie);
}

CompressionPredite::~CompressionPredite() {
    if (pret_) deflateEnd(&z_);
}

void CompressionPredite::ligne(const std::uint8_t* x) {
    meilleure_[0] = 0;
    std::memcpy(meilleure_.data() + 1, x, n_);
    if (bpp_ > 0) {
        const std::uint8_t* b = precedente_.data();
        std::uint64_t meilleur_cout = UINT64_MAX;
        for (int f = 0; f <= 4; ++f) {
            std::uint8_t* o = filtree_.data() + 1;
            std::uint64_t cout = 0;
            for (std::size_t i = 0; i < n_; ++i) {
                const int a = i >= bpp_ ? x[i - bpp_] : 0;
                const int c = i >= bpp_ ? b[i - bpp_] : 0;
                const int prediction = f == 0   ? 0
                                       : f == 1 ? a
                                       : f == 2 ? b[i]
                                       : f == 3 ? (a + b[i]) / 2
                                                : paeth(a, b[i], c);
                o[i] = std::uint8_t(x[i] - prediction);
                cout += std::uint64_t(std::abs(int(std::int8_t(o[i]))));
            }
            if (cout < meilleur_cout) {
                meilleur_cout = cout;
                filtree_[0] = std::uint8_t(f);
                std::swap(filtree_, meilleure_);
            }
        }
        std::memcpy(precedente_.data(), x, n_);
    }
    compresser(meilleure_.data(), n_ + 1, Z_NO_FLUSH);
}

void CompressionPredite::finir() {
    compresser(nullptr, 0, Z_FINISH);
}

void CompressionPredite::compresser(const std::uint8_t* octets, std::size_t n, int fin) {
    z_.next_in = const_cast<Bytef*>(octets);
    z_.avail_in = uInt(n);
    for (;;) {
        z_.next_out = tampon_.data();
        z_.avail_out = uInt(tampon_.size());
        const int r = deflate(&z_, fin);
        if (r == Z_STREAM_ERROR) throw std::bad_alloc();
        const std::size_t produits = tampon_.size() - z_.avail_out;
        if (produits > 0) sortie_(tampon_.data(), produits);
        if (fin == Z_FINISH ? r == Z_STREAM_END : z_.avail_in == 0 && z_.avail_out != 0) return;
    }
}

}  // namespace vellumor::pdf
