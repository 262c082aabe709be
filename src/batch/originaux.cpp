#include "batch/originaux.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <sstream>

#include "common/system_error.h"
#include "common/text_file.h"

namespace vellumor {
namespace fs = std::filesystem;
namespace {

constexpr const char* kEnteteJournal = "Vellumor originaux 1";

std::string entre_guillemets(const fs::path& p) {
    return "« " + p.string() + " »";
}

// Tabs and line ends in a name would break the journal's lines.
std::string echapper(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c == '\\')
            r += "\\\\";
        else if (c == '\t')
            r += "\\t";
        else if (c == '\n')
            r += "\\n";
        else
            r += c;
    }
    return r;
}

std::string desechapper(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            r += s[i];
            continue;
        }
        const char c = s[++i];
        r += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    }
    return r;
}

std::vector<std::string> champs(const std::string& ligne) {
    std::vector<std::string> r;
    std::size_t debut = 0;
    for (;;) {
        const std::size_t tab = ligne.find('\t', debut);
        r.push_back(desechapper(ligne.substr(debut, tab - debut)));
        if (tab == std::string::npos) return r;
        debut = tab + 1;
    }
}

bool ecrire_tout(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= std::size_t(w);
    }
    return true;
}

void synchroniser(const fs::path& p) {
    FileHandle h(::open(p.c_str(), O_RDONLY | O_CLOEXEC));
    if (h.get() >= 0) ::fsync(h.get());
}

// The bytes, mode and modification time of source into the open file vers.
bool copier_dans(const fs::path& source, int vers) {
    FileHandle de(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (de.get() < 0 || ::fstat(de.get(), &st) != 0) return false;
    std::vector<char> tampon(1 << 20);
    for (;;) {
        const ssize_t n = ::read(de.get(), tampon.data(), tampon.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        if (!ecrire_tout(vers, tampon.data(), std::size_t(n))) return false;
    }
    const struct timespec temps[2] = {st.st_atim, st.st_mtim};
    ::futimens(vers, temps);
    return ::fsync(vers) == 0;
}

std::string date_de(std::int64_t ns) {
    const std::time_t t = std::time_t(ns / 1000000000);
    std::tm tm{};
    localtime_r(&t, &tm);
    char texte[32];
    std::strftime(texte, sizeof texte, "%Y-%m-%d %H-%M-%S", &tm);
    return texte;
}

std::int64_t maintenant_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<ExecutionGardee> lire_journal(const fs::path& dossier) {
    const std::optional<std::string> octets = lire_octets(dossier / kJournalOriginaux);
    if (!octets) return std::nullopt;
    std::istringstream in(*octets);
    std::string ligne;
    if (!std::getline(in, ligne) || ligne != kEnteteJournal) return std::nullopt;
    ExecutionGardee e;
    e.dossier = dossier;
    std::map<fs::path, std::size_t> index;
    while (std::getline(in, ligne)) {
        const std::vector<std::string> c = champs(ligne);
        if (c[0] == "operation" && c.size() == 2)
            e.operation = c[1];
        else if (c[0] == "date" && c.size() == 2)
            e.date = c[1];
        else if (c[0] == "debut" && c.size() == 2)
            e.debut_ns = std::stoll(c[1]);
        else if (c[0] == "garde" && c.size() == 3) {
            index[c[1]] = e.pages.size();
            e.pages.push_back({c[1], c[2], std::nullopt});
        } else if (c[0] == "resultat" && c.size() == 5) {
            const auto i = index.find(c[1]);
            if (i != index.end())
                e.pages[i->second].resultat =
                    Empreinte{std::stoull(c[2]), std::uint32_t(std::stoul(c[3])),
                              std::uint32_t(std::stoul(c[4]))};
        }
    }
    return e;
}

std::string ligne_resultat(const fs::path& page, const Empreinte& e) {
    return "resultat\t" + echapper(page.string()) + "\t" + std::to_string(e.taille) + "\t" +
           std::to_string(e.crc) + "\t" + std::to_string(e.adler) + "\n";
}

std::string journal_de(const ExecutionGardee& e) {
    std::string j = std::string(kEnteteJournal) + "\noperation\t" + echapper(e.operation) +
                    "\ndate\t" + e.date + "\ndebut\t" + std::to_string(e.debut_ns) + "\n";
    for (const PageGardee& p : e.pages) {
        j += "garde\t" + echapper(p.page.string()) + "\t" + echapper(p.garde) + "\n";
        if (p.resultat) j += ligne_resultat(p.page, *p.resultat);
    }
    return j;
}

fs::path canonique(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(fs::absolute(p, ec), ec);
    return ec ? fs::absolute(p, ec).lexically_normal() : c;
}

void retirer_dossier_originaux_vide(const fs::path& dossier_pages) {
    std::error_code ec;
    fs::remove(dossier_pages / kDossierOriginaux, ec);  // only when empty
}

}  // namespace

std::optional<Empreinte> empreinte_fichier(const fs::path& fichier) {
    FileHandle h(::open(fichier.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (h.get() < 0 || ::fstat(h.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    Empreinte e;
    e.crc = 0;
    std::vector<char> tampon(1 << 20);
    for (;;) {
        const ssize_t n = ::read(h.get(), tampon.data(), tampon.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        e.taille += std::uint64_t(n);
        e.crc = libdeflate_crc32(e.crc, tampon.data(), std::size_t(n));
        e.adler = libdeflate_adler32(e.adler, tampon.data(), std::size_t(n));
    }
    return e;
}

Originaux::Originaux(std::string operation) : Originaux(std::move(operation), maintenant_ns()) {}

Originaux::Originaux(std::string operation, std::int64_t debut_ns)
    : operation_(std::move(operation)), debut_ns_(debut_ns) {}

bool Originaux::ajouter_ligne(DossierExecution& d, const std::string& ligne, std::string& erreur) {
    if (!ecrire_tout(d.journal.get(), ligne.data(), ligne.size()) ||
        ::fdatasync(d.journal.get()) != 0) {
        erreur = "Le journal des originaux de " + entre_guillemets(d.dossier) +
                 " ne peut pas être écrit : " + raison_systeme(errno);
        return false;
    }
    return true;
}

Originaux::DossierExecution* Originaux::dossier_pour(const fs::path& dossier_pages,
                                                     std::string& erreur) {
    if (auto i = dossiers_.find(dossier_pages); i != dossiers_.end()) return &i->second;
    std::vector<ExecutionGardee> anciennes = executions_gardees(dossier_pages);
    std::error_code ec;
    for (std::size_t i = 0; i + kExecutionsGardees <= anciennes.size(); ++i)
        fs::remove_all(anciennes[i].dossier, ec);

    const fs::path racine = dossier_pages / kDossierOriginaux;
    fs::create_directory(racine, ec);
    const std::string date = date_de(debut_ns_);
    const std::string base = date + " " + operation_;
    fs::path dossier = racine / base;
    for (int n = 2; ::mkdir(dossier.c_str(), 0755) != 0; ++n) {
        if (errno != EEXIST || n > 1000) {
            erreur = "Le dossier des originaux " + entre_guillemets(dossier) +
                     " ne peut pas être créé : " + raison_systeme(errno);
            return nullptr;
        }
        dossier = racine / (base + " (" + std::to_string(n) + ")");
    }
    DossierExecution d;
    d.dossier = dossier;
    d.journal = FileHandle(::open((dossier / kJournalOriginaux).c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644));
    ExecutionGardee entete;
    entete.operation = operation_;
    entete.date = date;
    entete.debut_ns = debut_ns_;
    if (d.journal.get() < 0) {
        erreur = "Le journal des originaux de " + entre_guillemets(dossier) +
                 " ne peut pas être créé : " + raison_systeme(errno);
        return nullptr;
    }
    if (!ajouter_ligne(d, journal_de(entete), erreur)) return nullptr;
    synchroniser(racine);
    return &dossiers_.emplace(dossier_pages, std::move(d)).first->second;
}

bool Originaux::garder(const fs::path& page_donnee, std::string& erreur) {
    const fs::path page = canonique(page_donnee);
    std::lock_guard<std::mutex> l(garde_);
    DossierExecution* d = dossier_pour(page.parent_path(), erreur);
    if (!d) return false;
    // A page listed twice: the first keep is the original.
    if (d->gardees.count(page)) return true;
    const fs::path garde = d->dossier / page.filename();
    if (::link(page.c_str(), garde.c_str()) != 0) {
        const int e = errno;
        // Another file system, or one without hard links: a copy.
        const bool copier = e == EXDEV || e == EPERM || e == ENOTSUP || e == EMLINK;
        FileHandle vers(
            copier ? ::open(garde.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1);
        if (vers.get() < 0 || !copier_dans(page, vers.get())) {
            const int e2 = copier ? errno : e;
            if (vers.get() >= 0) ::unlink(garde.c_str());
            erreur = "L'original de " + entre_guillemets(page) +
                     " ne peut pas être gardé : " + raison_systeme(e2);
            return false;
        }
        struct stat st {};
        if (::stat(page.c_str(), &st) == 0) ::fchmod(vers.get(), st.st_mode & 07777);
    }
    synchroniser(d->dossier);
    if (!ajouter_ligne(
            *d,
            "garde\t" + echapper(page.string()) + "\t" + echapper(page.filename().string()) + "\n",
            erreur)) {
        ::unlink(garde.c_str());
        return false;
    }
    d->gardees.insert(page);
    return true;
}

void Originaux::noter_resultat(const fs::path& page_donnee) {
    const fs::path page = canonique(page_donnee);
    const std::optional<Empreinte> e = empreinte_fichier(page);
    if (!e) return;
    std::lock_guard<std::mutex> l(garde_);
    const auto i = dossiers_.find(page.parent_path());
    if (i == dossiers_.end() || !i->second.gardees.count(page)) return;
    std::string erreur;
    ajouter_ligne(i->second, ligne_resultat(page, *e), erreur);
}

namespace {

// The kept originals of the page's folder that are the page itself: a run killed between keeping a
// page and replacing it leaves the page hard-linked to its kept original.
std::uintmax_t liens_originaux(const fs::path& page) {
    struct stat p {};
    if (::stat(page.c_str(), &p) != 0) return 0;
    std::uintmax_t n = 0;
    for (const ExecutionGardee& e : executions_gardees(page.parent_path())) {
        std::error_code ec;
        for (const auto& f : fs::directory_iterator(e.dossier, ec)) {
            struct stat s {};
            if (::lstat(f.path().c_str(), &s) == 0 && s.st_dev == p.st_dev && s.st_ino == p.st_ino)
                ++n;
        }
    }
    return n;
}

}  // namespace

ReplaceOptions Originaux::options(std::optional<FileIdentity> attendu) {
    ReplaceOptions o;
    o.expected = std::move(attendu);
    o.own_links = liens_originaux;
    o.before_rename = [this](const fs::path& cible, std::string& erreur) {
        return garder(cible, erreur);
    };
    return o;
}

std::string date_lisible(const std::string& date) {
    // "2026-12-08 13-55-02"
    if (date.size() != 19) return date;
    return date.substr(8, 2) + "/" + date.substr(5, 2) + "/" + date.substr(0, 4) + " à " +
           date.substr(11, 2) + ":" + date.substr(14, 2) + ":" + date.substr(17, 2);
}

std::vector<ExecutionGardee> executions_gardees(const fs::path& dossier_pages) {
    std::vector<ExecutionGardee> r;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dossier_pages / kDossierOriginaux, ec))
        if (e.is_directory(ec) && !e.is_symlink(ec))
            if (auto j = lire_journal(e.path())) r.push_back(std::move(*j));
    std::sort(r.begin(), r.end(), [](const ExecutionGardee& a, const ExecutionGardee& b) {
        return std::tie(a.debut_ns, a.dossier) < std::tie(b.debut_ns, b.dossier);
    });
    return r;
}

Restauration restaurer_derniere(const fs::path& dossier_pages) {
    Restauration r;
    std::vector<ExecutionGardee> executions = executions_gardees(dossier_pages);
    if (executions.empty()) {
        r.aucune = true;
        return r;
    }
    r.execution = executions.back();
    ExecutionGardee reste = r.execution;
    reste.pages.clear();
    for (const PageGardee& p : r.execution.pages) {
        const fs::path garde = r.execution.dossier / p.garde;
        const std::optional<Empreinte> originale = empreinte_fichier(garde);
        const std::optional<FileIdentity> identite = identity_of(p.page);
        const std::optional<Empreinte> actuelle = empreinte_fichier(p.page);
        std::string refus;
        if (!originale)
            refus = "L'original de " + entre_guillemets(p.page) +
                    " manque : la page n'est pas restaurée";
        else if (!actuelle || (p.resultat && *actuelle != *p.resultat))
            refus = entre_guillemets(p.page) +
                    " a changé depuis l'opération : la page n'est pas restaurée";
        // Interrupted before its result was noted, the page may still be the original.
        else if (*actuelle != *originale) {
            ReplaceOptions o;
            o.expected = identite;
            const ReplaceResult ecrit = replace_file(
                p.page,
                [&](OutputFile& vers) { return copier_dans(garde, vers.descriptor()); },
                o);
            if (!ecrit) refus = ecrit.message;
        }
        if (refus.empty()) {
            ++r.restaurees;
        } else {
            r.refus.push_back(refus);
            reste.pages.push_back(p);
        }
    }
    std::error_code ec;
    if (reste.pages.empty()) {
        fs::remove_all(r.execution.dossier, ec);
        retirer_dossier_originaux_vide(dossier_pages);
    } else {
        // The refused pages stay, so that a later restore can try them again.
        ecrire_octets_remplacant(r.execution.dossier / kJournalOriginaux, journal_de(reste));
        for (const PageGardee& p : r.execution.pages)
            if (std::none_of(reste.pages.begin(), reste.pages.end(),
                             [&](const PageGardee& q) { return q.garde == p.garde; }))
                fs::remove(r.execution.dossier / p.garde, ec);
    }
    return r;
}

std::optional<int> purger_originaux(const fs::path& dossier_pages, std::string& erreur) {
    int n = 0;
    for (const ExecutionGardee& e : executions_gardees(dossier_pages)) {
        std::error_code ec;
        fs::remove_all(e.dossier, ec);
        if (ec) {
            erreur = "Le dossier " + entre_guillemets(e.dossier) +
                     " ne peut pas être supprimé : " + ec.message();
            return std::nullopt;
        }
        ++n;
    }
    retirer_dossier_originaux_vide(dossier_pages);
    return n;
}

bool est_original_garde(const fs::path& fichier) {
    const fs::path dossier = canonique(fichier).parent_path();
    std::error_code ec;
    return dossier.parent_path().filename() == kDossierOriginaux &&
           fs::exists(dossier / kJournalOriginaux, ec);
}

}  // namespace vellumor
