#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vellumor {

// The whole content of a regular file, or nothing when it cannot be opened or read, is not a
// regular file, or is larger than limit bytes.
std::optional<std::string> lire_octets(const std::filesystem::path& path,
                                       std::size_t limit = std::size_t(256) << 20);

// The longest line a list or .cup file may hold, in bytes of UTF-8: a path is never longer.
inline constexpr std::size_t kLongueurLigneMaxi = 4096;

enum class Codage { Utf8, Utf16le };

struct LignesDuFichier {
    std::optional<std::string> erreur;  // French: the file cannot be opened or read, or is no file
    std::size_t ligne_trop_longue = 0;  // number (from 1) of the line over the bound; 0 when none
    bool octet_nul = false;             // in UTF-16LE: some byte of the file is zero
    explicit operator bool() const { return !erreur && ligne_trop_longue == 0; }
};

// Reads the regular file at path a block at a time and gives its lines to ligne in order, until
// ligne returns false. In UTF-8 the lines are split as decouper_lignes splits them; in UTF-16LE at
// the code units CR and LF (a CR LF pair ends one line), each line given as its UTF-16LE bytes.
// A line longer than longueur_maxi bytes of UTF-8 (twice that in UTF-16LE) is neither gathered
// nor given: the reading stops there (in UTF-16LE the rest is only looked at for a zero byte).
// Memory is that of the bound, not of the file.
LignesDuFichier pour_chaque_ligne_du_fichier(const std::filesystem::path& path,
                                             const std::function<bool(std::string_view)>& ligne,
                                             Codage codage = Codage::Utf8,
                                             std::size_t longueur_maxi = kLongueurLigneMaxi);

// The first n bytes of the regular file at path (fewer when it is shorter), or nothing when it
// cannot be opened or read.
std::optional<std::string> debut_du_fichier(const std::filesystem::path& path, std::size_t n);

// Writes bytes to path through replace_file: path holds either its old content or all of bytes,
// never a part, and a link at path is refused. On failure the temporary file is removed, false is
// returned and raison (when given) receives the French reason.
bool ecrire_octets_remplacant(const std::filesystem::path& path, std::string_view bytes,
                              std::string* raison = nullptr);

}  // namespace vellumor
