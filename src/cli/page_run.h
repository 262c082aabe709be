#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "cli/page_options.h"
#include "cli/signals.h"

namespace vellumor::cli {

// One operation of a page command: its records, its worker body and its completion text.
struct OperationPages {
    ConstantesLots lots;
    ExecutionLot::Travail travail;
    std::string texte_fin;  // "Les opérations de détourage sont terminées"
};

// Runs the operations one after the other, each over the whole list with its two workers, and
// reports on stdout/stderr (progress bar when stderr is a terminal). SIGINT and SIGTERM stop the
// workers before their next file and no further operation starts; the pages being written are
// finished. Returns 0 when every file was processed by every operation, else 1.
int executer_pages(const ListeImages& liste, const std::vector<OperationPages>& operations,
                   bool silencieux);

using FabriqueOperations = std::function<std::vector<OperationPages>(const OptionsPages&)>;

// The whole of a page command: options (2 on a usage error, with the reason on stderr), help on
// stdout (0), list, run.
int commande_pages(const std::vector<std::string>& args, const char* aide, bool avec_masque,
                   const FabriqueOperations& operations);

}  // namespace vellumor::cli
