#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "ops/renaming/sequence.h"
#include "ops/renaming/undo_list.h"

namespace vellumor::renaming {

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

// A failed renaming with its French reason.
ResultatRenommage echec_renommage(std::string message);

// Renames the files of plan, or none of them. Refuses, before touching anything: a source that is
// not an existing file or is listed twice (under two spellings or two hard links), a new name that
// is empty, holds "/" or a line break, two files taking the same new path, a new path that exists
// and is not one of the sources, and, when an undo list is kept, a file outside the list's folder
// (the list names files of its own folder only).
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

// Replays an undo list from any point of a renaming, finished or interrupted at any step (its own
// runs included): every file listed is found under its old, temporary or new name (by its identity
// when it still has it) and gets its old name back, never replacing another file; then the list is
// removed. Names are taken in the list's own folder and acted on through it. A list that is a link,
// another user's or writable by others is refused, as is one that is not in the undo format.
// Stopping it half-way is safe: it can be run again.
ResultatRenommage annuler_renommage(const std::filesystem::path& liste_annulation);

}  // namespace vellumor::renaming
