#pragma once

#include <QString>

namespace vellumor::app {

class FenetrePrincipale;

// Fills the image list and control 17 from a PNG file dialog titled titre, opened in the folder of
// the last selection: sorted by page number, each row with the neutral icon, column 0 titled with
// the count, the folder in the status line. The caller has cleared the list; the managed buttons
// stay disabled for the caller to enable; a cancelled dialog leaves 12 and 13 disabled.
void selectionner_images(FenetrePrincipale& f, const QString& titre);

// When the list is empty, clears it and selects images; otherwise asks whether to replace it: Yes
// clears and selects, No keeps the rows and resets their icons.
void remplacer_liste(FenetrePrincipale& f, const QString& titre);

}  // namespace vellumor::app
