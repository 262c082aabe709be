#include "app/operations.h"

#include "app/main_window.h"

// The operations' panels come in one by one; until a panel exists its entry point does nothing.

namespace vellumor::app {

void operation_tester_numeros(FenetrePrincipale&) {}
void operation_net_det_col(FenetrePrincipale&) {}
void operation_nettoyage(FenetrePrincipale&) {}
void operation_detourage(FenetrePrincipale&) {}
void operation_coloriser(FenetrePrincipale&) {}
void operation_reconstituer(FenetrePrincipale&) {}
void operation_numeroter(FenetrePrincipale&) {}
void operation_renommer(FenetrePrincipale&) {}
void charger_liste(FenetrePrincipale&) {}
void lancer_numerotation(FenetrePrincipale&) {}
void terminer_numerotation(FenetrePrincipale&) {}

}  // namespace vellumor::app
