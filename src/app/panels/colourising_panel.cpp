#include "app/main_window_ids.h"
#include "app/panels/launchers.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/colourising/colourising_worker.h"

namespace vellumor::app {

IssuePanneau lancer_colorisation(FenetrePrincipale& f) {
    DescriptionLot d = decrire_lot(colourising::kDescription, kDepartColorisation);
    d.demarre_seul = true;
    d.travail = [] { return colourising::travail_colorisation(); };
    PanneauLot panneau(f, std::move(d), false);
    return panneau.executer();
}

}  // namespace vellumor::app
