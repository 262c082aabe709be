#include "ops/numbering/numbering_worker.h"

#include <optional>
#include <string>

#include "batch/png_io.h"
#include "ops/numbering/placement.h"
#include "ops/numbering/stamp_files.h"

namespace vellumor::numbering {
namespace {

Message boite_erreur(std::string instruction, std::string texte) {
    return {Message::Kind::BoiteMessage, std::move(instruction), std::move(texte), "",
            kIconeErreur};
}

enum class Suite { FichierSuivant, Fin };

// Runs with the run's mutex held for the whole list (v).
struct Numeroteur {
    Travailleur& t;
    const VerrouExecution& v;
    const ReglagesNumerotation& r;

    void echec(std::int64_t ligne, const std::filesystem::path& source, Message m,
               const std::string& raison) {
        t.icone(v, ligne, kIconeEchec);
        t.progression().message(m);
        t.progression().fichier_fini(source, IssueFichier::Echec, raison);
    }

    Suite numeroter(const FichierLot& f, std::int64_t ligne) {
        const std::string name = f.Fichier.filename().string();
        const std::int64_t p = r.debut + f.Ligne;
        t.icone(v, ligne, kIconeEnCours);
        t.progression().fichier_commence(f.Fichier);
        LoadResult page = load_png(f.Fichier);
        if (!page) {
            echec(ligne, f.Fichier, boite_erreur(" L'image n'a pas pu être chargée!", name),
                  page.message.empty() ? "L'image n'a pas pu être chargée" : page.message);
            return Suite::FichierSuivant;
        }
        Image& P = *page.image;
        // Without its stamp the page would be written unnumbered and pass for done.
        LoadResult stamp = load_png(r.dossier_travail / nom_tampon(p));
        if (!stamp) {
            const std::string raison = "Le tampon de numérotation « " + nom_tampon(p) +
                                       " » n'a pas pu être lu : " + stamp.message;
            echec(ligne, f.Fichier,
                  boite_erreur(" Le tampon de numérotation n'a pas pu être lu!",
                               name + "\r\n" + raison),
                  raison);
            return Suite::FichierSuivant;
        }
        std::optional<DrawingTarget> target;
        target.emplace(P);
        if (!target->active()) {
            echec(ligne, f.Fichier,
                  boite_erreur(" Impossible de dessiner sur l'image!",
                               name + "\r\nL'opération est terminée"),
                  "Impossible de dessiner sur l'image");
            return Suite::Fin;
        }
        const Image& S = *stamp.image;
        const Emplacement at = placer_tampon(r.position, t.est_pair() ? 0 : 1, P.width(),
                                             P.height(), S.width(), S.height(), r.parametres);
        P.draw(S, at.x, at.y);
        target.reset();
        const std::string output = nom_page_numerotee(p, r.fin);
        const ResultatPage saved = enregistrer_page(P, r.dossier / output, 0);
        if (!saved.compte) {
            echec(ligne, f.Fichier,
                  boite_erreur(" L'image numérotée n'a pas pu être enregistrée!",
                               name + "\r\n" + saved.raison),
                  saved.raison);
            return Suite::FichierSuivant;
        }
        t.icone(v, ligne, kIconeFait);
        if (ligne >= 0) t.progression().texte_ligne(ligne, 2, output);
        t.compter_fichier(v);
        t.progression().fichier_fini(f.Fichier, IssueFichier::Ecrit, "");
        return Suite::FichierSuivant;
    }
};

}  // namespace

void travail_numerotation(Travailleur& t, const ReglagesNumerotation& r) {
    Lot_Fichiers& lot = t.lot();
    auto verrou = t.verrou();
    lot.Mots_Operation[0] = r.debut;
    lot.Mots_Operation[1] = r.fin;
    lot.Mots_Operation[2] = r.taille_tampons;
    if (lot.Fichiers.empty()) {
        t.poster_fin();
        return;
    }
    if (t.ligne_du_fichier(verrou, 0) < 0) {
        t.progression().message({Message::Kind::Simple, "",
                                 "Erreur détection First_ListIndex ligne 1207", "Erreur", 0});
        t.poster_fin();
        return;
    }
    t.debuter_entete(verrou);
    Numeroteur numeroteur{t, verrou, r};
    for (std::size_t i = 0; i < lot.Fichiers.size() && !t.arret_demande(); ++i) {
        lot.Fichier_Courant = i;
        const std::int64_t ligne = t.ligne_du_fichier(verrou, i);
        lot.First_ListIndex = ligne;
        if (numeroteur.numeroter(lot.Fichiers[i], ligne) == Suite::Fin) break;
    }
    t.poster_fin();
}

Message terminer_numerotation(const ReglagesNumerotation& r) {
    if (!r.dossier_travail.empty()) supprimer_tampons(r.debut, r.fin, r.dossier_travail);
    return {Message::Kind::BoiteMessage, " Info", "\n" + std::string(kDescription.texte_fin), "",
            kIconeInformation};
}

}  // namespace vellumor::numbering
