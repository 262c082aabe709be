#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "batch/image.h"
#include "batch/lot_fichiers.h"
#include "batch/mutex_registry.h"
#include "batch/png_io.h"
#include "batch/progress.h"
#include "common/resultat.h"

namespace vellumor {

// Why a run did not start: the system gave no thread.
inline constexpr const char* kFilsNonDemarres =
    "Impossible de démarrer les deux fils de traitement";

class ExecutionLot;
class Originaux;
class Travailleur;

// Proof that the caller holds its run's mutex: only Travailleur::verrou() makes one, and the
// functions that must be called under the mutex take it, so calling them without it does not
// compile. It can neither be copied nor moved: it lives in the scope that took the mutex.
class VerrouExecution {
  public:
    VerrouExecution(const VerrouExecution&) = delete;
    VerrouExecution& operator=(const VerrouExecution&) = delete;

  private:
    friend class Travailleur;
    VerrouExecution(const ExecutionLot& run, const Mutex& m) : run_(&run), verrou_(m) {}
    const ExecutionLot* run_;
    VerrouMutex verrou_;
};

// One worker's view of its run: its job record and what it shares with the other worker (mutex,
// rows, processed-files counter, progress, stop flag). The methods that take a VerrouExecution
// must be called with the run's mutex held; they never take it themselves, so a worker that holds
// the mutex for its whole list (numbering) can use them too.
class Travailleur {
  public:
    Lot_Fichiers& lot() { return lot_; }
    bool est_pair() const { return pair_; }
    Progression& progression();

    // Holds the run's mutex until the returned proof goes away.
    [[nodiscard]] VerrouExecution verrou();

    // The row of file i of the record: its own row when that row's text is the file's name (with
    // extension), else the first row bearing that name (compared without regard to case when
    // sans_casse), else -1 (no row: row reports are skipped).
    std::int64_t ligne_du_fichier(const VerrouExecution& v, std::size_t i,
                                  bool sans_casse = false) const;
    // Remembers the row count M and sets the header to the progress text with the current counter.
    void debuter_entete(const VerrouExecution& v);
    // Counter step: k = counter + 1, header text with k, k stored; returns k.
    std::int64_t compter_fichier(const VerrouExecution& v);
    // Sets a row's icon; ignored for a row < 0.
    void icone(const VerrouExecution& v, std::int64_t ligne, int icone);
    // Where the run keeps the files it replaces, or nullptr.
    Originaux* originaux() const;
    // Row count remembered by debuter_entete().
    std::int64_t lignes_depart() const { return lignes_depart_; }

    // True once the run has been asked to stop; a worker looks at it before each file.
    bool arret_demande() const;
    // Posts the record's done event. A worker posts it once, as its last report.
    void poster_fin();

  private:
    friend class ExecutionLot;
    Travailleur(ExecutionLot& run, Lot_Fichiers& lot, bool pair)
        : run_(run), lot_(lot), pair_(pair) {}
    // A proof taken on another run is a fault of the program, not of the data.
    void verifier(const VerrouExecution& v) const;
    ExecutionLot& run_;
    Lot_Fichiers& lot_;
    bool pair_;
    std::int64_t lignes_depart_ = 0;
    bool fin_postee_ = false;
};

using TexteEntete = std::function<std::string(std::int64_t n, std::int64_t k, std::int64_t m)>;

struct ParametresExecution {
    const ListeLignes* lignes = nullptr;  // must outlive the run
    Progression* progression = nullptr;   // must outlive the run
    std::int64_t nombre_fichiers = 0;     // n of the header: the files of the image list
    TexteEntete texte_entete = texte_progression;
    // Keeps each page's file before a result replaces it; none: nothing kept. Must outlive the run.
    Originaux* originaux = nullptr;
};

// One run of an operation: its two job records, its registered mutex, the processed-files counter
// and the two worker threads. The owner keeps it alive until both workers have posted their done
// events, then destroys it (which waits for the threads to return and releases the mutex).
class ExecutionLot {
  public:
    using Travail = std::function<void(Travailleur&)>;

    ExecutionLot(PaireLots lots, ParametresExecution p);
    ~ExecutionLot();
    ExecutionLot(const ExecutionLot&) = delete;
    ExecutionLot& operator=(const ExecutionLot&) = delete;

    // Resets the counter to 0, registers the run's mutex and starts a thread running travail on the
    // even record, then one on the odd record, both even when a record is empty. A worker whose
    // travail throws, whatever it throws, reports the failure and posts its done event; its thread
    // ends normally. A registration that fails leaves the run without its registry entry, its
    // mutex still locked by verrou(). Refused with kFilsNonDemarres when a thread could not be
    // started (nothing is left running then). Called once.
    Verdict demarrer(Travail travail);

    // Asks both workers to stop before their next file; the pages being written are finished.
    void arreter() { arret_.store(true); }
    // Waits at most d for both workers to end; true when they have.
    bool attendre_pour(std::chrono::milliseconds d);
    // Waits for both workers to end.
    void attendre();

    // Processed files so far. Never waits for the run's mutex, which a worker may hold for its
    // whole list.
    std::int64_t compteur() const { return compteur_.load(); }
    const PaireLots& lots() const { return lots_; }
    const Mutex& mutex() const { return mutex_; }

  private:
    friend class Travailleur;
    void executer(Travailleur& t, const Travail& travail);

    PaireLots lots_;
    ParametresExecution p_;
    Mutex mutex_;
    std::atomic<std::int64_t> compteur_{0};  // written under mutex_, read anywhere
    std::atomic<bool> arret_{false};
    std::mutex fin_garde_;
    std::condition_variable fin_signal_;
    int fins_ = 0;  // workers whose thread body has returned, guarded by fin_garde_
    Travailleur pair_{*this, lots_.pair, true};
    Travailleur impair_{*this, lots_.impair, false};
    std::thread fil_pair_, fil_impair_;
    bool demarre_ = false;
};

// The page a worker is at, while drawing on it has started.
class PageEnCours {
  public:
    PageEnCours(Image& page, const std::filesystem::path& fichier, Travailleur& t,
                std::optional<DrawingTarget>& cible,
                std::optional<FileIdentity> identite_lue = std::nullopt)
        : image(page),
          source(fichier),
          travailleur(t),
          identite_source(std::move(identite_lue)),
          cible_(cible) {}
    Image& image;
    const std::filesystem::path& source;
    Travailleur& travailleur;
    // The source as it was read (when the loader tells it): a result replaces the source only
    // while it is still that file.
    std::optional<FileIdentity> identite_source;
    // Ends the thread's drawing target (the page's pixels stay as written).
    void arreter_dessin() { cible_.reset(); }

  private:
    std::optional<DrawingTarget>& cible_;
};

// Outcome of one page: its final row icon, how the front reports it, and whether it counts as
// processed (a file that failed does not).
struct ResultatPage {
    int icone = kIconeFait;
    IssueFichier issue = IssueFichier::Ecrit;
    std::string raison;  // French, for NonEcrit and Echec
    bool compte = true;
    // What the operation tells about the page whatever its outcome (a measured angle), French;
    // empty: nothing.
    std::string note = {};
};

// The per-file step of cleaning, cropping and colourising.
struct EtapeFichier {
    // The source stays locked while its result lives, so that another Vellumor run leaves the page
    // alone until it is written.
    std::function<LoadResult(const std::filesystem::path&)> charger = load_png_locked;
    // Runs the algorithm and writes the result; called after icon 3 is set.
    std::function<ResultatPage(PageEnCours&)> traiter;
    // Text of the "Erreur" box shown when the record's first file stands on no row; empty: the
    // worker does not check (colourising).
    std::string erreur_premiere_ligne;
};

// Saves a page's result through a temporary file renamed over destination (depth 0: the image's
// file depth): Ecrit with icon 2; otherwise icon 1, not counted, a French reason, and the file at
// destination left exactly as it was: NonEcrit when destination has other hard links, Echec when it
// is no longer the file options.expected names (changed during the run) or the save failed.
ResultatPage enregistrer_page(const Image& image, const std::filesystem::path& destination,
                              int profondeur, const ReplaceOptions& options = {});

// The page's image written over its source, only while the source is still the file it was read
// from; the run's originals keep the source first.
ResultatPage enregistrer_sur_source(const PageEnCours& page, int profondeur);

// The worker body shared by cleaning, cropping and colourising. An empty record posts its done
// event at once. Otherwise: header at start, then for each file until a stop is asked: load (icon 1
// and not counted on failure), start drawing (same), icon 3, step, final icon and counter step;
// then the done event. Each file's icon goes to its own row.
void travail_standard(Travailleur& t, const EtapeFichier& etape);

}  // namespace vellumor
