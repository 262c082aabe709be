#include "ops/renaming/rename_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vellumor::renaming {

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kPrefixeTemporaire = ".vellumor-renommage-";
}  // namespace

fs::path normal(const fs::path& p) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(p, ec);
    return (ec ? p : absolute).lexically_normal();
}

DossierRenommage::DossierRenommage(const fs::path& dossier)
    : chemin_(normal(dossier)), fd_(::open(chemin_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

DossierRenommage::~DossierRenommage() {
    if (fd_ >= 0) ::close(fd_);
}

bool DossierRenommage::existe(const std::string& nom) const {
    struct stat st {};
    return ::fstatat(fd_, nom.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::optional<Identite> DossierRenommage::identite(const std::string& nom) const {
    struct stat st {};
    if (::fstatat(fd_, nom.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return Identite{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
}

bool DossierRenommage::renommer_sans_ecraser(const std::string& de, const std::string& vers) const {
    if (::renameat2(fd_, de.c_str(), fd_, vers.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check, then rename.
    if (existe(vers)) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(fd_, de.c_str(), fd_, vers.c_str()) == 0;
}

void DossierRenommage::synchroniser() const {
    if (fd_ >= 0) ::fsync(fd_);
}

std::string DossierRenommage::nom_temporaire(std::size_t index, std::set<std::string>& pris) const {
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = std::string(kPrefixeTemporaire) + std::to_string(::getpid()) +
                                 "-" + std::to_string(index) +
                                 (attempt ? "-" + std::to_string(attempt) : "") + ".tmp";
        if (!existe(name) && pris.insert(name).second) return name;
    }
}

}  // namespace vellumor::renaming
