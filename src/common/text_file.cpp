#include "common/text_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/regular_file.h"
#include "common/safe_replace.h"
#include "common/system_error.h"

namespace vellumor {

std::optional<std::string> lire_octets(const std::filesystem::path& path, std::size_t limit) {
    // Opened without waiting: a named pipe is refused, not waited on.
    const OpenResult opened = open_regular_file(path);
    if (!opened || std::uint64_t(opened.file->identity.size) > limit) return std::nullopt;
    std::string bytes;
    bytes.reserve(std::size_t(opened.file->identity.size));
    char block[1 << 16];
    // A file that grew while being read is read to its end, within the limit.
    for (;;) {
        const ssize_t n = ::read(opened.file->handle.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return bytes;
        if (bytes.size() + std::size_t(n) > limit) return std::nullopt;
        bytes.append(block, std::size_t(n));
    }
}

namespace {

// Splits a stream of bytes into lines of one encoding, a block at a time.
class DecoupeLignes {
  public:
    DecoupeLignes(const std::function<bool(std::string_view)>& ligne, Codage codage,
                  std::size_t longueur_maxi)
        : ligne_(ligne), unite_(codage == Codage::Utf16le ? 2 : 1), maxi_(longueur_maxi * unite_) {}

    // False once the reading is to stop: the reader stopped it, or a line is too long.
    bool bloc(std::string_view octets) {
        for (std::size_t i = 0; i < octets.size(); ++i) {
            unite_courante_[rempli_++] = octets[i];
            if (rempli_ < unite_) continue;
            rempli_ = 0;
            if (!unite()) return false;
        }
        return true;
    }
    // The last line, which no line end closes.
    void fin() {
        if (rempli_ > 0) courante_.append(unite_courante_, rempli_);
        if (!courante_.empty() && !trop_longue_ && continuer_) ligne_(courante_);
    }
    std::size_t trop_longue() const { return trop_longue_; }

  private:
    bool unite() {
        const bool cr = unite_courante_[0] == '\r' && (unite_ == 1 || unite_courante_[1] == 0);
        const bool lf = unite_courante_[0] == '\n' && (unite_ == 1 || unite_courante_[1] == 0);
        const bool apres_cr = apres_cr_;
        apres_cr_ = cr;
        if (lf && apres_cr) return true;  // an LF right after a CR ends no second line
        if (cr || lf) {
            ++numero_;
            continuer_ = ligne_(courante_);
            courante_.clear();
            return continuer_;
        }
        if (courante_.size() + unite_ > maxi_) {
            trop_longue_ = numero_ + 1;
            return false;
        }
        courante_.append(unite_courante_, unite_);
        return true;
    }

    const std::function<bool(std::string_view)>& ligne_;
    const std::size_t unite_;
    const std::size_t maxi_;
    char unite_courante_[2] = {};
    std::size_t rempli_ = 0;
    std::string courante_;
    bool apres_cr_ = false;
    bool continuer_ = true;
    std::size_t numero_ = 0;
    std::size_t trop_longue_ = 0;
};

}  // namespace

LignesDuFichier pour_chaque_ligne_du_fichier(const std::filesystem::path& path,
                                             const std::function<bool(std::string_view)>& ligne,
                                             Codage codage, std::size_t longueur_maxi) {
    LignesDuFichier r;
    // Opened without waiting: a named pipe is refused, not waited on.
    const OpenResult opened = open_regular_file(path);
    if (!opened) {
        r.erreur = opened.message;
        return r;
    }
    DecoupeLignes lignes(ligne, codage, longueur_maxi);
    bool lire = true;
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(opened.file->handle.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.erreur = raison_systeme(errno);
            return r;
        }
        if (n == 0) break;
        const std::string_view octets(block, std::size_t(n));
        if (codage == Codage::Utf16le && !r.octet_nul)
            r.octet_nul = octets.find('\0') != octets.npos;
        if (lire) lire = lignes.bloc(octets);
        if (!lire && (codage == Codage::Utf8 || r.octet_nul)) break;
    }
    if (lire) lignes.fin();
    r.ligne_trop_longue = lignes.trop_longue();
    return r;
}

std::optional<std::string> debut_du_fichier(const std::filesystem::path& path, std::size_t n) {
    const OpenResult opened = open_regular_file(path);
    if (!opened) return std::nullopt;
    std::string octets(n, '\0');
    std::size_t lus = 0;
    while (lus < n) {
        const ssize_t k = ::read(opened.file->handle.get(), octets.data() + lus, n - lus);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) return std::nullopt;
        if (k == 0) break;
        lus += std::size_t(k);
    }
    octets.resize(lus);
    return octets;
}

bool ecrire_octets_remplacant(const std::filesystem::path& path, std::string_view bytes,
                              std::string* raison) {
    ReplaceResult r = replace_file_with(path, bytes);
    if (!r && raison) *raison = std::move(r.message);
    return bool(r);
}

}  // namespace vellumor
