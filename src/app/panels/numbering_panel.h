#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Opens the numbering window on window 1 (button 10) and returns once it is left with "Annuler" or
// window 1 is closed. The window numbers the pages of the image list into the temporary folder:
// the stamps are built off the main thread, then the two numbering workers write "Img__" pages and
// their new names in the list's third column.
void ouvrir_numerotation(FenetrePrincipale& f);

}  // namespace vellumor::app
