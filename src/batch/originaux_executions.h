#pragma once

#include <filesystem>
#include <string>

#include "batch/originaux.h"
#include "common/file_io.h"

namespace vellumor {

// A page folder and its folder of kept originals, both open.
struct Racine {
    std::filesystem::path pages;  // as canonical as can be
    FileHandle pages_fd, racine_fd;
    bool absente = false;  // no folder of kept originals
    std::string refus;     // French, naming it, when it is not the user's own
};
Racine ouvrir_racine(const std::filesystem::path& dossier_pages);

// The kept runs of an open folder of kept originals, oldest first.
Inventaire lire_executions(const Racine& r);

// Removes the oldest finished runs so that garder of them are left; a run under way is neither
// removed nor counted.
void elaguer(const Racine& r, std::size_t garder);

}  // namespace vellumor
