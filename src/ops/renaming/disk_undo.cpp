#include <cerrno>

#include "common/folder_io.h"
#include "common/system_error.h"
#include "ops/renaming/disk_rename.h"
#include "ops/renaming/rename_system.h"

namespace vellumor::renaming {
namespace {

namespace fs = std::filesystem;

// The bytes of the undo list chemin of d, read through the folder without following a link. It is
// refused when it is not the user's own regular file, writable by nobody else; donne is the name
// the user gave it, for the message of a list that cannot be read.
Resultat<std::string> lire_liste(const DossierRenommage& d, const fs::path& chemin,
                                 const fs::path& donne) {
    const Echec illisible{"Impossible de lire la liste d'annulation " + entre_guillemets(donne)};
    if (!d.ouvert()) return illisible;
    OpenedName fd = open_no_follow(d.fd(), chemin.filename().string(), false);
    if (!fd && fd.error == ELOOP)
        return Echec{"La liste d'annulation " + entre_guillemets(chemin) +
                     " est un lien symbolique"};
    if (!fd) return illisible;
    const FileStatus& st = fd.status;
    std::string refus;
    if (st.kind != FileKind::Regular)
        refus =
            "La liste d'annulation " + entre_guillemets(chemin) + " n'est pas un fichier ordinaire";
    else if (!st.own)
        refus = "La liste d'annulation " + entre_guillemets(chemin) +
                " appartient à un autre utilisateur";
    else if (st.permissions & 022)
        refus = "La liste d'annulation " + entre_guillemets(chemin) +
                " peut être modifiée par d'autres utilisateurs";
    if (!refus.empty()) return Echec{refus + " : aucun fichier n'est renommé"};
    Resultat<std::string> bytes = read_all(fd.handle.get(), kTailleMaxAnnulation);
    if (!bytes) return illisible;
    return bytes;
}

enum class Lieu { Ancien, Temporaire, Nouveau, Absent };

// Where the file of e is now: by its identity when one of its three names still holds it, else
// by which of them exists.
Lieu lieu_actuel(const DossierRenommage& d, const EntreeAnnulation& e) {
    const std::pair<Lieu, std::string> names[] = {
        {Lieu::Temporaire, e.temporaire},
        {Lieu::Nouveau, e.renommage.cible.filename().string()},
        {Lieu::Ancien, e.renommage.source.filename().string()}};
    if (e.inode != 0)
        for (const auto& [lieu, n] : names)
            if (!n.empty() && d.identite(n) == Identite{e.peripherique, e.inode}) return lieu;
    for (const auto& [lieu, n] : names)
        if (!n.empty() && d.existe(n)) return lieu;
    return Lieu::Absent;
}

}  // namespace

ResultatRenommage annuler_renommage(const fs::path& liste_annulation) {
    const fs::path chemin = normal(liste_annulation);
    const DossierRenommage d(chemin.parent_path());
    const Resultat<std::string> bytes = lire_liste(d, chemin, liste_annulation);
    if (!bytes) return echec_renommage(bytes.raison());
    const auto lues = lire_liste_annulation(*bytes, d.chemin());
    if (!lues)
        return echec_renommage("La liste " + entre_guillemets(liste_annulation) +
                               " n'est pas une liste d'annulation de renommage");
    std::vector<EntreeAnnulation> entrees = *lues;
    const auto n = [](const fs::path& p) { return p.filename().string(); };

    std::vector<Lieu> lieux;
    std::size_t changed = 0;
    std::set<std::string> occupes;  // names that files of the list hold now
    for (const auto& e : entrees) {
        lieux.push_back(lieu_actuel(d, e));
        if (lieux.back() == Lieu::Absent)
            return echec_renommage("Le fichier " + entre_guillemets(e.renommage.cible) +
                                   " n'existe pas");
        changed += lieux.back() != Lieu::Ancien;
        occupes.insert(lieux.back() == Lieu::Ancien    ? n(e.renommage.source)
                       : lieux.back() == Lieu::Nouveau ? n(e.renommage.cible)
                                                       : e.temporaire);
    }
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const fs::path& old = entrees[i].renommage.source;
        if (lieux[i] != Lieu::Ancien && d.existe(n(old)) && !occupes.count(n(old)))
            return echec_renommage("Le fichier " + entre_guillemets(old) +
                                   " existe déjà hors de la liste");
    }
    // New names first go to the temporary ones, so that no old name is still taken when the files
    // come back to them.
    std::set<std::string> pris;
    const auto bloque = [&](const std::string& from, const std::string& to) {
        const int cause = errno;
        (void)d.synchroniser();  // the renames done so far, for the next run of the undo
        errno = cause;
        return echec_renommage("Impossible de renommer " + entre_guillemets(d.chemin() / from) +
                               " en " + entre_guillemets(d.chemin() / to) + " (" +
                               raison_systeme(errno) +
                               ") ; relancez l'annulation une fois la cause levée");
    };
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        EntreeAnnulation& e = entrees[i];
        if (lieux[i] != Lieu::Nouveau) continue;
        if (e.temporaire.empty()) e.temporaire = d.nom_temporaire(i, pris);
        if (!d.renommer_sans_ecraser(n(e.renommage.cible), e.temporaire))
            return bloque(n(e.renommage.cible), e.temporaire);
        lieux[i] = Lieu::Temporaire;
    }
    for (std::size_t i = 0; i < entrees.size(); ++i) {
        const EntreeAnnulation& e = entrees[i];
        if (lieux[i] != Lieu::Temporaire) continue;
        if (!d.renommer_sans_ecraser(e.temporaire, n(e.renommage.source)))
            return bloque(e.temporaire, n(e.renommage.source));
    }
    (void)d.synchroniser();
    // A list left behind would only bring the files back to the names they already have.
    (void)remove_name(d.fd(), chemin.filename().string());
    ResultatRenommage result;
    result.ok = true;
    result.renommes = changed;
    return result;
}

}  // namespace vellumor::renaming
