#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "common/folder_io.h"
#include "common/resultat.h"

namespace vellumor::renaming {

// A file whatever its name: device and inode.
struct Identite {
    std::uint64_t peripherique = 0, inode = 0;
    auto operator<=>(const Identite&) const = default;
};

// The names of one folder, reached through the folder itself: a name never leads elsewhere.
class DossierRenommage {
  public:
    explicit DossierRenommage(const std::filesystem::path& dossier);
    DossierRenommage(const DossierRenommage&) = delete;
    DossierRenommage& operator=(const DossierRenommage&) = delete;

    bool ouvert() const { return fd_.is_open(); }
    int fd() const { return fd_.get(); }
    const std::filesystem::path& chemin() const { return chemin_; }

    bool existe(const std::string& nom) const;
    std::optional<Identite> identite(const std::string& nom) const;
    // Renames without ever replacing an existing file; errno tells why it failed.
    Verdict renommer_sans_ecraser(const std::string& de, const std::string& vers) const;
    // The folder's names on disk.
    Verdict synchroniser() const;
    // A free hidden name, not yet given to another file of this renaming.
    std::string nom_temporaire(std::size_t index, std::set<std::string>& pris) const;

  private:
    std::filesystem::path chemin_;
    FileHandle fd_;
};

// The absolute, normal form of p (as it is when that cannot be had).
std::filesystem::path normal(const std::filesystem::path& p);

}  // namespace vellumor::renaming
