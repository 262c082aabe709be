#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "batch/batch_run.h"
#include "batch/progress.h"
#include "common/message.h"
#include "imagelist/image_list.h"
#include "ops/exceptions/page_exception.h"
#include "ops/reconstitution/parameters.h"
#include "ops/reconstitution/placement.h"

namespace vellumor::reconstitution {

// How a run ended.
enum class FinReconstitution {
    Refusee,     // names not ending in a digit: nothing started, nothing written
    PageVierge,  // a worker could not build its blank page: the run is reset without a message
    Arretee,     // stopped before the next file
    Terminee,
};

// One reconstitution run over the image list: the split by the last digit of the names, the
// left-bound worker on the odd pages (and the even ones when aligning left), the right-bound one on
// the even pages, each drawing every page on its own blank page and writing it over its source.
class Reconstitution {
  public:
    // exceptions (the run list, searched by both workers), lignes and progression must outlive
    // the run and not change while it lasts. format, when given, is read at every save so that the
    // saved depth follows a change of format during the run; the blank page's size is fixed when a
    // worker starts.
    Reconstitution(const ListeImages& liste, Parametres parametres,
                   const exceptions::PageExceptionList& exceptions, const ListeLignes& lignes,
                   Progression& progression, const std::atomic<int>* format = nullptr);
    ~Reconstitution();
    Reconstitution(const Reconstitution&) = delete;
    Reconstitution& operator=(const Reconstitution&) = delete;

    // Starts both workers (done events 0x1000C for the even record, 0x1000D for the odd one), even
    // when a record is empty. A worker that cannot build its blank page reports its message (" Le
    // fichier de l'image vierge n'est pas défini 456" or "... 123"), which asks the front to reset
    // the run without a message, and posts no done event. Returns the warning that refuses the run
    // instead when a name does not end in a digit (nothing is started then), or a plain "Erreur"
    // message when no thread could be started. Called once.
    std::optional<Message> demarrer();
    // Before demarrer: keeps each source in originaux before its page replaces it (originaux
    // must outlive the run).
    void garder_originaux(Originaux* originaux);
    // Asks both workers to stop before their next file; the pages being written are finished.
    void arreter();
    // Waits at most d for both workers to end; true when they have (or nothing was started).
    bool attendre_pour(std::chrono::milliseconds d);
    // Waits for both workers to end.
    void attendre();
    // After attendre(): how the run ended.
    FinReconstitution fin() const;
    // The sources written over so far, in the order they were written (both workers mixed): after
    // an interruption, the pages that must not be reconstituted again.
    std::vector<std::filesystem::path> pages_ecrites() const;

  private:
    struct Etat;
    std::unique_ptr<Etat> etat_;
};

// The " Info" message closing an ended run ("ont été arrêtées" or "sont terminées"); nullopt for a
// refused run or a blank page that could not be built, which end without a message.
std::optional<Message> message_de_fin(FinReconstitution fin);

}  // namespace vellumor::reconstitution
