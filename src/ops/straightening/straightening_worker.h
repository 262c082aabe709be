#pragma once

#include "batch/batch_run.h"
#include "ops/straightening/straightening.h"
#include "ops/straightening/straightening_constants.h"

namespace vellumor::straightening {

// One page of a straightening run: the page's skew is measured and noted on its row ("inclinaison
// mesurée : 1,25°"); a page already straight or without text lines gets kIconeLaissee and is
// counted, unwritten; otherwise the turned page is written over its source at its file depth
// through a safe replace (a failed write: icon 1, not counted, source untouched).
EtapeFichier etape_redressement(const Parametres& p);

// The worker body of both halves of a straightening run (p already validated).
ExecutionLot::Travail travail_redressement(const Parametres& p);

}  // namespace vellumor::straightening
