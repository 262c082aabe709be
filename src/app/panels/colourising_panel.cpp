#include "app/main_window_ids.h"
#include "app/panels/launchers.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/colourising/colourising_worker.h"

namespace vellumor::app {
namespace {

DescriptionLot description() {
    using namespace vellumor::colourising;
    DescriptionLot d = decrire_lot(kDescription, kDepartColorisation);
    d.demarre_seul = true;
    d.travail = [] { return travail_colorisation(); };
    return d;
}

}  // namespace

IssuePanneau lancer_colorisation(FenetrePrincipale& f) {
    PanneauLot panneau(f, description(), false);
    return panneau.executer();
}

}  // namespace vellumor::app
