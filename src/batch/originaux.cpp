#include "batch/originaux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

#include "batch/originaux_executions.h"
#include "batch/originaux_fichiers.h"
#include "common/system_error.h"

namespace vellumor {
namespace fs = std::filesystem;
namespace {

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

fs::path canonique(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(fs::absolute(p, ec), ec);
    return ec ? fs::absolute(p, ec).lexically_normal() : c;
}

std::string refus_de_garde(const std::string& raison) {
    return raison + " : les originaux ne peuvent pas y être gardés, aucune page n'est remplacée";
}

// The kept originals of the page's folder that are the page itself: a run killed between keeping a
// page and replacing it leaves the page hard-linked to its kept original.
std::uintmax_t liens_originaux(const fs::path& page) {
    struct stat p {};
    if (::stat(page.c_str(), &p) != 0) return 0;
    const Racine r = ouvrir_racine(page.parent_path());
    std::uintmax_t n = 0;
    for (const ExecutionGardee& e : lire_executions(r).executions) {
        Ouvert d = ouvrir_sans_lien(r.racine_fd.get(), e.dossier.filename().string(), e.dossier,
                                    true, true);
        for (const PageGardee& g : e.pages) {
            struct stat s {};
            if (d && ::fstatat(d.fd.get(), g.nom.c_str(), &s, AT_SYMLINK_NOFOLLOW) == 0 &&
                s.st_dev == p.st_dev && s.st_ino == p.st_ino)
                ++n;
        }
    }
    return n;
}

}  // namespace

std::optional<Empreinte> empreinte_fichier(const fs::path& fichier) {
    const OpenResult o = open_regular_file(fichier);
    if (!o) return std::nullopt;
    return empreinte_de(o.file->handle.get());
}

Originaux::Originaux(std::string operation) : Originaux(std::move(operation), maintenant_ns()) {}

Originaux::Originaux(std::string operation, std::int64_t debut_ns)
    : operation_(std::move(operation)), debut_ns_(debut_ns) {}

Originaux::~Originaux() {
    terminer();
}

std::optional<std::string> Originaux::refus_avant_execution(const std::vector<fs::path>& pages) {
    std::set<fs::path> dossiers;
    for (const fs::path& p : pages) dossiers.insert(canonique(p).parent_path());
    for (const fs::path& d : dossiers) {
        const Racine r = ouvrir_racine(d);
        if (!r.refus.empty()) return refus_de_garde(r.refus);
    }
    return std::nullopt;
}

bool Originaux::ajouter_ligne(DossierExecution& d, const std::string& ligne, std::string& erreur) {
    if (!ecrire_tout(d.journal.get(), ligne) || ::fdatasync(d.journal.get()) != 0) {
        erreur = "Le journal des originaux de " + entre_guillemets(d.dossier) +
                 " ne peut pas être écrit : " + raison_systeme(errno);
        return false;
    }
    return true;
}

Originaux::DossierExecution* Originaux::dossier_pour(const fs::path& dossier_pages,
                                                     std::string& erreur) {
    if (auto i = dossiers_.find(dossier_pages); i != dossiers_.end()) return &i->second;
    Racine r = ouvrir_racine(dossier_pages);
    if (r.absente) {
        if (::mkdirat(r.pages_fd.get(), kDossierOriginaux, 0755) != 0 && errno != EEXIST) {
            erreur = "Le dossier " + entre_guillemets(r.pages / kDossierOriginaux) +
                     " ne peut pas être créé : " + raison_systeme(errno);
            return nullptr;
        }
        r = ouvrir_racine(dossier_pages);
    }
    if (!r.refus.empty() || r.racine_fd.get() < 0) {
        erreur = refus_de_garde(r.refus.empty() ? entre_guillemets(r.pages / kDossierOriginaux)
                                                : r.refus);
        return nullptr;
    }
    elaguer(r, std::size_t(kExecutionsGardees - 1));

    const fs::path racine = r.pages / kDossierOriginaux;
    const std::string date = date_de(debut_ns_);
    const std::string base = date + " " + operation_;
    std::string nom = base;
    for (int n = 2; ::mkdirat(r.racine_fd.get(), nom.c_str(), 0755) != 0; ++n) {
        if (errno != EEXIST || n > 1000) {
            erreur = "Le dossier des originaux " + entre_guillemets(racine / nom) +
                     " ne peut pas être créé : " + raison_systeme(errno);
            return nullptr;
        }
        nom = base + " (" + std::to_string(n) + ")";
    }
    DossierExecution d;
    d.dossier = racine / nom;
    Ouvert o = ouvrir_sans_lien(r.racine_fd.get(), nom, d.dossier, true, true);
    // Locked before the journal appears: until then no other process takes it for a run.
    if (!o || !verrouiller(o.fd.get())) {
        erreur = refus_de_garde(o.refus.empty() ? entre_guillemets(d.dossier) : o.refus);
        return nullptr;
    }
    d.execution = std::move(o.fd);
    d.journal =
        FileHandle(::openat(d.execution.get(), kJournalOriginaux,
                            O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (d.journal.get() < 0) {
        erreur = "Le journal des originaux de " + entre_guillemets(d.dossier) +
                 " ne peut pas être créé : " + raison_systeme(errno);
        return nullptr;
    }
    if (!ajouter_ligne(d, entete_journal(operation_, date, debut_ns_), erreur)) return nullptr;
    synchroniser(r.racine_fd.get());
    d.pages = std::move(r.pages_fd);
    return &dossiers_.emplace(dossier_pages, std::move(d)).first->second;
}

bool Originaux::garder(const fs::path& page_donnee, std::string& erreur) {
    const fs::path page = canonique(page_donnee);
    const std::string nom = page.filename().string();
    std::lock_guard<std::mutex> l(garde_);
    DossierExecution* d = dossier_pour(page.parent_path(), erreur);
    if (!d) return false;
    // A page listed twice: the first keep is the original.
    if (d->gardees.count(nom)) return true;
    if (::linkat(d->pages.get(), nom.c_str(), d->execution.get(), nom.c_str(), 0) != 0) {
        const int e = errno;
        // Another file system, or one without hard links: a copy.
        const bool copier = e == EXDEV || e == EPERM || e == ENOTSUP || e == EMLINK;
        Ouvert de;
        if (copier) de = ouvrir_sans_lien(d->pages.get(), nom, page, false, false);
        FileHandle vers(copier && de
                            ? ::openat(d->execution.get(), nom.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                            : -1);
        if (vers.get() < 0 || !copier_dans(de.fd.get(), vers.get())) {
            const int e2 = copier ? errno : e;
            if (vers.get() >= 0) ::unlinkat(d->execution.get(), nom.c_str(), 0);
            erreur = "L'original de " + entre_guillemets(page) +
                     " ne peut pas être gardé : " + raison_systeme(e2);
            return false;
        }
    }
    synchroniser(d->execution.get());
    if (!ajouter_ligne(*d, ligne_garde(nom), erreur)) {
        ::unlinkat(d->execution.get(), nom.c_str(), 0);
        return false;
    }
    d->gardees.insert(nom);
    return true;
}

void Originaux::noter_resultat(const fs::path& page_donnee) {
    const fs::path page = canonique(page_donnee);
    const std::string nom = page.filename().string();
    std::lock_guard<std::mutex> l(garde_);
    const auto i = dossiers_.find(page.parent_path());
    if (i == dossiers_.end() || !i->second.gardees.count(nom)) return;
    const Ouvert o = ouvrir_sans_lien(i->second.pages.get(), nom, page, false, false);
    const std::optional<Empreinte> e = o ? empreinte_de(o.fd.get()) : std::nullopt;
    std::string erreur;
    if (e) ajouter_ligne(i->second, ligne_resultat(nom, *e), erreur);
}

void Originaux::terminer() {
    std::lock_guard<std::mutex> l(garde_);
    if (dossiers_.empty()) return;
    termines_.clear();
    for (auto& [pages, d] : dossiers_) {
        std::string erreur;
        ajouter_ligne(d, ligne_fin(), erreur);
        termines_.push_back(d.dossier);
    }
    // Closing the run folders releases their locks.
    dossiers_.clear();
}

std::vector<fs::path> Originaux::dossiers() const {
    std::lock_guard<std::mutex> l(garde_);
    if (dossiers_.empty()) return termines_;
    std::vector<fs::path> r;
    for (const auto& [pages, d] : dossiers_) r.push_back(d.dossier);
    return r;
}

ReplaceOptions Originaux::options(std::optional<FileIdentity> attendu) {
    ReplaceOptions o;
    o.expected = std::move(attendu);
    o.own_links = liens_originaux;
    o.before_rename = [this](const fs::path& cible, std::string& erreur) {
        return garder(cible, erreur);
    };
    return o;
}

}  // namespace vellumor
