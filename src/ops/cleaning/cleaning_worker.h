#pragma once

#include <cstdint>

#include "batch/batch_run.h"
#include "ops/cleaning/cleaning_constants.h"

namespace vellumor::cleaning {

// One page of a cleaning run: load, clean with the patterns of masque (low seven bits), write over
// the source at its file depth through a safe replace (a failed write: icon 1, source untouched).
// The record's first file on no row shows the "Erreur détection First_ListIndex" box.
EtapeFichier etape_nettoyage(std::uint32_t masque);

// The worker body of both halves of a cleaning run.
ExecutionLot::Travail travail_nettoyage(std::uint32_t masque);

}  // namespace vellumor::cleaning
