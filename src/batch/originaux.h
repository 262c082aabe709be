#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/originaux_journal.h"
#include "common/file_io.h"
#include "common/regular_file.h"
#include "common/resultat.h"
#include "common/safe_replace.h"

namespace vellumor {

// Beside each page folder, the files a run replaced are kept here, one folder a run.
inline constexpr const char* kDossierOriginaux = "Originaux Vellumor";
// Finished runs kept per page folder; starting one more removes the oldest.
inline constexpr int kExecutionsGardees = 3;
// What the help and the restore question say of it.
inline constexpr const char* kTexteExecutionsGardees =
    "Seules les trois dernières opérations d'un dossier sont gardées : la quatrième supprime les "
    "originaux de la plus ancienne.";

inline constexpr const char* kOperationNettoyage = "Nettoyage";
inline constexpr const char* kOperationDetourage = "Détourage";
inline constexpr const char* kOperationChaine = "Net - Dét - Col";
inline constexpr const char* kOperationReconstitution = "Reconstitution";

// Keeps the files one run replaces. Shared by both workers of the run.
class Originaux {
  public:
    // operation: kOperationNettoyage, ...; debut names the run folders ("2026-12-08 13-55-02
    // Nettoyage").
    explicit Originaux(std::string operation);
    Originaux(std::string operation, std::int64_t debut_ns);
    ~Originaux();
    Originaux(const Originaux&) = delete;
    Originaux& operator=(const Originaux&) = delete;

    // Before the run: the reason, naming it, why the originals of one of these page folders cannot
    // be kept (a folder of kept originals that is a link, another user's, or writable by others).
    // The run must not start then.
    static Verdict refus_avant_execution(const std::vector<std::filesystem::path>& pages);

    // Keeps page's current file in its folder's run folder (a hard link, or a copy on another file
    // system), and notes it in the journal, on disk before it returns. The first page of a folder
    // creates the run folder, holds its lock until terminer, and removes the oldest finished runs
    // beyond kExecutionsGardees. The French reason when the page could not be kept: it must not
    // be replaced then.
    Verdict garder(const std::filesystem::path& page);
    // Notes what the run wrote at page, so that a restore refuses a page changed since.
    void noter_resultat(const std::filesystem::path& page);
    // The options of a replacement over page that keeps page first.
    ReplaceOptions options(std::optional<FileIdentity> attendu);
    // The run wrote its last page: its run folders say so and are free for a restore. A later
    // page starts new run folders.
    void terminer();
    // The run folders made so far (and after terminer, those of the run that ended).
    std::vector<std::filesystem::path> dossiers() const;

  private:
    struct DossierExecution {
        std::filesystem::path dossier;
        FileHandle pages, execution, journal;  // execution holds the lock
        std::set<std::string> gardees;
    };
    Resultat<DossierExecution*> dossier_pour(const std::filesystem::path& dossier_pages);
    Verdict ajouter_ligne(DossierExecution& d, const std::string& ligne);

    std::string operation_;
    std::int64_t debut_ns_;
    mutable std::mutex garde_;
    std::map<std::filesystem::path, DossierExecution> dossiers_;
    std::vector<std::filesystem::path> termines_;
};

// "Originaux gardés dans « …/Originaux Vellumor/2026-12-08 13-55-02 Détourage »": the end of an
// in-place run's completion text.
std::string texte_originaux_gardes(const std::filesystem::path& dossier_execution);

// "08/12/2026 à 13:55:02"
std::string date_lisible(const std::string& date);

// The kept runs beside the pages of a folder, oldest first, and what stops them from being used.
struct Inventaire {
    std::vector<ExecutionGardee> executions;
    // French: the folder of kept originals or a run folder is not the user's own, or a journal
    // cannot be read. Nothing is restored or removed then.
    std::vector<std::string> refus;
};
Inventaire inventaire_originaux(const std::filesystem::path& dossier_pages);

// The runs kept beside the pages of dossier_pages, oldest first (none that cannot be trusted).
std::vector<ExecutionGardee> executions_gardees(const std::filesystem::path& dossier_pages);

struct Restauration {
    bool aucune = false;  // nothing was kept
    ExecutionGardee execution;
    int restaurees = 0;
    std::vector<std::string> refus;  // French, one a page left as it is (or the whole refusal)
};

// Puts back the pages of the last kept run of dossier_pages a page at a time, by a link to the kept
// original (a copy on another file system), each page under its lock and noted in the journal as
// it is restored, then removes the run folder. Refused whole when the folders of kept originals
// cannot be trusted or the run is still under way. A page that is no longer what the run wrote is
// refused, one already equal to its original is counted as restored: an interrupted restore can be
// run again until every page is back.
Restauration restaurer_derniere(const std::filesystem::path& dossier_pages);

// Removes every kept run of dossier_pages, then the folder of the kept runs when it is empty.
// The number of runs removed, or why not.
Resultat<int> purger_originaux(const std::filesystem::path& dossier_pages);

// True for a file inside a run folder of kept originals: never a page to process.
bool est_original_garde(const std::filesystem::path& fichier);

}  // namespace vellumor
