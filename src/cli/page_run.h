#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "batch/originaux.h"
#include "cli/page_options.h"
#include "cli/signals.h"
#include "cli/terminal_progress.h"

namespace vellumor::cli {

// One operation of a page command: its records, its worker body and its completion text.
struct OperationPages {
    ConstantesLots lots;
    ExecutionLot::Travail travail;
    std::string texte_fin;  // "Les opérations de détourage sont terminées"
    std::string etape;      // "Détourage des images": the step a chain of operations is at
    // The name of the run folders that keep the files it replaces (kOperationNettoyage); none
    // for an operation that writes other files.
    const char* originaux = nullptr;
};

// "Traitement interrompu : 3 fichiers traités sur 12": what an interrupted run says instead of its
// completion text.
std::string texte_interruption(std::int64_t traites, std::int64_t total);

// Runs the operations one after the other, each over the whole list with its two workers, and
// reports on stdout/stderr (progress bar when stderr is a terminal). SIGINT and SIGTERM stop the
// workers before their next file and no further operation starts; the pages being written are
// finished, and the run ends on texte_interruption instead of the completion text. A chain of
// operations says which step it is at. Each operation that replaces its pages keeps them first,
// unless garder_originaux is false. Returns 0 when every file was processed by every operation,
// else 1.
int executer_pages(const ListeImages& liste, const std::vector<OperationPages>& operations,
                   bool silencieux, bool garder_originaux = true);

// Waits for run to end, looking every pas for SIGINT or SIGTERM: the first one stops run, clears
// the progress bar and says interruption on stderr. Once the workers are gone, the kept originals
// are complete and the bar is cleared.
template <typename Execution>
void attendre_fin(Execution& run, ProgressionTerminal& progression,
                  std::optional<Originaux>& originaux, std::chrono::milliseconds pas,
                  const char* interruption) {
    bool annonce = false;
    while (!run.attendre_pour(pas)) {
        if (annonce || !interruption_demandee().load()) continue;
        run.arreter();
        annonce = true;
        progression.effacer_barre();
        std::fprintf(stderr, "%s\n", interruption);
    }
    run.attendre();
    if (originaux) originaux->terminer();
    progression.effacer_barre();
}

using FabriqueOperations = std::function<std::vector<OperationPages>(const OptionsPages&)>;

// The whole of a page command: options (2 on a usage error, with the reason on stderr), help on
// stdout (0), list, run. remplace_pages false: the command writes new files only, and offers no
// --sans-originaux. autres_options adds the command's own options to the table, after the page
// options.
int commande_pages(const std::vector<std::string>& args, const DescriptionCommande& d,
                   bool avec_masque, const FabriqueOperations& operations,
                   bool remplace_pages = true,
                   const std::function<void(TableOptions&)>& autres_options = {});

}  // namespace vellumor::cli
