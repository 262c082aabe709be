#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// "Redresser les pages" of the list's context menu: the pages of the selected rows, or of every
// row when none is selected, are straightened in place by the two workers (pages of even number to
// the first), the rows showing their icons, the header the progress and each row's tooltip the
// measured angle; the replaced pages are kept as originals. The column's buttons are disabled
// meanwhile; the completion box lists the pages not written. Closing the window stops the run
// once the pages being written are finished.
void redresser_pages(FenetrePrincipale& f);

}  // namespace vellumor::app
