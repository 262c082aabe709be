#include "ops/renaming/rename_system.h"

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

DossierRenommage::DossierRenommage(const fs::path& dossier) : chemin_(normal(dossier)) {
    Resultat<FileHandle> ouvert = open_folder(chemin_);
    if (ouvert) fd_ = std::move(*ouvert);
}

bool DossierRenommage::existe(const std::string& nom) const {
    return status_no_follow(fd_.get(), nom).has_value();
}

std::optional<Identite> DossierRenommage::identite(const std::string& nom) const {
    const std::optional<FileStatus> st = status_no_follow(fd_.get(), nom);
    if (!st) return std::nullopt;
    return Identite{st->device, st->inode};
}

Verdict DossierRenommage::renommer_sans_ecraser(const std::string& de,
                                                const std::string& vers) const {
    return rename_name_without_replacing(fd_.get(), de, vers);
}

Verdict DossierRenommage::synchroniser() const {
    return sync_folder(fd_.get());
}

std::string DossierRenommage::nom_temporaire(std::size_t index, std::set<std::string>& pris) const {
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = std::string(kPrefixeTemporaire) + std::to_string(process_id()) +
                                 "-" + std::to_string(index) +
                                 (attempt ? "-" + std::to_string(attempt) : "") + ".tmp";
        if (!existe(name) && pris.insert(name).second) return name;
    }
}

}  // namespace vellumor::renaming
