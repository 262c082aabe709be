#include "ops/renaming/disk_rename.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <set>

#include "common/system_error.h"
#include "common/text_file.h"
#include "common/text_utf8.h"

namespace vellumor::renaming {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kEntete =
    "; Annulation d'un renommage : vellumor-cli renommer --annuler FICHIER";
constexpr std::string_view kOrigine = "; nom d'origine : ";
constexpr std::string_view kTemporaire = "; nom temporaire : ";
constexpr std::string_view kIdentite = "; fichier : ";
constexpr std::string_view kPrefixeTemporaire = ".vellumor-renommage-";

ResultatRenommage echec(std::string message) {
    ResultatRenommage r;
    r.message = std::move(message);
    return r;
}

std::string nom(const fs::path& p) {
    return "« " + p.string() + " »";
}

fs::path normal(const fs::path& p) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(p, ec);
    return (ec ? p : absolute).lexically_normal();
}

bool existe(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// A file whatever its name: device and inode.
struct Identite {
    std::uint64_t peripherique = 0, inode = 0;
    auto operator<=>(const Identite&) const = default;
};
std::optional<Identite> identite(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return std::nullopt;
    return Identite{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
}

// Renames without ever replacing an existing file; errno tells why it failed.
bool renommer_sans_ecraser(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check, then rename.
    if (existe(to)) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void synchroniser_dossier(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void synchroniser_dossiers(const std::vector<EntreeAnnulation>& entrees) {
    std::set<fs::path> folders;
    for (const auto& e : entrees) folders.insert(e.renommage.source.parent_path());
    for (const auto& f : folders) synchroniser_dossier(f);
}

// A free hidden name in folder, not yet given to another file of this renaming.
std::string nom_temporaire(const fs::path& folder, std::size_t index, std::set<fs::path>& pris) {
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = std::string(kPrefixeTemporaire) + std::to_string(::getpid()) +
                                 "-" + std::to_string(index) +
                                 (attempt ? "-" + std::to_string(attempt) : "") + ".tmp";
        if (!existe(folder / name) && pris.insert(folder / name).second) return name;
    }
}

fs::path chemin_temporaire(const EntreeAnnulation& e) {
    return e.renommage.source.parent_path() / e.temporaire;
}

bool ecrire_tout(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

fs::path nom_de_liste(const fs::path& wished, int k) {
    if (k == 1) return wished;
    return wished.parent_path() /
           (wished.stem().string() + "-" + std::to_string(k) + wished.extension().string());
}

// Gives the written file fd (or the temporary file temp) the first free name of wished,
// "stem-2.ext" ...; errno tells why none was given.
fs::path nommer_liste(int fd, const std::string& temp, const fs::path& wished) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int k = 1; k < 10000; ++k) {
        const fs::path candidate = nom_de_liste(wished, k);
        const bool named = temp.empty() ? ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD,
                                                   candidate.c_str(), AT_SYMLINK_FOLLOW) == 0
                                        : renommer_sans_ecraser(temp, candidate);
        if (named) return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

// Writes bytes complete and flushed to disk, then gives them the name wished, or the first free
// one of "stem-2.ext", "stem-3.ext" ...: the list appears whole or not at all, never replaces an
// earlier one, and a kill before it appears leaves nothing (the file has no name until then,
// where the file system allows). The name given, or empty with the reason in erreur.
fs::path ecrire_liste_nouvelle(const fs::path& wished, const std::string& bytes,
                               std::string& erreur) {
    const fs::path folder = wished.parent_path();
    std::string temp;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        temp = (folder / ".renommage-annuler-XXXXXX").string();
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        erreur = raison_systeme(errno);
        return {};
    }
    fs::path given;
    if (ecrire_tout(fd, bytes) && ::fsync(fd) == 0) {
        given = nommer_liste(fd, temp, wished);
        if (given.empty() && temp.empty() && errno != EEXIST) {
            // No unnamed files here (no /proc): through a hidden name instead.
            ::close(fd);
            temp = (folder / ".renommage-annuler-XXXXXX").string();
            fd = ::mkostemp(temp.data(), O_CLOEXEC);
            if (fd >= 0 && ecrire_tout(fd, bytes) && ::fsync(fd) == 0)
                given = nommer_liste(fd, temp, wished);
        }
    }
    const int error = errno;
    if (fd >= 0) ::close(fd);
    if (given.empty()) {
        if (!temp.empty()) ::unlink(temp.c_str());
        erreur = raison_systeme(error);
        return {};
    }
    synchroniser_dossier(folder);
    return given;
}

std::optional<std::string> verifier(const std::vector<Renommage>& plan) {
    std::set<fs::path> sources, targets;
    std::set<Identite> files;
    for (const auto& r : plan) {
        std::error_code ec;
        if (!fs::is_regular_file(r.source, ec))
            return "Le fichier " + nom(r.source) + " n'existe pas";
        // Two hard links of one file are one file listed twice.
        const auto id = identite(r.source);
        if (!sources.insert(normal(r.source)).second || (id && !files.insert(*id).second))
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

}  // namespace

ResultatRenommage appliquer_renommage(const std::vector<Renommage>& plan,
                                      const fs::path& liste_annulation,
                                      const std::atomic<bool>* arret) {
    if (const auto refus = verifier(plan)) return echec(*refus);
    if (!liste_annulation.empty()) {
        for (const auto& r : plan)
            if (normal(r.source) == normal(liste_annulation) ||
                normal(r.cible) == normal(liste_annulation))
                return echec("La liste d'annulation " + nom(liste_annulation) +
                             " figure parmi les fichiers à renommer");
    }
    std::vector<EntreeAnnulation> entrees;
    std::set<fs::path> pris;
    for (const auto& r : plan) {
        const fs::path source = normal(r.source), cible = normal(r.cible);
        if (source == cible) continue;
        EntreeAnnulation e{{source, cible},
                           nom_temporaire(source.parent_path(), entrees.size(), pris)};
        if (const auto id = identite(source)) {
            e.peripherique = id->peripherique;
            e.inode = id->inode;
        }
        entrees.push_back(std::move(e));
    }
    ResultatRenommage result;
    if (entrees.empty()) {
        result.ok = true;
        return result;
    }
    if (!liste_annulation.empty()) {
        std::string erreur;
        result.liste = ecrire_liste_nouvelle(normal(liste_annulation),
                                             contenu_liste_annulation(entrees), erreur);
        if (result.liste.empty())
            return echec("Impossible d'écrire la liste d'annulation " + nom(liste_annulation) +
                         " (" + erreur + ") : aucun fichier n'a été renommé");
    }

    std::size_t caches = 0, places = 0;  // files at their temporary name, at their new name
    const auto abandonner = [&](std::string cause, bool interrompu) {
        bool restored = true;
        while (places > 0) {
            --places;
            restored = renommer_sans_ecraser(entrees[places].renommage.cible,
                                             chemin_temporaire(entrees[places])) &&
                       restored;
        }
        while (caches > 0) {
            --caches;
            restored = renommer_sans_ecraser(chemin_temporaire(entrees[caches]),
                                             entrees[caches].renommage.source) &&
                       restored;
        }
        synchroniser_dossiers(entrees);
        ResultatRenommage r = echec(std::move(cause));
        r.interrompu = interrompu;
        if (restored) {
            if (!result.liste.empty()) ::unlink(result.liste.c_str());
            r.message += " : aucun fichier n'a été renommé";
        } else {
            r.liste = result.liste;
            r.message += " ; des fichiers n'ont pas repris leur nom, la liste d'annulation " +
                         nom(result.liste) + " le leur rendra";
        }
        return r;
    };
    for (; caches < entrees.size(); ++caches) {
        if (arret != nullptr && arret->load()) return abandonner("Renommage interrompu", true);
        const EntreeAnnulation& e = entrees[caches];
        if (!renommer_sans_ecraser(e.renommage.source, chemin_temporaire(e)))
            return abandonner("Impossible de renommer " + nom(e.renommage.source) + " (" +
                                  raison_systeme(errno) + ")",
                              false);
    }
    // Every file has left its old name: the quickest way back to a whole state is forward.
    for (; places < entrees.size(); ++places) {
        const EntreeAnnulation& e = entrees[places];
        if (!renommer_sans_ecraser(chemin_temporaire(e), e.renommage.cible))
            return abandonner("Impossible de renommer " + nom(e.renommage.source) + " en " +
                                  nom(e.renommage.cible) + " (" + raison_systeme(errno) + ")",
                              false);
    }
    synchroniser_dossiers(entrees);
    result.ok = true;
    result.renommes = entrees.size();
    return result;
}

std::vector<Renommage> plan_renommage(const std::vector<fs::path>& fichiers,
                                      const ParametresRenommage& p) {
    std::vector<Renommage> plan;
    plan.reserve(fichiers.size());
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        plan.push_back({fichiers[k], fichiers[k].parent_path() / nouveau_nom(p, k)});
    return plan;
}

std::string contenu_liste_annulation(const std::vector<EntreeAnnulation>& entrees) {
    std::string text = std::string(kBom) + std::string(kEntete) + "\r\n";
    for (const auto& e : entrees) {
        text += std::string(kOrigine) + e.renommage.source.string() + "\r\n";
        text += std::string(kTemporaire) + e.temporaire + "\r\n";
        if (e.inode != 0)
            text += std::string(kIdentite) + std::to_string(e.peripherique) + " " +
                    std::to_string(e.inode) + "\r\n";
        text += e.renommage.cible.string() + "\r\n";
    }
    return text;
}

namespace {

std::optional<Identite> lire_identite(std::string_view text) {
    Identite id;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, id.peripherique);
    if (ec != std::errc() || p == end || *p != ' ') return std::nullopt;
    auto [q, ec2] = std::from_chars(p + 1, end, id.inode);
    if (ec2 != std::errc() || q != end) return std::nullopt;
    return id;
}

bool nom_simple(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// The entries of an undo list, relative paths taken from base; nullopt when it is not one.
std::optional<std::vector<EntreeAnnulation>> lire_entrees(std::string_view text,
                                                          const fs::path& base) {
    if (!text.starts_with(kBom) || text.find('\0') != std::string_view::npos) return std::nullopt;
    text.remove_prefix(kBom.size());
    std::vector<EntreeAnnulation> entrees;
    std::optional<std::string> origin, temp;
    std::optional<Identite> id;
    std::set<fs::path> olds, news;
    for (const std::string_view line : decouper_lignes(text)) {
        if (line.starts_with(kOrigine)) {
            if (origin) return std::nullopt;
            origin = std::string(line.substr(kOrigine.size()));
        } else if (line.starts_with(kTemporaire)) {
            temp = std::string(line.substr(kTemporaire.size()));
            if (!origin || !nom_simple(*temp)) return std::nullopt;
        } else if (line.starts_with(kIdentite)) {
            id = lire_identite(line.substr(kIdentite.size()));
            if (!origin || !id) return std::nullopt;
        } else if (!sans_blancs(line).empty() && line.front() != ';') {
            if (!origin || origin->empty()) return std::nullopt;
            const fs::path current = (base / std::string(line)).lexically_normal();
            fs::path old(*origin);
            if (old.is_absolute())
                old = old.lexically_normal();
            else if (nom_simple(*origin))
                old = current.parent_path() / old;
            else
                return std::nullopt;
            if (old.parent_path() != current.parent_path() || !olds.insert(old).second ||
                !news.insert(current).second)
                return std::nullopt;
            EntreeAnnulation e{{old, current}, temp.value_or("")};
            if (id) e.peripherique = id->peripherique, e.inode = id->inode;
            entrees.push_back(std::move(e));
            origin.reset(), temp.reset(), id.reset();
        }
    }
    if (origin) return std::nullopt;
    return entrees;
}

enum class Lieu { Ancien, Temporaire, Nouveau, Absent };

// Where the file of e is now: by its identity when one of its three names still holds it, else
// by which of them exists.
Lieu lieu_actuel(const EntreeAnnulation& e) {
    const fs::path temp = e.temporaire.empty() ? fs::path() : chemin_temporaire(e);
    const std::pair<Lieu, fs::path> names[] = {{Lieu::Temporaire, temp},
                                               {Lieu::Nouveau, e.renommage.cible},
                                               {Lieu::Ancien, e.renommage.source}};
    if (e.inode != 0)
        for (const auto& [lieu, path] : names)
            if (!path.empty() && identite(path) == Identite{e.peripherique, e.inode}) return lieu;
    for (const auto& [lieu, path] : names)
        if (!path.empty() && existe(path)) return lieu;
    return Lieu::Absent;
}

}  // namespace

ResultatRenommage annuler_renommage(const fs::path& liste_annulation) {
    const auto bytes = lire_octets(liste_annulation);
    if (!bytes) return echec("Impossible de lire la liste d'annulation " + nom(liste_annulation));
    const auto lues = lire_entrees(*bytes, normal(liste_annulation).parent_path());
    if (!lues)
        return echec("La liste " + nom(liste_annulation) +
                     " n'est pas une liste d'annulation de renommage");
    std::vector<EntreeAnnulation> entrees = *lues;

    std::vector<Lieu> lieux;
    std::size_t changed = 0;
    std::set<fs::path> occupes;  // names that files of the list hold now
    for (const auto& e : entrees) {
        lieux.push_back(lieu_actuel(e));
        if (lieux.back() == Lieu::Absent)
            return echec("Le fichier " + nom(e.renommage.cible) + " n'existe pas");
        changed += lieux.back() != Lieu::Ancien;
        occupes.insert(lieux.back() == Lieu::Ancien    ? e.renommage.source
                       : lieux.back() == Lieu::Nouveau ? e.renommage.cible
                                                       : chemin_temporaire(e));
    }
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const fs::path& old = entrees[i].renommage.source;
        if (lieux[i] != Lieu::Ancien && existe(old) && !occupes.count(old))
            return echec("Le fichier " + nom(old) + " existe déjà hors de la liste");
    }
    // New names first go to the temporary ones, so that no old name is still taken when the files
    // come back to them.
    std::set<fs::path> pris;
    const auto bloque = [&](const fs::path& from, const fs::path& to) {
        synchroniser_dossiers(entrees);
        return echec("Impossible de renommer " + nom(from) + " en " + nom(to) + " (" +
                     raison_systeme(errno) + ") ; relancez l'annulation une fois la cause levée");
    };
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        EntreeAnnulation& e = entrees[i];
        if (lieux[i] != Lieu::Nouveau) continue;
        if (e.temporaire.empty())
            e.temporaire = nom_temporaire(e.renommage.source.parent_path(), i, pris);
        if (!renommer_sans_ecraser(e.renommage.cible, chemin_temporaire(e)))
            return bloque(e.renommage.cible, chemin_temporaire(e));
        lieux[i] = Lieu::Temporaire;
    }
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const EntreeAnnulation& e = entrees[i];
        if (lieux[i] != Lieu::Temporaire) continue;
        if (!renommer_sans_ecraser(chemin_temporaire(e), e.renommage.source))
            return bloque(chemin_temporaire(e), e.renommage.source);
    }
    synchroniser_dossiers(entrees);
    ::unlink(liste_annulation.c_str());
    ResultatRenommage result;
    result.ok = true;
    result.renommes = changed;
    return result;
}

}  // namespace vellumor::renaming
