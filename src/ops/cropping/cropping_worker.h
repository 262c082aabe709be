#pragma once

#include "batch/batch_run.h"

namespace vellumor::cropping {

// Record names and done events of a cropping run.
ConstantesLots constantes_lots();

// One page of a cropping run: a blank page gets icon 4 and a page whose ink touches all four edges
// icon 8, both counted and left unwritten; otherwise the ink's rectangle is written over the source
// at its file depth through a safe replace (a failed write: icon 1, not counted, source untouched).
// The record's first file on no row shows the "Erreur détection First_ListIndex" box (the even
// record's text names its worker).
EtapeFichier etape_detourage(bool pair);

// The worker body of both halves of a cropping run.
ExecutionLot::Travail travail_detourage();

}  // namespace vellumor::cropping
