#include "app/main_window_ids.h"
#include "app/panels/launchers.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::app {

IssuePanneau lancer_detourage(FenetrePrincipale& f, bool enchaine) {
    DescriptionLot d = decrire_lot(cropping::kDescription, kDepartDetourage);
    d.demarre_seul = true;
    d.efface_liste_vide = true;
    d.travail = [] { return cropping::travail_detourage(); };
    PanneauLot panneau(f, std::move(d), enchaine);
    return panneau.executer();
}

}  // namespace vellumor::app
