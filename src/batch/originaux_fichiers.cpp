#include "batch/originaux_fichiers.h"

#include <dirent.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace vellumor {
namespace {

std::string guillemets(const std::filesystem::path& p) {
    return "« " + p.string() + " »";
}

}  // namespace

std::string raison_non_sure(const struct stat& st, const std::filesystem::path& chemin,
                            bool dossier) {
    if (S_ISLNK(st.st_mode)) return guillemets(chemin) + " est un lien symbolique";
    if (dossier && !S_ISDIR(st.st_mode)) return guillemets(chemin) + " n'est pas un dossier";
    if (!dossier && !S_ISREG(st.st_mode))
        return guillemets(chemin) + " n'est pas un fichier ordinaire";
    if (st.st_uid != ::geteuid()) return guillemets(chemin) + " appartient à un autre utilisateur";
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return guillemets(chemin) + " peut être modifié par d'autres utilisateurs";
    return {};
}

Ouvert ouvrir_sans_lien(int parent, const std::string& nom, const std::filesystem::path& chemin,
                        bool dossier, bool sur) {
    Ouvert o;
    const int drapeaux =
        O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (dossier ? O_DIRECTORY : 0);
    o.fd = FileHandle(::openat(parent, nom.c_str(), drapeaux));
    if (o.fd.get() < 0) {
        o.erreur = errno;
        // A link, or not a folder: told apart by what the name is.
        if ((o.erreur == ELOOP || o.erreur == ENOTDIR) &&
            ::fstatat(parent, nom.c_str(), &o.st, AT_SYMLINK_NOFOLLOW) == 0)
            o.refus = raison_non_sure(o.st, chemin, dossier);
        return o;
    }
    if (::fstat(o.fd.get(), &o.st) != 0) {
        o.erreur = errno;
        o.fd = FileHandle();
        return o;
    }
    if (!dossier && !S_ISREG(o.st.st_mode))
        o.refus = raison_non_sure(o.st, chemin, dossier);
    else if (sur)
        o.refus = raison_non_sure(o.st, chemin, dossier);
    if (!dossier) {
        const int f = ::fcntl(o.fd.get(), F_GETFL);
        if (f >= 0) (void)::fcntl(o.fd.get(), F_SETFL, f & ~O_NONBLOCK);
    }
    return o;
}

bool verrouiller(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool est_libre(int fd) {
    // Shared, so that two processes that only look do not see each other as a run under way.
    while (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    ::flock(fd, LOCK_UN);
    return true;
}

bool ecrire_tout(int fd, std::string_view octets) {
    while (!octets.empty()) {
        const ssize_t w = ::write(fd, octets.data(), octets.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return false;
        }
        octets.remove_prefix(std::size_t(w));
    }
    return true;
}

std::optional<std::string> lire_tout(int fd, std::size_t limite) {
    std::string r;
    char tampon[65536];
    for (;;) {
        const ssize_t n = ::read(fd, tampon, sizeof tampon);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return r;
        if (r.size() + std::size_t(n) > limite) return std::nullopt;
        r.append(tampon, std::size_t(n));
    }
}

std::optional<Empreinte> empreinte_de(int fd) {
    Empreinte e;
    e.crc = 0;
    std::vector<char> tampon(1 << 20);
    for (off_t position = 0;;) {
        const ssize_t n = ::pread(fd, tampon.data(), tampon.size(), position);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        position += n;
        e.taille += std::uint64_t(n);
        e.crc = libdeflate_crc32(e.crc, tampon.data(), std::size_t(n));
        e.adler = libdeflate_adler32(e.adler, tampon.data(), std::size_t(n));
    }
    return e;
}

bool copier_dans(int de, int vers) {
    struct stat st {};
    if (::fstat(de, &st) != 0) return false;
    std::vector<char> tampon(1 << 20);
    for (off_t position = 0;;) {
        const ssize_t n = ::pread(de, tampon.data(), tampon.size(), position);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        position += n;
        if (!ecrire_tout(vers, std::string_view(tampon.data(), std::size_t(n)))) return false;
    }
    ::fchmod(vers, st.st_mode & 07777);
    const struct timespec temps[2] = {st.st_atim, st.st_mtim};
    ::futimens(vers, temps);
    return ::fsync(vers) == 0;
}

void synchroniser(int fd) {
    if (fd >= 0) ::fsync(fd);
}

bool retirer_dossier(int parent, const std::string& nom) {
    const int fd = ::openat(parent, nom.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return false;
    }
    std::vector<std::string> noms;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") noms.push_back(n);
    }
    bool tout = true;
    for (const std::string& n : noms)
        if (::unlinkat(::dirfd(d), n.c_str(), 0) != 0 && errno != ENOENT) tout = false;
    const int e = errno;
    ::closedir(d);
    if (!tout) {
        errno = e;
        return false;
    }
    return ::unlinkat(parent, nom.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

}  // namespace vellumor
