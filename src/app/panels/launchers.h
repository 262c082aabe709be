#pragma once

#include "app/panels/batch_panel.h"

namespace vellumor::app {

// The launchers of the batch panels. Each opens its panel on window 1 and returns once it is left;
// chained, a panel leaves by itself after its run, without the completion message. Cleaning waits
// for " Nettoyer les images "; cropping and colourising start at once. Colourising is never
// chained: it always shows its message.
IssuePanneau lancer_nettoyage(FenetrePrincipale& f, bool enchaine);
IssuePanneau lancer_detourage(FenetrePrincipale& f, bool enchaine);
IssuePanneau lancer_colorisation(FenetrePrincipale& f);
// Asks whether to replace a listed set of pages, then opens the reconstitution panel (not when the
// list stays empty).
IssuePanneau lancer_reconstitution(FenetrePrincipale& f);

// "Net - Dét - Col": the cleaning panel waits for " Nettoyer les images ", then its run cleans,
// crops and colourises each page in one pass and ends on the colourising's completion message;
// leaving the panel without a run ends the chain.
IssuePanneau lancer_chaine(FenetrePrincipale& f);

}  // namespace vellumor::app
