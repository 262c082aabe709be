#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Asks where to write the PDF of the listed pages (in list order), then writes it off the main
// thread: the rows' icons and the list header show the progress, the column's buttons are
// disabled meanwhile. At the end " Info" with the PDF's path, or why nothing was written. Closing
// the window during an export stops it and leaves no PDF.
void exporter_liste_en_pdf(FenetrePrincipale& f);

}  // namespace vellumor::app
