#pragma once

#include <cstdint>
#include <string>

#include "cli/options.h"
#include "cli/page_run.h"
#include "ops/description.h"

namespace vellumor::cli {

// The operation described by d, run by travail: its records, completion text, step name and kept
// originals.
OperationPages operation_pages(const DescriptionOperation& d, ExecutionLot::Travail travail);

// Cleaning, cropping and colourising in one pass over each page; its end text is the three
// operations' completion texts, one a line.
OperationPages operation_chaine(std::uint32_t masque);

// The help of a page command: its name and what it does; the usage line, the order of the files,
// the two workers, Ctrl-C and the exit statuses are those of every page command.
DescriptionCommande description_pages(std::string nom, std::string description);

}  // namespace vellumor::cli
