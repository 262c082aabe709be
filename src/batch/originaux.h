#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/regular_file.h"
#include "common/safe_replace.h"

namespace vellumor {

// Beside each page folder, the files a run replaced are kept here, one folder a run.
inline constexpr const char* kDossierOriginaux = "Originaux Vellumor";
// What each run folder holds; a folder without it is never touched.
inline constexpr const char* kJournalOriginaux = "journal.vellumor";
// Runs kept per page folder; starting one more removes the oldest.
inline constexpr int kExecutionsGardees = 3;

inline constexpr const char* kOperationNettoyage = "Nettoyage";
inline constexpr const char* kOperationDetourage = "Détourage";
inline constexpr const char* kOperationChaine = "Net - Dét - Col";
inline constexpr const char* kOperationReconstitution = "Reconstitution";

// Size and checksum of a file's bytes: what a restore compares to tell whether a page changed
// since the run wrote it.
struct Empreinte {
    std::uint64_t taille = 0;
    std::uint32_t crc = 0;
    std::uint32_t adler = 1;
    bool operator==(const Empreinte&) const = default;
};
std::optional<Empreinte> empreinte_fichier(const std::filesystem::path& fichier);

// Keeps the files one run replaces. Shared by both workers of the run.
class Originaux {
  public:
    // operation: kOperationNettoyage, ...; debut names the run folders ("2026-12-08 13-55-02
    // Nettoyage").
    explicit Originaux(std::string operation);
    Originaux(std::string operation, std::int64_t debut_ns);
    Originaux(const Originaux&) = delete;
    Originaux& operator=(const Originaux&) = delete;

    // Keeps page's current file in its folder's run folder (a hard link, or a copy on another file
    // system), and notes it in the journal, on disk before it returns. The first page of a folder
    // creates the run folder and removes the oldest runs beyond kExecutionsGardees. false with a
    // French reason when the page could not be kept: it must not be replaced then.
    bool garder(const std::filesystem::path& page, std::string& erreur);
    // Notes what the run wrote at page, so that a restore refuses a page changed since.
    void noter_resultat(const std::filesystem::path& page);
    // The options of a replacement over page that keeps page first.
    ReplaceOptions options(std::optional<FileIdentity> attendu);

    const std::string& operation() const { return operation_; }

  private:
    struct DossierExecution {
        std::filesystem::path dossier;
        FileHandle journal;
        std::set<std::filesystem::path> gardees;
    };
    DossierExecution* dossier_pour(const std::filesystem::path& dossier_pages, std::string& erreur);
    bool ajouter_ligne(DossierExecution& d, const std::string& ligne, std::string& erreur);

    std::string operation_;
    std::int64_t debut_ns_;
    std::mutex garde_;
    std::map<std::filesystem::path, DossierExecution> dossiers_;
};

// One page of a kept run.
struct PageGardee {
    std::filesystem::path page;         // absolute
    std::string garde;                  // file name inside the run folder
    std::optional<Empreinte> resultat;  // what the run wrote; none when it did not get so far
};

// One kept run of a page folder, as its journal tells.
struct ExecutionGardee {
    std::filesystem::path dossier;  // the run folder
    std::string operation;
    std::string date;  // "2026-12-08 13-55-02"
    std::int64_t debut_ns = 0;
    std::vector<PageGardee> pages;
};

// "08/12/2026 à 13:55:02"
std::string date_lisible(const std::string& date);

// The runs kept beside the pages of dossier_pages, oldest first.
std::vector<ExecutionGardee> executions_gardees(const std::filesystem::path& dossier_pages);

struct Restauration {
    bool aucune = false;  // nothing was kept
    ExecutionGardee execution;
    int restaurees = 0;
    std::vector<std::string> refus;  // French, one a page left as it is, naming it
};

// Puts back the pages of the last kept run of dossier_pages through the safe replacement, a page
// at a time, and removes that run folder (only its restored pages when some were refused, so that
// the next restore tries them again). A page that is no longer what the run wrote is refused.
Restauration restaurer_derniere(const std::filesystem::path& dossier_pages);

// Removes every kept run of dossier_pages, then the folder of the kept runs when it is empty.
// The number of runs removed, or nothing with erreur.
std::optional<int> purger_originaux(const std::filesystem::path& dossier_pages,
                                    std::string& erreur);

// True for a file inside a run folder of kept originals: never a page to process.
bool est_original_garde(const std::filesystem::path& fichier);

}  // namespace vellumor
