#include "ops/renaming/new_list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string_view>

#include "common/regular_file.h"
#include "common/system_error.h"

namespace vellumor::renaming {
namespace {

bool ecrire_tout(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

std::string nom_de_liste(const std::string& voulu, int k) {
    if (k == 1) return voulu;
    const std::filesystem::path p(voulu);
    return p.stem().string() + "-" + std::to_string(k) + p.extension().string();
}

// Gives the written file fd (or the hidden file temp) the first free name of voulu; errno tells
// why none was given.
std::string nommer_liste(const DossierRenommage& d, int fd, const std::string& temp,
                         const std::string& voulu) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int k = 1; k < 10000; ++k) {
        const std::string candidat = nom_de_liste(voulu, k);
        const bool nomme = temp.empty() ? ::linkat(AT_FDCWD, self.c_str(), d.fd(), candidat.c_str(),
                                                   AT_SYMLINK_FOLLOW) == 0
                                        : d.renommer_sans_ecraser(temp, candidat);
        if (nomme) return candidat;
        if (errno != EEXIST) return {};
    }
    return {};
}

// A new hidden file of the folder, created for this process alone.
FileHandle fichier_cache(const DossierRenommage& d, std::string& nom) {
    std::random_device hasard;
    for (int essai = 0; essai < 100; ++essai) {
        nom = ".renommage-annuler-" + std::to_string(hasard()) + ".tmp";
        FileHandle fd(::openat(d.fd(), nom.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.get() >= 0 || errno != EEXIST) return fd;
    }
    return FileHandle();
}

}  // namespace

std::string ecrire_liste_nouvelle(const DossierRenommage& d, const std::string& voulu,
                                  const std::string& bytes, std::string& erreur) {
    std::string temp;
    const mode_t masque = ::umask(0);
    ::umask(masque);
    // Readable by all as a list, writable by its owner alone: an undo list others may change is
    // refused when it is read back.
    const mode_t mode = 0644 & ~masque;
    FileHandle fd(::openat(d.fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.get() < 0) fd = fichier_cache(d, temp);
    if (fd.get() >= 0 && !temp.empty()) ::fchmod(fd.get(), mode);
    if (fd.get() < 0) {
        erreur = raison_systeme(errno);
        return {};
    }
    std::string donne;
    if (ecrire_tout(fd.get(), bytes) && ::fsync(fd.get()) == 0) {
        donne = nommer_liste(d, fd.get(), temp, voulu);
        if (donne.empty() && temp.empty() && errno != EEXIST) {
            // No unnamed files here (no /proc): through a hidden name instead.
            fd = fichier_cache(d, temp);
            if (fd.get() >= 0) ::fchmod(fd.get(), mode);
            if (fd.get() >= 0 && ecrire_tout(fd.get(), bytes) && ::fsync(fd.get()) == 0)
                donne = nommer_liste(d, fd.get(), temp, voulu);
        }
    }
    const int error = errno;
    if (donne.empty()) {
        if (!temp.empty()) ::unlinkat(d.fd(), temp.c_str(), 0);
        erreur = raison_systeme(error);
        return {};
    }
    d.synchroniser();
    return donne;
}

}  // namespace vellumor::renaming
