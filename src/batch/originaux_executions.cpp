#include "batch/originaux_executions.h"

#include <algorithm>
#include <cerrno>

#include "batch/originaux_fichiers.h"
#include "common/system_error.h"

namespace vellumor {
namespace fs = std::filesystem;

Racine ouvrir_racine(const fs::path& dossier_pages) {
    Racine r;
    std::error_code ec;
    r.pages = fs::weakly_canonical(fs::absolute(dossier_pages, ec), ec);
    if (ec) r.pages = fs::absolute(dossier_pages, ec).lexically_normal();
    Resultat<FileHandle> pages = open_folder(r.pages);
    if (!pages) {
        r.refus = "Le dossier " + entre_guillemets(r.pages) +
                  " ne peut pas être ouvert : " + pages.raison();
        return r;
    }
    r.pages_fd = std::move(*pages);
    Ouvert o = ouvrir_sans_lien(r.pages_fd.get(), kDossierOriginaux, r.pages / kDossierOriginaux,
                                true, true);
    if (!o.refus.empty()) {
        r.refus = o.refus;
    } else if (!o) {
        r.absente = o.erreur == ENOENT;
        if (!r.absente)
            r.refus = "Le dossier " + entre_guillemets(r.pages / kDossierOriginaux) +
                      " ne peut pas être ouvert : " + raison_systeme(o.erreur);
    } else {
        r.racine_fd = std::move(o.fd);
    }
    return r;
}

Inventaire lire_executions(const Racine& r) {
    Inventaire inv;
    if (!r.refus.empty()) inv.refus.push_back(r.refus);
    if (r.racine_fd.get() < 0) return inv;
    const fs::path racine = r.pages / kDossierOriginaux;
    for (const std::string& nom : subfolder_names(r.racine_fd.get())) {
        const fs::path chemin = racine / nom;
        Ouvert dossier = ouvrir_sans_lien(r.racine_fd.get(), nom, chemin, true, true);
        // A folder of the user's own without a journal is not a run: left alone.
        Ouvert journal;
        if (dossier)
            journal = ouvrir_sans_lien(dossier.fd.get(), kJournalOriginaux,
                                       chemin / kJournalOriginaux, false, true);
        if (dossier && !journal && journal.refus.empty()) continue;
        if (!dossier.refus.empty() || !journal.refus.empty()) {
            inv.refus.push_back(dossier.refus.empty() ? journal.refus : dossier.refus);
            continue;
        }
        if (!dossier) continue;
        const Resultat<std::string> texte = read_all(journal.fd.get(), kTailleMaxJournal);
        JournalLu lu = texte ? lire_journal(*texte, r.pages) : JournalLu{};
        if (!lu.execution) {
            inv.refus.push_back("Le journal " + entre_guillemets(chemin / kJournalOriginaux) +
                                " est illisible" +
                                (lu.erreur.empty() ? "" : " (" + lu.erreur + ")"));
            continue;
        }
        lu.execution->dossier = chemin;
        lu.execution->en_cours = !is_unlocked(dossier.fd.get());
        inv.executions.push_back(std::move(*lu.execution));
    }
    std::sort(inv.executions.begin(), inv.executions.end(),
              [](const ExecutionGardee& a, const ExecutionGardee& b) {
                  return std::tie(a.debut_ns, a.dossier) < std::tie(b.debut_ns, b.dossier);
              });
    return inv;
}

void elaguer(const Racine& r, std::size_t garder) {
    std::vector<ExecutionGardee> finies;
    for (ExecutionGardee& e : lire_executions(r).executions)
        if (!e.en_cours) finies.push_back(std::move(e));
    for (std::size_t i = 0; i + garder < finies.size(); ++i) {
        const std::string nom = finies[i].dossier.filename().string();
        Ouvert d = ouvrir_sans_lien(r.racine_fd.get(), nom, finies[i].dossier, true, true);
        // Held while it goes, so that no restore starts on it meanwhile.
        if (d && lock_now(d.fd.get())) (void)remove_folder_and_files(r.racine_fd.get(), nom);
    }
}

Inventaire inventaire_originaux(const fs::path& dossier_pages) {
    return lire_executions(ouvrir_racine(dossier_pages));
}

std::vector<ExecutionGardee> executions_gardees(const fs::path& dossier_pages) {
    return inventaire_originaux(dossier_pages).executions;
}

Resultat<int> purger_originaux(const fs::path& dossier_pages) {
    const Racine r = ouvrir_racine(dossier_pages);
    const Inventaire inv = lire_executions(r);
    if (!inv.refus.empty()) return Echec{inv.refus.front() + " : rien n'est supprimé"};
    int n = 0;
    for (const ExecutionGardee& e : inv.executions) {
        const std::string nom = e.dossier.filename().string();
        Ouvert d = ouvrir_sans_lien(r.racine_fd.get(), nom, e.dossier, true, true);
        if (!d || !lock_now(d.fd.get()))
            return Echec{"L'opération gardée dans " + entre_guillemets(e.dossier) +
                         " est en cours : elle n'est pas supprimée"};
        if (const Verdict v = remove_folder_and_files(r.racine_fd.get(), nom); !v)
            return Echec{"Le dossier " + entre_guillemets(e.dossier) +
                         " ne peut pas être supprimé : " + v.raison()};
        ++n;
    }
    // Only when empty: a folder of the user's own in it stays.
    if (r.racine_fd.is_open()) (void)remove_empty_folder(r.pages_fd.get(), kDossierOriginaux);
    return n;
}

std::string texte_originaux_gardes(const fs::path& dossier_execution) {
    return "Originaux gardés dans " + entre_guillemets(dossier_execution);
}

std::string date_lisible(const std::string& date) {
    // "2026-12-08 13-55-02"
    if (date.size() != 19) return date;
    return date.substr(8, 2) + "/" + date.substr(5, 2) + "/" + date.substr(0, 4) + " à " +
           date.substr(11, 2) + ":" + date.substr(14, 2) + ":" + date.substr(17, 2);
}

bool est_original_garde(const fs::path& fichier) {
    std::error_code ec;
    const fs::path dossier = fs::weakly_canonical(fs::absolute(fichier, ec), ec).parent_path();
    return dossier.parent_path().filename() == kDossierOriginaux &&
           fs::exists(dossier / kJournalOriginaux, ec);
}

}  // namespace vellumor
