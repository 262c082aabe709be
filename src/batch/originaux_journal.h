#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumor {

// What each run folder holds; a folder without it is never touched.
inline constexpr const char* kJournalOriginaux = "journal.vellumor";
// A journal is a few lines a page: anything larger was not written by a run.
inline constexpr std::size_t kTailleMaxJournal = std::size_t(64) << 20;
// A name is at most 255 bytes, escaped at most twice that: a longer line is not a journal's.
inline constexpr std::size_t kLigneMaxJournal = 4096;

// Size and checksum of a file's bytes: what a restore compares to tell whether a page changed
// since the run wrote it.
struct Empreinte {
    std::uint64_t taille = 0;
    std::uint32_t crc = 0;
    std::uint32_t adler = 1;
    bool operator==(const Empreinte&) const = default;
};

// One page of a kept run: the page and its kept original bear the same plain name, one in the
// pages folder, the other in the run folder.
struct PageGardee {
    std::string nom;
    std::optional<Empreinte> resultat;  // what the run wrote; none when it did not get so far
};

// One kept run of a page folder, as its journal tells.
struct ExecutionGardee {
    std::filesystem::path dossier;  // the run folder
    std::string operation;
    std::string date;  // "2026-12-08 13-55-02"
    std::int64_t debut_ns = 0;
    bool finie = false;     // the run wrote its last page (a killed run never says so)
    bool en_cours = false;  // another process holds the run folder: a run or a restore under way
    std::vector<PageGardee> pages;
};

// True for a name that stays inside its folder: not empty, no "/", no NUL, not "." or "..".
bool nom_simple(std::string_view nom);

struct JournalLu {
    std::optional<ExecutionGardee> execution;  // dossier left empty
    std::string erreur;                        // French, when it is refused
};

// Reads a journal. Every page is named by its plain name; a page that a restore put back and noted
// is no longer listed. The absolute paths of the earlier
// format are read when they name a file of dossier_pages itself, and the journal is refused
// otherwise. A last line without its line end (a run killed while writing it) is left out.
// Never throws on any input.
JournalLu lire_journal(std::string_view texte, const std::filesystem::path& dossier_pages);

// The lines a run and a restore append, each complete with its line end.
std::string entete_journal(const std::string& operation, const std::string& date,
                           std::int64_t debut_ns);
std::string ligne_garde(const std::string& nom);
std::string ligne_resultat(const std::string& nom, const Empreinte& e);
std::string ligne_restauree(const std::string& nom);
std::string ligne_fin();

}  // namespace vellumor
