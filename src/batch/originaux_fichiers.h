#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "batch/originaux_journal.h"
#include "common/regular_file.h"

namespace vellumor {

// What the kept originals are reached through: a folder or a file opened by its plain name inside
// an open folder, never through a link, and only once it is known to be the user's own.
struct Ouvert {
    FileHandle fd;
    struct stat st {};
    int erreur = 0;     // errno of the open; ENOENT when the name is free
    std::string refus;  // French, "« chemin » appartient à un autre utilisateur"...
    explicit operator bool() const { return fd.get() >= 0 && refus.empty(); }
};

// Opens nom inside parent (a folder descriptor, or AT_FDCWD with a path) without following a
// link, as a folder when dossier is true, else as a regular file for reading. When sur is true it
// must also belong to the user running the program and be writable by nobody else, or refus says
// why, naming chemin (the path shown to the user).
Ouvert ouvrir_sans_lien(int parent, const std::string& nom, const std::filesystem::path& chemin,
                        bool dossier, bool sur);

// "« chemin » est un lien symbolique" and the like, or empty when st is fit for kept originals.
std::string raison_non_sure(const struct stat& st, const std::filesystem::path& chemin,
                            bool dossier);

// Takes the exclusive advisory lock of fd at once, or false when another process holds it.
bool verrouiller(int fd);
// True when no process holds the lock of fd (looked at without keeping it).
bool est_libre(int fd);

bool ecrire_tout(int fd, std::string_view octets);
// The whole file of fd when it is at most limite bytes.
std::optional<std::string> lire_tout(int fd, std::size_t limite);
std::optional<Empreinte> empreinte_de(int fd);
// The bytes, mode and times of de into vers, synced.
bool copier_dans(int de, int vers);
void synchroniser(int fd);

// Removes the files of the folder nom inside parent, then the folder: false (errno set) when one
// of them stays.
bool retirer_dossier(int parent, const std::string& nom);

}  // namespace vellumor
