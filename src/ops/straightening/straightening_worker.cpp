#include "ops/straightening/straightening_worker.h"

#include "ops/straightening/straightening_constants.h"

namespace vellumor::straightening {

EtapeFichier etape_redressement(const Parametres& p) {
    EtapeFichier e;
    e.traiter = [p](PageEnCours& page) {
        const Redressement r = redresser(page.image, p);
        page.arreter_dessin();
        const std::string note = r.mesure.lignes
                                     ? "inclinaison mesurée : " + texte_angle(r.mesure.angle)
                                     : std::string(kSansLignes);
        ResultatPage resultat;
        switch (r.issue) {
            case Issue::DejaDroite:
                resultat = {kIconeLaissee, IssueFichier::NonEcrit,
                            std::string(!r.mesure.lignes      ? kSansLignes
                                        : r.mesure.hors_plage ? kHorsPlage
                                                              : kDejaDroite) +
                                ", rien n'est écrit",
                            true};
                break;
            case Issue::Memoire:
                resultat = {kIconeEchec, IssueFichier::Echec,
                            "Mémoire insuffisante pour tourner l'image", false};
                break;
            case Issue::Redressee:
                resultat = enregistrer_sur_source(page, 0);
                break;
        }
        resultat.note = note;
        return resultat;
    };
    return e;
}

ExecutionLot::Travail travail_redressement(const Parametres& p) {
    return [etape = etape_redressement(p)](Travailleur& t) { travail_standard(t, etape); };
}

}  // namespace vellumor::straightening
