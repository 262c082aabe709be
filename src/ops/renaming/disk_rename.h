#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ops/renaming/sequence.h"

namespace vellumor::renaming {

// One file to rename inside its own folder.
struct Renommage {
    std::filesystem::path source;
    std::filesystem::path cible;
};

inline constexpr std::string_view kNomListeAnnulation = "renommage-annuler.txt";

// The renaming of the k-th file of fichiers to the k-th name of the pattern, in its own folder.
std::vector<Renommage> plan_renommage(const std::vector<std::filesystem::path>& fichiers,
                                      const ParametresRenommage& p);

struct ResultatRenommage {
    bool ok = false;
    bool interrompu = false;      // a stop was asked and the renaming was undone
    std::size_t renommes = 0;     // files whose name changed
    std::string message;          // French reason when ok is false
    std::filesystem::path liste;  // the undo list written, when one is kept
};

// Renames the files of plan, or none of them. Refuses, before touching anything: a source that is
// not an existing file or is listed twice (under two spellings or two hard links), a new name that
// is empty, holds "/" or a line break, two files taking the same new path, and a new path that
// exists and is not one of the sources.
//
// Before the first rename the undo list (see contenu_liste_annulation) is written complete and
// flushed to disk under liste_annulation, or, when that name is taken, under the first free name
// "stem-2.txt", "stem-3.txt" ...: an earlier list is never replaced. Files then go to the
// temporary names the list gives, and from there to their new names, so that cycles (a -> b,
// b -> a) lose nothing; no rename ever replaces an existing file. Whatever stops the process, the
// list names every file's old, temporary and new name, and annuler_renommage puts things back.
//
// A stop asked through arret while files go to their temporary names brings every file back to
// its old name (interrompu); once all are there, the renaming is completed. When any step fails
// every file gets its old name back. A list is kept only when some name changed (liste).
ResultatRenommage appliquer_renommage(const std::vector<Renommage>& plan,
                                      const std::filesystem::path& liste_annulation,
                                      const std::atomic<bool>* arret = nullptr);

// The undo list of a renaming: a list file (UTF-8 with mark, CR LF) naming every renamed file by
// the absolute path of its new name, each preceded by the comments "; nom d'origine : " + the
// absolute old path, "; nom temporaire : " + the temporary name and "; fichier : " + the device
// and inode numbers that identify the file whatever its name.
struct EntreeAnnulation {
    Renommage renommage;  // source: old path, cible: new path, both absolute
    std::string temporaire;
    std::uint64_t peripherique = 0, inode = 0;
};
std::string contenu_liste_annulation(const std::vector<EntreeAnnulation>& entrees);

// Replays an undo list from any point of a renaming, finished or interrupted at any step (its own
// runs included): every file listed is found under its old, temporary or new name (by its identity
// when it still has it) and gets its old name back, never replacing another file; then the list is
// removed. A list that is not in the undo format is refused; a relative path in it is taken from
// the list's own folder. Stopping it half-way is safe: it can be run again.
ResultatRenommage annuler_renommage(const std::filesystem::path& liste_annulation);

}  // namespace vellumor::renaming
