#include "app/panels/launchers.h"

namespace vellumor::app {

void Enchainer_Net_Det_Col(FenetrePrincipale& f) {
    Lancer_Chaine(f);
}

}  // namespace vellumor::app
