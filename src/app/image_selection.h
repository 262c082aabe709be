#pragma once

#include <QString>

namespace vellumor::app {

class FenetrePrincipale;

// Fills the image list and control 17 from a PNG file dialog titled titre, opened in the folder of
// the last selection: sorted by page number, each row with the neutral icon, column 0 titled with
// the count, the folder in the status line. The caller has cleared the list; the managed buttons
// stay disabled for the caller to enable; a cancelled dialog leaves 12 and 13 disabled.
void selectionner_images(FenetrePrincipale& f, const QString& titre);

// Shows the image list as it now stands in control 17 (rows, column 0's title, the first file's
// folder in the status line, which the next file dialog opens in).
void afficher_liste(FenetrePrincipale& f);

// When the list is empty, clears it and selects images; otherwise asks whether to replace it: Yes
// clears and selects, No keeps the rows and resets their icons.
void remplacer_liste(FenetrePrincipale& f, const QString& titre);

}  // namespace vellumor::app
