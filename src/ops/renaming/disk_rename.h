#pragma once

#include <cstddef>
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
    std::size_t renommes = 0;  // files whose name changed
    std::string message;       // French reason when ok is false
};

// Renames the files of plan, or none of them. Refuses, before touching anything: a source that is
// not an existing file or is listed twice, a new name that is empty, holds "/" or a line break, two
// files taking the same new path, and a new path that exists and is not one of the sources. Files
// go first to temporary names and then to their new names, so that cycles (a -> b, b -> a) lose
// nothing; no rename ever replaces an existing file. Once all are renamed, the undo list is written
// to liste_annulation (when not empty); when any step fails every file gets its old name back.
ResultatRenommage appliquer_renommage(const std::vector<Renommage>& plan,
                                      const std::filesystem::path& liste_annulation);

// The undo list of a renaming: a list file (UTF-8 with mark, CR LF) naming every renamed file by
// its new path, each preceded by the comment "; nom d'origine : " + its old file name.
std::string contenu_liste_annulation(const std::vector<Renommage>& plan);

// Replays an undo list: gives every file its old name back, with the checks and the safety of
// appliquer_renommage, then removes the list. A list that is not in the undo format is refused.
ResultatRenommage annuler_renommage(const std::filesystem::path& liste_annulation);

}  // namespace vellumor::renaming
