#include "ops/renaming/disk_rename.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "common/text_file.h"
#include "common/text_utf8.h"

namespace vellumor::renaming {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kOrigine = "; nom d'origine : ";

ResultatRenommage echec(std::string message) {
    return {false, 0, std::move(message)};
}

std::string nom(const fs::path& p) {
    return "« " + p.string() + " »";
}

fs::path normal(const fs::path& p) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(p, ec);
    return (ec ? p : absolute).lexically_normal();
}

// Renames without ever replacing an existing file.
bool renommer_sans_ecraser(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check, then rename.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// A free temporary name beside file.
fs::path nom_temporaire(const fs::path& file, std::size_t index) {
    for (unsigned attempt = 0;; ++attempt) {
        const fs::path temp =
            file.parent_path() / (".vellumor-renommage-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(index) + "-" + std::to_string(attempt) + ".tmp");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(temp, ec))) return temp;
    }
}

std::optional<std::string> verifier(const std::vector<Renommage>& plan) {
    std::set<fs::path> sources, targets;
    for (const auto& r : plan) {
        std::error_code ec;
        if (!fs::is_regular_file(r.source, ec))
            return "Le fichier " + nom(r.source) + " n'existe pas";
        if (!sources.insert(normal(r.source)).second)
            return "Le fichier " + nom(r.source) + " figure deux fois dans la liste";
        const std::string name = r.cible.filename().string();
        if (name.empty() || name == "." || name == ".." ||
            r.cible.parent_path() != r.source.parent_path())
            return "Le nouveau nom de " + nom(r.source) + " n'est pas un nom de fichier";
        const std::string both = r.source.string() + r.cible.string();
        if (both.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return "Le nom de " + nom(r.source) + " contient un saut de ligne";
        if (!targets.insert(normal(r.cible)).second)
            return "Deux fichiers prendraient le même nom " + nom(r.cible);
    }
    for (const auto& r : plan) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(r.cible, ec)) || sources.count(normal(r.cible)))
            continue;
        // The same file under another spelling (a folder that ignores letter case) is no clash.
        bool same = false;
        for (const auto& other : plan) same = same || fs::equivalent(r.cible, other.source, ec);
        if (!same) return "Le fichier " + nom(r.cible) + " existe déjà hors de la liste";
    }
    return std::nullopt;
}

// Moves every changing file to a temporary name, then to its new name; on failure undoes what was
// done, in reverse order. Returns the failure message, or nothing.
std::optional<std::string> deplacer(const std::vector<Renommage>& changes) {
    std::vector<fs::path> temps;
    std::size_t placed = 0;
    const auto defaire = [&] {
        while (placed > 0) {
            --placed;
            renommer_sans_ecraser(changes[placed].cible, temps[placed]);
        }
        while (!temps.empty()) {
            renommer_sans_ecraser(temps.back(), changes[temps.size() - 1].source);
            temps.pop_back();
        }
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const fs::path temp = nom_temporaire(changes[i].source, i);
        if (!renommer_sans_ecraser(changes[i].source, temp)) {
            defaire();
            return "Impossible de renommer " + nom(changes[i].source);
        }
        temps.push_back(temp);
    }
    for (; placed < changes.size(); ++placed) {
        if (!renommer_sans_ecraser(temps[placed], changes[placed].cible)) {
            const std::string message = "Impossible de renommer " + nom(changes[placed].source) +
                                        " en " + nom(changes[placed].cible);
            defaire();
            return message;
        }
    }
    return std::nullopt;
}

}  // namespace

ResultatRenommage appliquer_renommage(const std::vector<Renommage>& plan,
                                      const fs::path& liste_annulation) {
    if (const auto refus = verifier(plan)) return echec(*refus);
    std::vector<Renommage> changes;
    for (const auto& r : plan)
        if (normal(r.source) != normal(r.cible)) changes.push_back(r);
    if (!liste_annulation.empty()) {
        for (const auto& r : plan)
            if (normal(r.source) == normal(liste_annulation) ||
                normal(r.cible) == normal(liste_annulation))
                return echec("La liste d'annulation " + nom(liste_annulation) +
                             " figure parmi les fichiers à renommer");
    }
    if (const auto failure = deplacer(changes)) return echec(*failure);
    if (!liste_annulation.empty() &&
        !ecrire_octets_remplacant(liste_annulation, contenu_liste_annulation(changes))) {
        std::vector<Renommage> back;
        for (const auto& r : changes) back.push_back({r.cible, r.source});
        deplacer(back);
        return echec("Impossible d'écrire la liste d'annulation " + nom(liste_annulation) +
                     " : aucun fichier n'a été renommé");
    }
    return {true, changes.size(), ""};
}

std::vector<Renommage> plan_renommage(const std::vector<fs::path>& fichiers,
                                      const ParametresRenommage& p) {
    std::vector<Renommage> plan;
    plan.reserve(fichiers.size());
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        plan.push_back({fichiers[k], fichiers[k].parent_path() / nouveau_nom(p, k)});
    return plan;
}

std::string contenu_liste_annulation(const std::vector<Renommage>& plan) {
    std::string text = std::string(kBom) +
                       "; Annulation d'un renommage : vellumor-cli renommer --annuler FICHIER\r\n";
    for (const auto& r : plan)
        text += std::string(kOrigine) + r.source.filename().string() + "\r\n" + r.cible.string() +
                "\r\n";
    return text;
}

ResultatRenommage annuler_renommage(const fs::path& liste_annulation) {
    const auto bytes = lire_octets(liste_annulation);
    if (!bytes) return echec("Impossible de lire la liste d'annulation " + nom(liste_annulation));
    std::string_view text(*bytes);
    const std::string invalid =
        "La liste " + nom(liste_annulation) + " n'est pas une liste d'annulation de renommage";
    if (!text.starts_with(kBom) || text.find('\0') != std::string_view::npos) return echec(invalid);
    text.remove_prefix(kBom.size());
    std::vector<Renommage> back;
    std::optional<std::string> origin;
    for (const std::string_view line : decouper_lignes(text)) {
        if (line.starts_with(kOrigine)) {
            if (origin) return echec(invalid);
            origin = std::string(line.substr(kOrigine.size()));
            continue;
        }
        if (sans_blancs(line).empty() || line.front() == ';') continue;
        if (!origin || origin->empty() || origin->find('/') != std::string::npos)
            return echec(invalid);
        const fs::path current(std::string{line});
        back.push_back({current, current.parent_path() / *origin});
        origin.reset();
    }
    if (origin) return echec(invalid);
    ResultatRenommage result = appliquer_renommage(back, {});
    if (result.ok) {
        std::error_code ec;
        fs::remove(liste_annulation, ec);
    }
    return result;
}

}  // namespace vellumor::renaming
