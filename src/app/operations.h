#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Entry points of the operations started by buttons 4 to 11. Each one opens its panel (one file
// per panel under app/panels/) and returns when the panel is closed; the dispatcher has already set
// the banner title and, where the operation wants it, reset the row icons.
void operation_tester_numeros(FenetrePrincipale& f);  // 4
void operation_net_det_col(FenetrePrincipale& f);     // 5
void operation_nettoyage(FenetrePrincipale& f);       // 6
void operation_detourage(FenetrePrincipale& f);       // 7
void operation_coloriser(FenetrePrincipale& f);       // 8
void operation_reconstituer(FenetrePrincipale& f);    // 9
void operation_numeroter(FenetrePrincipale& f);       // 10
void operation_renommer(FenetrePrincipale& f);        // 11

}  // namespace vellumor::app
