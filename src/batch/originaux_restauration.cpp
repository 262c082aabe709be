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

// Puts the kept original back at its name: a link to it, or a copy on another file system, made
// under a hidden name and renamed over the page.
Verdict remettre(const Contexte& c, const std::string& nom, int original) {
    (void)remove_name(c.pages, kTemporaire);  // left by an interrupted restore, or absent
    if (const Verdict lien = link_name(c.execution, nom, c.pages, kTemporaire); !lien) {
        if (errno != EXDEV && errno != EPERM && errno != ENOTSUP && errno != EMLINK) return lien;
        Resultat<FileHandle> vers = create_file(c.pages, kTemporaire, 0600);
        if (!vers) return Echec{vers.raison()};
        if (const Verdict copie = copy_file_into(original, vers->get()); !copie) {
            (void)remove_name(c.pages, kTemporaire);
            return copie;
        }
    }
    if (const Verdict v = rename_name(c.pages, kTemporaire, nom); !v) {
        (void)remove_name(c.pages, kTemporaire);
        return v;
    }
    // The page's name reaches the disk; the restore is noted in the journal right after.
    (void)sync_folder(c.pages);
    return Reussite{};
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
    if (!lock_now(actuelle.fd.get()))
        return page +
               " est en cours de traitement par un autre Vellumor : la page n'est pas "
               "restaurée";
    if (actuelle.st.same_file(original.st)) return {};
    const Resultat<Empreinte> maintenant = empreinte_de(actuelle.fd.get());
    if (!maintenant) return page + " n'est pas restaurée : " + maintenant.raison();
    const Resultat<Empreinte> avant = empreinte_de(original.fd.get());
    if (!avant) return page + " n'est pas restaurée : " + avant.raison();
    if (*maintenant == *avant) return {};
    // Interrupted before its result was noted, the page may still be what the run wrote.
    if (p.resultat && *maintenant != *p.resultat)
        return page + " a changé depuis l'opération : la page n'est pas restaurée";
    if (const Verdict v = remettre(c, p.nom, original.fd.get()); !v)
        return page + " n'est pas restaurée : " + v.raison();
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
    if (!execution || !lock_now(execution.fd.get())) {
        r.refus.push_back("L'opération " + r.execution.operation + " du " +
                          date_lisible(r.execution.date) +
                          " est encore en cours (un autre Vellumor) : rien n'est restauré");
        return r;
    }
    FileHandle ajout;
    if (journal) {
        Resultat<FileHandle> ouvert = open_for_append(execution.fd.get(), kJournalOriginaux);
        // Without it the restore goes on; a restore killed half-way then starts from the top.
        if (ouvert) ajout = std::move(*ouvert);
    }
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
        if (c.journal >= 0 && write_all(c.journal, ligne_restauree(p.nom)) && sync_data(c.journal))
            notees.push_back(p.nom);
    }
    if (r.refus.empty()) {
        if (const Verdict v = remove_folder_and_files(racine.racine_fd.get(), nom); !v)
            r.refus.push_back("Les pages sont restaurées, mais le dossier " +
                              entre_guillemets(r.execution.dossier) +
                              " ne peut pas être supprimé : " + v.raison());
        // Only when empty: a folder of the user's own in it stays.
        (void)remove_empty_folder(racine.pages_fd.get(), kDossierOriginaux);
    } else {
        // The refused pages stay for a later restore; the kept copies of the others go.
        for (const std::string& n : notees) (void)remove_name(c.execution, n);
    }
    return r;
}

}  // namespace vellumor
