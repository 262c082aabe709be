#pragma once

#include <cstdint>
#include <string>

#include "cli/page_run.h"

namespace vellumor::cli {

// The operations of the page commands, with the core's worker bodies and completion texts.
OperationPages operation_nettoyage(std::uint32_t masque);
OperationPages operation_detourage();
OperationPages operation_colorisation();

// The help of a page command: usage line, what it does, its options (the mask options when
// avec_masque), the order of the files and the exit status.
std::string aide_commande(const std::string& usage, const std::string& description,
                          bool avec_masque);

}  // namespace vellumor::cli
