#include "batch/originaux.h"

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
// page and replacing it leaves the page hard-linked to its kept original, and one killed between
// keeping it and noting it in its journal leaves it so under the page's own name, unlisted.
std::uintmax_t liens_originaux(const fs::path& page) {
    const std::optional<FileStatus> p = status_of(page);
    if (!p) return 0;
    const Racine r = ouvrir_racine(page.parent_path());
    std::uintmax_t n = 0;
    for (const ExecutionGardee& e : lire_executions(r).executions) {
        Ouvert d = ouvrir_sans_lien(r.racine_fd.get(), e.dossier.filename().string(), e.dossier,
                                    true, true);
        if (!d) continue;
        std::set<std::string> noms{page.filename().string()};
        for (const PageGardee& g : e.pages) noms.insert(g.nom);
        for (const std::string& nom : noms) {
            const std::optional<FileStatus> s = status_no_follow(d.fd.get(), nom);
            if (s && s->same_file(*p)) ++n;
        }
    }
    return n;
}

// A copy of the page nom of pages as nom in execution (where no hard link can be made).
Verdict copier_page(int pages, int execution, const std::string& nom, const fs::path& page) {
    const Ouvert de = ouvrir_sans_lien(pages, nom, page, false, false);
    if (!de) return Echec{raison_systeme(de.erreur != 0 ? de.erreur : EINVAL)};
    Resultat<FileHandle> vers = create_file(execution, nom, 0600);
    if (!vers) return Echec{vers.raison()};
    const Verdict copie = copy_file_into(de.fd.get(), vers->get());
    if (!copie) (void)remove_name(execution, nom);
    return copie;
}

}  // namespace

Originaux::Originaux(std::string operation) : Originaux(std::move(operation), maintenant_ns()) {}

Originaux::Originaux(std::string operation, std::int64_t debut_ns)
    : operation_(std::move(operation)), debut_ns_(debut_ns) {}

Originaux::~Originaux() {
    terminer();
}

Verdict Originaux::refus_avant_execution(const std::vector<fs::path>& pages) {
    std::set<fs::path> dossiers;
    for (const fs::path& p : pages) dossiers.insert(canonique(p).parent_path());
    for (const fs::path& d : dossiers) {
        const Racine r = ouvrir_racine(d);
        if (!r.refus.empty()) return Echec{refus_de_garde(r.refus)};
    }
    return Reussite{};
}

Verdict Originaux::ajouter_ligne(DossierExecution& d, const std::string& ligne) {
    Verdict ecrit = write_all(d.journal.get(), ligne);
    if (ecrit) ecrit = sync_data(d.journal.get());
    if (!ecrit)
        return Echec{"Le journal des originaux de " + entre_guillemets(d.dossier) +
                     " ne peut pas être écrit : " + ecrit.raison()};
    return Reussite{};
}

Resultat<Originaux::DossierExecution*> Originaux::dossier_pour(const fs::path& dossier_pages) {
    if (auto i = dossiers_.find(dossier_pages); i != dossiers_.end()) return &i->second;
    Racine r = ouvrir_racine(dossier_pages);
    if (r.absente) {
        if (const Verdict v = make_folder(r.pages_fd.get(), kDossierOriginaux, 0755);
            !v && errno != EEXIST)
            return Echec{"Le dossier " + entre_guillemets(r.pages / kDossierOriginaux) +
                         " ne peut pas être créé : " + v.raison()};
        r = ouvrir_racine(dossier_pages);
    }
    if (!r.refus.empty() || !r.racine_fd.is_open())
        return Echec{refus_de_garde(r.refus.empty() ? entre_guillemets(r.pages / kDossierOriginaux)
                                                    : r.refus)};
    elaguer(r, std::size_t(kExecutionsGardees - 1));

    const fs::path racine = r.pages / kDossierOriginaux;
    const std::string date = date_de(debut_ns_);
    const std::string base = date + " " + operation_;
    std::string nom = base;
    for (int n = 2;; ++n) {
        const Verdict fait = make_folder(r.racine_fd.get(), nom, 0755);
        if (fait) break;
        if (errno != EEXIST || n > 1000)
            return Echec{"Le dossier des originaux " + entre_guillemets(racine / nom) +
                         " ne peut pas être créé : " + fait.raison()};
        nom = base + " (" + std::to_string(n) + ")";
    }
    DossierExecution d;
    d.dossier = racine / nom;
    Ouvert o = ouvrir_sans_lien(r.racine_fd.get(), nom, d.dossier, true, true);
    // Locked before the journal appears: until then no other process takes it for a run.
    if (!o || !lock_now(o.fd.get()))
        return Echec{refus_de_garde(o.refus.empty() ? entre_guillemets(d.dossier) : o.refus)};
    d.execution = std::move(o.fd);
    Resultat<FileHandle> journal = create_file(d.execution.get(), kJournalOriginaux, 0644, true);
    if (!journal)
        return Echec{"Le journal des originaux de " + entre_guillemets(d.dossier) +
                     " ne peut pas être créé : " + journal.raison()};
    d.journal = std::move(*journal);
    if (const Verdict v = ajouter_ligne(d, entete_journal(operation_, date, debut_ns_)); !v)
        return Echec{v.raison()};
    // The run folder's name reaches the disk; a failure there shows when a page's is synced.
    (void)sync_folder(r.racine_fd.get());
    d.pages = std::move(r.pages_fd);
    return &dossiers_.emplace(dossier_pages, std::move(d)).first->second;
}

Verdict Originaux::garder(const fs::path& page_donnee) {
    const fs::path page = canonique(page_donnee);
    const std::string nom = page.filename().string();
    std::lock_guard<std::mutex> l(garde_);
    const Resultat<DossierExecution*> trouve = dossier_pour(page.parent_path());
    if (!trouve) return Echec{trouve.raison()};
    DossierExecution* d = *trouve;
    // A page listed twice: the first keep is the original.
    if (d->gardees.count(nom)) return Reussite{};
    if (const Verdict lien = link_name(d->pages.get(), nom, d->execution.get(), nom); !lien) {
        // Another file system, or one without hard links: a copy.
        const bool copier = errno == EXDEV || errno == EPERM || errno == ENOTSUP || errno == EMLINK;
        Verdict copie = lien;
        if (copier) copie = copier_page(d->pages.get(), d->execution.get(), nom, page);
        if (!copie)
            return Echec{"L'original de " + entre_guillemets(page) +
                         " ne peut pas être gardé : " + copie.raison()};
    }
    // The kept original's name reaches the disk before the page is replaced.
    (void)sync_folder(d->execution.get());
    if (const Verdict v = ajouter_ligne(*d, ligne_garde(nom)); !v) {
        (void)remove_name(d->execution.get(), nom);
        return v;
    }
    d->gardees.insert(nom);
    return Reussite{};
}

void Originaux::noter_resultat(const fs::path& page_donnee) {
    const fs::path page = canonique(page_donnee);
    const std::string nom = page.filename().string();
    std::lock_guard<std::mutex> l(garde_);
    const auto i = dossiers_.find(page.parent_path());
    if (i == dossiers_.end() || !i->second.gardees.count(nom)) return;
    const Ouvert o = ouvrir_sans_lien(i->second.pages.get(), nom, page, false, false);
    if (!o) return;
    // A result not noted only makes a later restore compare the page with its original.
    if (const Resultat<Empreinte> e = empreinte_de(o.fd.get()))
        (void)ajouter_ligne(i->second, ligne_resultat(nom, *e));
}

void Originaux::terminer() {
    std::lock_guard<std::mutex> l(garde_);
    if (dossiers_.empty()) return;
    termines_.clear();
    for (auto& [pages, d] : dossiers_) {
        // A run folder whose end is not noted is still free once its lock goes: a restore takes
        // it all the same.
        (void)ajouter_ligne(d, ligne_fin());
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
        const Verdict v = garder(cible);
        if (!v) erreur = v.raison();
        return v.ok();
    };
    return o;
}

}  // namespace vellumor
