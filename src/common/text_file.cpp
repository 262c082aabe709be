#include "common/text_file.h"

#include <cstdint>

#include "common/file_io.h"
#include "common/regular_file.h"
#include "common/safe_replace.h"

namespace vellumor {

std::optional<std::string> lire_octets(const std::filesystem::path& path, std::size_t limit) {
    // Opened without waiting: a named pipe is refused, not waited on.
    const OpenResult opened = open_regular_file(path);
    if (!opened || std::uint64_t(opened.file->identity.size) > limit) return std::nullopt;
    // A file that grew while being read is read to its end, within the limit.
    Resultat<std::string> bytes = read_all(opened.file->handle.get(), limit);
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
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
    const Verdict lu = read_blocks(opened.file->handle.get(), [&](std::string_view octets) {
        if (codage == Codage::Utf16le && !r.octet_nul)
            r.octet_nul = octets.find('\0') != octets.npos;
        if (lire) lire = lignes.bloc(octets);
        return lire || (codage == Codage::Utf16le && !r.octet_nul);
    });
    if (!lu) {
        r.erreur = lu.raison();
        return r;
    }
    if (lire) lignes.fin();
    r.ligne_trop_longue = lignes.trop_longue();
    return r;
}

std::optional<std::string> debut_du_fichier(const std::filesystem::path& path, std::size_t n) {
    const OpenResult opened = open_regular_file(path);
    if (!opened) return std::nullopt;
    Resultat<std::string> octets = read_start(opened.file->handle.get(), n);
    if (!octets) return std::nullopt;
    return std::move(*octets);
}

bool ecrire_octets_remplacant(const std::filesystem::path& path, std::string_view bytes,
                              std::string* raison) {
    ReplaceResult r = replace_file_with(path, bytes);
    if (!r && raison) *raison = std::move(r.message);
    return bool(r);
}

}  // namespace vellumor
