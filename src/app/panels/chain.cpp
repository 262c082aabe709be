#include "app/panels/launchers.h"

namespace vellumor::app {

void Enchainer_Net_Det_Col(FenetrePrincipale& f) {
    if (Lancer_Nettoyage(f, true) != IssuePanneau::Termine) return;
    if (Lancer_Detourage(f, true) != IssuePanneau::Termine) return;
    Lancer_Colorisation(f);
}

}  // namespace vellumor::app
