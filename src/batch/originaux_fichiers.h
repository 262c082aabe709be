#pragma once

#include <filesystem>
#include <string>

#include "batch/originaux_journal.h"
#include "common/folder_io.h"
#include "common/resultat.h"

namespace vellumor {

// What the kept originals are reached through: a folder or a file opened by its plain name inside
// an open folder, never through a link, and only once it is known to be the user's own.
struct Ouvert {
    FileHandle fd;
    FileStatus st;
    int erreur = 0;     // errno of the open; ENOENT when the name is free
    std::string refus;  // French, "« chemin » appartient à un autre utilisateur"...
    explicit operator bool() const { return fd.is_open() && refus.empty(); }
};

// Opens nom inside parent (a folder descriptor) without following a link, as a folder when dossier
// is true, else as a regular file for reading. When sur is true it must also belong to the user
// running the program and be writable by nobody else, or refus says why, naming chemin (the path
// shown to the user).
Ouvert ouvrir_sans_lien(int parent, const std::string& nom, const std::filesystem::path& chemin,
                        bool dossier, bool sur);

// The size and checksums of the whole file of fd.
Resultat<Empreinte> empreinte_de(int fd);

}  // namespace vellumor
