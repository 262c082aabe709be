#pragma once

#include "app/panels/batch_panel.h"

namespace vellumor::app {

// The launchers of the windows that the dispatch table starts.

// The batch panels. Each opens its panel on window 1 and returns once it is left;
// chained, a panel leaves by itself after its run, without the completion message. Cleaning waits
// for " Nettoyer les images "; cropping and colourising start at once. Colourising is never
// chained: it always shows its message.
IssuePanneau lancer_nettoyage(FenetrePrincipale& f, bool enchaine);
IssuePanneau lancer_detourage(FenetrePrincipale& f, bool enchaine);
IssuePanneau lancer_colorisation(FenetrePrincipale& f);
// Asks whether to replace a listed set of pages, then opens the reconstitution panel (not when the
// list stays empty).
IssuePanneau lancer_reconstitution(FenetrePrincipale& f);

// Opens the numbering window on window 1 (button 10) and returns once it is left with "Annuler" or
// window 1 is closed. The window numbers the pages of the image list into the temporary folder:
// the stamps are built off the main thread, then the two numbering workers write "Img__" pages and
// their new names in the list's third column.
void ouvrir_numerotation(FenetrePrincipale& f);

// Renaming prepares the new names of the listed files and offers to rename them on disk; test mode
// only runs the file-number test.
enum class ModeRenommage { Renommage = 0, Test = 1 };

// Opens the renaming window on window 1 (after the list question or the file selection) and
// returns once it is left; with an empty list after the selection the window is not built.
IssuePanneau lancer_renommage(FenetrePrincipale& f, ModeRenommage mode);

// "Net - Dét - Col": the cleaning panel waits for " Nettoyer les images ", then its run cleans,
// crops and colourises each page in one pass and ends on the colourising's completion message;
// leaving the panel without a run ends the chain.
IssuePanneau lancer_chaine(FenetrePrincipale& f);

}  // namespace vellumor::app
