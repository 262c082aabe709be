#include "app/main_window_ids.h"
#include "app/panels/launchers.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::app {
namespace {

DescriptionLot description() {
    using namespace vellumor::cropping;
    DescriptionLot d = decrire_lot(kDescription, kDepartDetourage);
    d.demarre_seul = true;
    d.efface_liste_vide = true;
    d.travail = [] { return travail_detourage(); };
    return d;
}

}  // namespace

IssuePanneau lancer_detourage(FenetrePrincipale& f, bool enchaine) {
    PanneauLot panneau(f, description(), enchaine);
    return panneau.executer();
}

}  // namespace vellumor::app
