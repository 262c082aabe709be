#pragma once

#include "batch/batch_run.h"
#include "ops/cropping/cropping.h"
#include "ops/cropping/cropping_constants.h"

namespace vellumor::cropping {

// One page of a cropping run: a blank page gets icon 4 and a page whose ink touches all four edges
// icon 8, both counted and left unwritten; otherwise the ink's rectangle is written over the source
// at its file depth through a safe replace (a failed write: icon 1, not counted, source untouched).
// The record's first file on no row shows the "Erreur détection First_ListIndex" box (the even
// record's text names its worker).
EtapeFichier etape_detourage(bool pair);

// The outcome of a page whose margins are d, as etape_detourage gives it: nothing written for a
// blank or uncut page, else the page cropped in its own buffer and written over its source.
ResultatPage detourer_page(PageEnCours& page, const Detection& d);

// The worker body of both halves of a cropping run.
ExecutionLot::Travail travail_detourage();

}  // namespace vellumor::cropping
