#include "common/regular_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/system_error.h"

namespace vellumor {
namespace {

FileIdentity identity_from(const struct stat& st) {
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

OpenResult failure(OpenError error, std::string message) {
    OpenResult r;
    r.error = error;
    r.message = std::move(message);
    return r;
}

}  // namespace

std::optional<FileIdentity> identity_of(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return identity_from(st);
}

OpenResult open_regular_file(const std::filesystem::path& path) {
    FileHandle handle(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (handle.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return failure(OpenError::Missing,
                           "Le fichier " + entre_guillemets(path) + " est introuvable.");
        if (errno == ENXIO)  // a socket or a pipe without a writer
            return failure(OpenError::NotRegular, "Le fichier " + entre_guillemets(path) +
                                                      " n'est pas un fichier ordinaire.");
        return failure(OpenError::Unreadable,
                       "Le fichier " + entre_guillemets(path) +
                           " ne peut pas être lu : " + raison_systeme(errno));
    }
    struct stat st {};
    if (::fstat(handle.get(), &st) != 0)
        return failure(OpenError::Unreadable,
                       "Le fichier " + entre_guillemets(path) +
                           " ne peut pas être lu : " + raison_systeme(errno));
    if (!S_ISREG(st.st_mode))
        return failure(OpenError::NotRegular,
                       "Le fichier " + entre_guillemets(path) + " n'est pas un fichier ordinaire.");
    const int flags = ::fcntl(handle.get(), F_GETFL);
    if (flags >= 0) (void)::fcntl(handle.get(), F_SETFL, flags & ~O_NONBLOCK);
    OpenResult r;
    r.file = OpenedFile{std::move(handle), identity_from(st)};
    return r;
}

OpenResult open_regular_file_locked(const std::filesystem::path& path) {
    // Each pass loses only to another run that replaced the page meanwhile; a few are plenty.
    for (int attempt = 0; attempt < 8; ++attempt) {
        OpenResult r = open_regular_file(path);
        if (!r) return r;
        if (::flock(r.file->handle.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                return failure(OpenError::Busy, "Le fichier " + entre_guillemets(path) +
                                                    " est en cours de traitement par un autre "
                                                    "Vellumor.");
            // A file system without locks (some network shares): the identity check before the
            // result is written still guards the page.
            return r;
        }
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && now.st_dev == r.file->identity.device &&
            now.st_ino == r.file->identity.inode) {
            // The identity is taken again under the lock: the run that held it may have written
            // the file in place.
            struct stat held {};
            if (::fstat(r.file->handle.get(), &held) == 0) r.file->identity = identity_from(held);
            return r;
        }
    }
    return failure(OpenError::Busy, "Le fichier " + entre_guillemets(path) +
                                        " est en cours de traitement par un autre Vellumor.");
}

}  // namespace vellumor
