#include "ops/renaming/disk_rename.h"

#include <cerrno>
#include <map>
#include <memory>
#include <set>

#include "common/system_error.h"
#include "ops/renaming/new_list_file.h"
#include "ops/renaming/rename_system.h"

namespace vellumor::renaming {
namespace {

namespace fs = std::filesystem;

Verdict verifier(const std::vector<Renommage>& plan) {
    std::set<fs::path> sources, targets;
    std::set<Identite> files;
    for (const auto& r : plan) {
        std::error_code ec;
        if (!fs::is_regular_file(r.source, ec))
            return Echec{"Le fichier " + entre_guillemets(r.source) + " n'existe pas"};
        // Two hard links of one file are one file listed twice.
        const DossierRenommage d(r.source.parent_path());
        const auto id = d.identite(r.source.filename().string());
        if (!sources.insert(normal(r.source)).second || (id && !files.insert(*id).second))
            return Echec{"Le fichier " + entre_guillemets(r.source) +
                         " figure deux fois dans la liste"};
        const std::string name = r.cible.filename().string();
        if (name.empty() || name == "." || name == ".." ||
            r.cible.parent_path() != r.source.parent_path())
            return Echec{"Le nouveau nom de " + entre_guillemets(r.source) +
                         " n'est pas un nom de fichier"};
        const std::string both = r.source.string() + r.cible.string();
        if (both.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return Echec{"Le nom de " + entre_guillemets(r.source) + " contient un saut de ligne"};
        if (!targets.insert(normal(r.cible)).second)
            return Echec{"Deux fichiers prendraient le même nom " + entre_guillemets(r.cible)};
    }
    for (const auto& r : plan) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(r.cible, ec)) || sources.count(normal(r.cible)))
            continue;
        // The same file under another spelling (a folder that ignores letter case) is no clash.
        bool same = false;
        for (const auto& other : plan) same = same || fs::equivalent(r.cible, other.source, ec);
        if (!same)
            return Echec{"Le fichier " + entre_guillemets(r.cible) +
                         " existe déjà hors de la liste"};
    }
    return Reussite{};
}

// The folders of a renaming, each open once; files are renamed through them.
class Dossiers {
  public:
    const DossierRenommage& de(const fs::path& fichier) {
        auto& d = ouverts_[normal(fichier).parent_path()];
        if (!d) d = std::make_unique<DossierRenommage>(normal(fichier).parent_path());
        return *d;
    }
    // The renames on disk. Once the names have changed, a folder that cannot be synced changes
    // nothing more that could be done about them.
    void synchroniser() const {
        for (const auto& [chemin, d] : ouverts_) (void)d->synchroniser();
    }

  private:
    std::map<fs::path, std::unique_ptr<DossierRenommage>> ouverts_;
};

}  // namespace

ResultatRenommage appliquer_renommage(const std::vector<Renommage>& plan,
                                      const fs::path& liste_annulation,
                                      const std::atomic<bool>* arret) {
    if (const Verdict v = verifier(plan); !v) return echec_renommage(v.raison());
    const fs::path liste = liste_annulation.empty() ? fs::path() : normal(liste_annulation);
    for (const auto& r : plan) {
        if (liste.empty()) break;
        if (normal(r.source) == liste || normal(r.cible) == liste)
            return echec_renommage("La liste d'annulation " + entre_guillemets(liste_annulation) +
                                   " figure parmi les fichiers à renommer");
        if (normal(r.source).parent_path() != liste.parent_path())
            return echec_renommage("Le fichier " + entre_guillemets(r.source) +
                                   " n'est pas dans le dossier de la liste " + "d'annulation " +
                                   entre_guillemets(liste) +
                                   " : renommez les fichiers de chaque dossier à part");
    }
    Dossiers dossiers;
    std::vector<EntreeAnnulation> entrees;
    std::set<std::string> pris;
    for (const auto& r : plan) {
        const fs::path source = normal(r.source), cible = normal(r.cible);
        if (source == cible) continue;
        const DossierRenommage& d = dossiers.de(source);
        EntreeAnnulation e{{source, cible}, d.nom_temporaire(entrees.size(), pris)};
        if (const auto id = d.identite(source.filename().string())) {
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
    if (!liste.empty()) {
        const DossierRenommage d(liste.parent_path());
        const Resultat<std::string> donne =
            d.ouvert() ? ecrire_liste_nouvelle(d, liste.filename().string(),
                                               contenu_liste_annulation(entrees))
                       : Resultat<std::string>(Echec{raison_systeme(errno)});
        if (!donne)
            return echec_renommage("Impossible d'écrire la liste d'annulation " +
                                   entre_guillemets(liste_annulation) + " (" + donne.raison() +
                                   ") : aucun fichier n'a été renommé");
        result.liste = liste.parent_path() / *donne;
    }

    const auto renommer = [&](const EntreeAnnulation& e, const fs::path& de, const fs::path& vers) {
        return dossiers.de(e.renommage.source)
            .renommer_sans_ecraser(de.filename().string(), vers.filename().string());
    };
    const auto temporaire = [](const EntreeAnnulation& e) {
        return e.renommage.source.parent_path() / e.temporaire;
    };
    std::size_t caches = 0, places = 0;  // files at their temporary name, at their new name
    const auto abandonner = [&](std::string cause, bool interrompu) {
        bool restored = true;
        while (places > 0) {
            const EntreeAnnulation& e = entrees[--places];
            restored = renommer(e, e.renommage.cible, temporaire(e)) && restored;
        }
        while (caches > 0) {
            const EntreeAnnulation& e = entrees[--caches];
            restored = renommer(e, temporaire(e), e.renommage.source) && restored;
        }
        dossiers.synchroniser();
        ResultatRenommage r = echec_renommage(std::move(cause));
        r.interrompu = interrompu;
        if (restored) {
            // A list left behind would only name files already back.
            if (!result.liste.empty()) (void)remove_file(result.liste);
            r.message += " : aucun fichier n'a été renommé";
        } else {
            r.liste = result.liste;
            r.message += " ; des fichiers n'ont pas repris leur nom, la liste d'annulation " +
                         entre_guillemets(result.liste) + " le leur rendra";
        }
        return r;
    };
    for (; caches < entrees.size(); ++caches) {
        if (arret != nullptr && arret->load()) return abandonner("Renommage interrompu", true);
        const EntreeAnnulation& e = entrees[caches];
        if (!renommer(e, e.renommage.source, temporaire(e)))
            return abandonner("Impossible de renommer " + entre_guillemets(e.renommage.source) +
                                  " (" + raison_systeme(errno) + ")",
                              false);
    }
    // Every file has left its old name: the quickest way back to a whole state is forward.
    for (; places < entrees.size(); ++places) {
        const EntreeAnnulation& e = entrees[places];
        if (!renommer(e, temporaire(e), e.renommage.cible))
            return abandonner("Impossible de renommer " + entre_guillemets(e.renommage.source) +
                                  " en " + entre_guillemets(e.renommage.cible) + " (" +
                                  raison_systeme(errno) + ")",
                              false);
    }
    dossiers.synchroniser();
    result.ok = true;
    result.renommes = entrees.size();
    return result;
}

ResultatRenommage echec_renommage(std::string message) {
    ResultatRenommage r;
    r.message = std::move(message);
    return r;
}

std::vector<Renommage> plan_renommage(const std::vector<fs::path>& fichiers,
                                      const ParametresRenommage& p) {
    std::vector<Renommage> plan;
    plan.reserve(fichiers.size());
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        plan.push_back({fichiers[k], fichiers[k].parent_path() / nouveau_nom(p, k)});
    return plan;
}

}  // namespace vellumor::renaming
