#include "batch/originaux_executions.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "batch/originaux_fichiers.h"
#include "common/system_error.h"

namespace vellumor {
namespace fs = std::filesystem;
namespace {

std::vector<std::string> sous_dossiers(int fd) {
    std::vector<std::string> r;
    const int copie = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copie < 0) return r;
    DIR* d = ::fdopendir(copie);
    if (!d) {
        ::close(copie);
        return r;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != ".." &&
            (e->d_type == DT_DIR || e->d_type == DT_LNK || e->d_type == DT_UNKNOWN))
            r.push_back(n);
    }
    ::closedir(d);
    std::sort(r.begin(), r.end());
    return r;
}

}  // namespace

std::string entre_guillemets(const fs::path& p) {
    return "« " + p.string() + " »";
}

Racine ouvrir_racine(const fs::path& dossier_pages) {
    Racine r;
    std::error_code ec;
    r.pages = fs::weakly_canonical(fs::absolute(dossier_pages, ec), ec);
    if (ec) r.pages = fs::absolute(dossier_pages, ec).lexically_normal();
    r.pages_fd = FileHandle(::open(r.pages.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (r.pages_fd.get() < 0) {
        r.refus = "Le dossier " + entre_guillemets(r.pages) +
                  " ne peut pas être ouvert : " + raison_systeme(errno);
        return r;
    }
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
    for (const std::string& nom : sous_dossiers(r.racine_fd.get())) {
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
        const std::optional<std::string> texte = lire_tout(journal.fd.get(), kTailleMaxJournal);
        JournalLu lu = texte ? lire_journal(*texte, r.pages) : JournalLu{};
        if (!lu.execution) {
            inv.refus.push_back("Le journal " + entre_guillemets(chemin / kJournalOriginaux) +
                                " est illisible" +
                                (lu.erreur.empty() ? "" : " (" + lu.erreur + ")"));
            continue;
        }
        lu.execution->dossier = chemin;
        lu.execution->en_cours = !est_libre(dossier.fd.get());
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
        if (d && verrouiller(d.fd.get())) retirer_dossier(r.racine_fd.get(), nom);
    }
}

Inventaire inventaire_originaux(const fs::path& dossier_pages) {
    return lire_executions(ouvrir_racine(dossier_pages));
}

std::vector<ExecutionGardee> executions_gardees(const fs::path& dossier_pages) {
    return inventaire_originaux(dossier_pages).executions;
}

std::optional<int> purger_originaux(const fs::path& dossier_pages, std::string& erreur) {
    const Racine r = ouvrir_racine(dossier_pages);
    const Inventaire inv = lire_executions(r);
    if (!inv.refus.empty()) {
        erreur = inv.refus.front() + " : rien n'est supprimé";
        return std::nullopt;
    }
    int n = 0;
    for (const ExecutionGardee& e : inv.executions) {
        const std::string nom = e.dossier.filename().string();
        Ouvert d = ouvrir_sans_lien(r.racine_fd.get(), nom, e.dossier, true, true);
        if (!d || !verrouiller(d.fd.get())) {
            erreur = "L'opération gardée dans " + entre_guillemets(e.dossier) +
                     " est en cours : elle n'est pas supprimée";
            return std::nullopt;
        }
        if (!retirer_dossier(r.racine_fd.get(), nom)) {
            erreur = "Le dossier " + entre_guillemets(e.dossier) +
                     " ne peut pas être supprimé : " + raison_systeme(errno);
            return std::nullopt;
        }
        ++n;
    }
    // Only when empty: a folder of the user's own in it stays.
    if (r.racine_fd.get() >= 0) ::unlinkat(r.pages_fd.get(), kDossierOriginaux, AT_REMOVEDIR);
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
