#include "ops/cleaning/cleaning_worker.h"

#include "ops/cleaning/cleaning.h"
#include "ops/cleaning/cleaning_constants.h"

namespace vellumor::cleaning {

EtapeFichier etape_nettoyage(std::uint32_t masque) {
    EtapeFichier e;
    e.traiter = [masque = masque & kPatternBits](PageEnCours& page) {
        nettoyer(page.image, masque);
        page.arreter_dessin();
        return enregistrer_sur_source(page, 0);
    };
    e.erreur_premiere_ligne = "Erreur détection First_ListIndex";
    return e;
}

ExecutionLot::Travail travail_nettoyage(std::uint32_t masque) {
    return [etape = etape_nettoyage(masque)](Travailleur& t) { travail_standard(t, etape); };
}

}  // namespace vellumor::cleaning
