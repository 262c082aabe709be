#pragma once

#include <cstdint>

#include "batch/batch_run.h"

namespace vellumor::chain {

// One page of "Net - Dét - Col" in one pass: loaded once, cleaned with masque, cropped, written
// over its source once, and its colourised copy made from the same pixels. The files written are
// those of a cleaning run, then a cropping run, then a colourising run over the same page: when
// the page's file depth cannot hold the cleaned pixels exactly, or a write fails, the next step
// starts from the file as it is on disk, as the next run would. The row icon is that of the
// first step that failed, else the colourising's; the page counts when every step counted.
EtapeFichier etape_chaine(std::uint32_t masque);

// The worker body of both halves of a one-pass chain run.
ExecutionLot::Travail travail_chaine(std::uint32_t masque);

}  // namespace vellumor::chain
