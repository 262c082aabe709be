#include "app/operations.h"

#include "app/main_window.h"
#include "app/panels/launchers.h"
#include "app/windows/numbering_window.h"
#include "app/windows/renaming_window.h"

// The operations' panels come in one by one; until a panel exists its entry point does nothing.

namespace vellumor::app {

void operation_tester_numeros(FenetrePrincipale& f) {
    Lancer_Renommage(f, ModeRenommage::Test);
}
void operation_net_det_col(FenetrePrincipale& f) {
    Enchainer_Net_Det_Col(f);
}
void operation_nettoyage(FenetrePrincipale& f) {
    Lancer_Nettoyage(f, false);
}
void operation_detourage(FenetrePrincipale& f) {
    Lancer_Detourage(f, false);
}
void operation_coloriser(FenetrePrincipale& f) {
    Lancer_Colorisation(f);
}
void operation_reconstituer(FenetrePrincipale& f) {
    Lancer_Reconstitution(f);
}
void operation_numeroter(FenetrePrincipale& f) {
    Ouvrir_Numerotation(f);
}
void operation_renommer(FenetrePrincipale& f) {
    Lancer_Renommage(f, ModeRenommage::Renommage);
}

}  // namespace vellumor::app
