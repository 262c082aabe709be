#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "batch/originaux.h"
#include "batch/originaux_executions.h"
#include "batch/originaux_fichiers.h"
#include "common/system_error.h"

namespace vellumor {
namespace fs = std::filesystem;
namespace {

// The name a kept original takes in the pages folder before it is renamed over the page.
constexpr const char* kTemporaire = ".vellumor-restauration.tmp";

struct Contexte {
    int pages = -1, execution = -1, journal = -1;
    fs::path dossier_pages;
};

bool meme_fichier(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Puts the kept original back at its name: a link to it, or a copy on another file system, made
// under a hidden name and renamed over the page. errno tells why it failed.
bool remettre(const Contexte& c, const std::string& nom, int original) {
    ::unlinkat(c.pages, kTemporaire, 0);
    if (::linkat(c.execution, nom.c_str(), c.pages, kTemporaire, 0) != 0) {
        if (errno != EXDEV && errno != EPERM && errno != ENOTSUP && errno != EMLINK) return false;
        FileHandle vers(::openat(c.pages, kTemporaire,
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (vers.get() < 0) return false;
        if (!copier_dans(original, vers.get())) {
            const int e = errno;
            ::unlinkat(c.pages, kTemporaire, 0);
            errno = e;
            return false;
        }
    }
    if (::renameat(c.pages, kTemporaire, c.pages, nom.c_str()) != 0) {
        const int e = errno;
        ::unlinkat(c.pages, kTemporaire, 0);
        errno = e;
        return false;
    }
    synchroniser(c.pages);
    return true;
}

// Empty when the page is back (or already was), else why it was left as it is.
std::string restaurer_page(const Contexte& c, const PageGardee& p) {
    const fs::path chemin = c.dossier_pages / p.nom;
    const std::string page = entre_guillemets(chemin);
    Ouvert original = ouvrir_sans_lien(c.execution, p.nom, chemin, false, false);
    if (!original)
        return "L'original de " + page + " manque (" +
               (original.refus.empty() ? raison_systeme(original.erreur) : original.refus) +
               ") : la page n'est pas restaurée";
    Ouvert actuelle = ouvrir_sans_lien(c.pages, p.nom, chemin, false, false);
    if (!actuelle)
        return page + " n'est pas restaurée : " +
               (actuelle.refus.empty() ? raison_systeme(actuelle.erreur) : actuelle.refus);
    // The lock the operations take on a page they work on.
    if (!verrouiller(actuelle.fd.get()))
        return page +
               " est en cours de traitement par un autre Vellumor : la page n'est pas "
               "restaurée";
    if (meme_fichier(actuelle.st, original.st)) return {};
    const std::optional<Empreinte> maintenant = empreinte_de(actuelle.fd.get());
    const std::optional<Empreinte> avant = empreinte_de(original.fd.get());
    if (!maintenant || !avant) return page + " n'est pas restaurée : " + raison_systeme(errno);
    if (*maintenant == *avant) return {};
    // Interrupted before its result was noted, the page may still be what the run wrote.
    if (p.resultat && *maintenant != *p.resultat)
        return page + " a changé depuis l'opération : la page n'est pas restaurée";
    if (!remettre(c, p.nom, original.fd.get()))
        return page + " n'est pas restaurée : " + raison_systeme(errno);
    return {};
}

}  // namespace

Restauration restaurer_derniere(const fs::path& dossier_pages) {
    Restauration r;
    const Racine racine = ouvrir_racine(dossier_pages);
    Inventaire inv = lire_executions(racine);
    if (!inv.refus.empty()) {
        for (const std::string& refus : inv.refus)
            r.refus.push_back(refus + " : rien n'est restauré");
        return r;
    }
    if (inv.executions.empty()) {
        r.aucune = true;
        return r;
    }
    r.execution = inv.executions.back();
    const std::string nom = r.execution.dossier.filename().string();
    Ouvert execution =
        ouvrir_sans_lien(racine.racine_fd.get(), nom, r.execution.dossier, true, true);
    Ouvert journal;
    if (execution)
        journal = ouvrir_sans_lien(execution.fd.get(), kJournalOriginaux,
                                   r.execution.dossier / kJournalOriginaux, false, true);
    if (!execution || !verrouiller(execution.fd.get())) {
        r.refus.push_back("L'opération " + r.execution.operation + " du " +
                          date_lisible(r.execution.date) +
                          " est encore en cours (un autre Vellumor) : rien n'est restauré");
        return r;
    }
    FileHandle ajout(journal ? ::openat(execution.fd.get(), kJournalOriginaux,
                                        O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC)
                             : -1);
    const Contexte c{racine.pages_fd.get(), execution.fd.get(), ajout.get(), racine.pages};
    std::vector<std::string> notees;  // restored, and the journal says so
    for (const PageGardee& p : r.execution.pages) {
        std::string refus = restaurer_page(c, p);
        if (!refus.empty()) {
            r.refus.push_back(std::move(refus));
            continue;
        }
        ++r.restaurees;
        // Noted as it goes, so that a restore killed half-way takes up where it was.
        if (c.journal >= 0 && ecrire_tout(c.journal, ligne_restauree(p.nom)) &&
            ::fdatasync(c.journal) == 0)
            notees.push_back(p.nom);
    }
    if (r.refus.empty()) {
        if (!retirer_dossier(racine.racine_fd.get(), nom))
            r.refus.push_back("Les pages sont restaurées, mais le dossier " +
                              entre_guillemets(r.execution.dossier) +
                              " ne peut pas être supprimé : " + raison_systeme(errno));
        // Only when empty: a folder of the user's own in it stays.
        ::unlinkat(racine.pages_fd.get(), kDossierOriginaux, AT_REMOVEDIR);
    } else {
        // The refused pages stay for a later restore; the kept copies of the others go.
        for (const std::string& n : notees) ::unlinkat(c.execution, n.c_str(), 0);
    }
    return r;
}

}  // namespace vellumor
