#pragma once

#include "batch/batch_run.h"
#include "ops/colourising/colourising_constants.h"

namespace vellumor::colourising {

// One page of a colourising run: every pixel that is not pure white turned pure blue, written as a
// 24-bit PNG beside the source under its name + "_Col.png" through a safe replace (an existing file
// of that name is replaced whole or not at all; a failed write: icon 1, not counted). The source
// is never written.
EtapeFichier etape_colorisation();

// The colourised page of source written as etape_colorisation writes it.
ResultatPage ecrire_colorisee(const Image& page, const std::filesystem::path& source);

// The worker body of both halves of a colourising run.
ExecutionLot::Travail travail_colorisation();

}  // namespace vellumor::colourising
