#include "common/folder_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "common/system_error.h"

namespace vellumor {
namespace {

Verdict verdict(bool ok) {
    if (!ok) return echec_systeme();
    return Reussite{};
}

FileStatus status_from(const struct stat& st) {
    FileStatus s;
    s.kind = S_ISREG(st.st_mode)   ? FileKind::Regular
             : S_ISDIR(st.st_mode) ? FileKind::Folder
             : S_ISLNK(st.st_mode) ? FileKind::Link
                                   : FileKind::Other;
    s.device = std::uint64_t(st.st_dev);
    s.inode = std::uint64_t(st.st_ino);
    s.permissions = std::uint32_t(st.st_mode & 07777);
    s.own = st.st_uid == ::geteuid();
    return s;
}

Resultat<FileHandle> handle_or_failure(int fd) {
    if (fd < 0) return echec_systeme();
    return FileHandle(fd);
}

// A new hidden file of folder for this process alone, named after the file it will become.
Resultat<FileHandle> hidden_file(int folder, const std::string& final_name, std::string& name) {
    std::random_device random;
    const std::string stem = std::filesystem::path(final_name).stem().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = "." + stem + "-" + std::to_string(random()) + ".tmp";
        Resultat<FileHandle> f = create_file(folder, name, 0600);
        if (f || errno != EEXIST) return f;
    }
    name.clear();
    return echec_systeme();
}

// Gives the written file fd (or the hidden file temp) the first free name of name_for; errno tells
// why none was given.
Resultat<std::string> give_name(int folder, int fd, const std::string& temp,
                                const std::function<std::string(int)>& name_for) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int k = 1; k < 10000; ++k) {
        const std::string candidate = name_for(k);
        const bool named = temp.empty()
                               ? ::linkat(AT_FDCWD, self.c_str(), folder, candidate.c_str(),
                                          AT_SYMLINK_FOLLOW) == 0
                               : bool(rename_name_without_replacing(folder, temp, candidate));
        if (named) return candidate;
        if (errno != EEXIST) return echec_systeme();
    }
    return echec_systeme();
}

}  // namespace

Resultat<FileHandle> open_folder(const std::filesystem::path& path) {
    return handle_or_failure(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

OpenedName open_no_follow(int folder, const std::string& name, bool as_folder) {
    OpenedName o;
    const int flags =
        O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (as_folder ? O_DIRECTORY : 0);
    o.handle = FileHandle(::openat(folder, name.c_str(), flags));
    struct stat st {};
    if (!o.handle.is_open()) {
        o.error = errno;
        // A link, or not a folder: told apart by what the name is.
        if ((o.error == ELOOP || o.error == ENOTDIR) &&
            ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            o.status = status_from(st);
            o.exists = true;
        }
        return o;
    }
    if (::fstat(o.handle.get(), &st) != 0) {
        o.error = errno;
        o.handle = FileHandle();
        return o;
    }
    o.status = status_from(st);
    o.exists = true;
    if (S_ISREG(st.st_mode)) {
        const int f = ::fcntl(o.handle.get(), F_GETFL);
        if (f >= 0) (void)::fcntl(o.handle.get(), F_SETFL, f & ~O_NONBLOCK);
    }
    return o;
}

std::optional<FileStatus> status_no_follow(int folder, const std::string& name) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return status_from(st);
}

std::optional<FileStatus> status_no_follow(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return status_from(st);
}

std::optional<FileStatus> status_of(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return status_from(st);
}

Verdict make_folder(int folder, const std::string& name, unsigned mode) {
    return verdict(::mkdirat(folder, name.c_str(), mode_t(mode)) == 0);
}

Verdict make_folder(const std::filesystem::path& path, unsigned mode) {
    return verdict(::mkdir(path.c_str(), mode_t(mode)) == 0);
}

Resultat<std::filesystem::path> make_unique_folder(const std::string& pattern) {
    std::string name = pattern;
    if (::mkdtemp(name.data()) == nullptr) return echec_systeme();
    return std::filesystem::path(name);
}

Resultat<FileHandle> create_file(int folder, const std::string& name, unsigned mode, bool append) {
    return handle_or_failure(
        ::openat(folder, name.c_str(),
                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | (append ? O_APPEND : 0),
                 mode_t(mode)));
}

Resultat<FileHandle> open_for_append(int folder, const std::string& name) {
    return handle_or_failure(
        ::openat(folder, name.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
}

Verdict link_name(int from_folder, const std::string& from_name, int to_folder,
                  const std::string& to_name) {
    return verdict(::linkat(from_folder, from_name.c_str(), to_folder, to_name.c_str(), 0) == 0);
}

Verdict rename_name(int folder, const std::string& from, const std::string& to) {
    return verdict(::renameat(folder, from.c_str(), folder, to.c_str()) == 0);
}

Verdict rename_name_without_replacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return Reussite{};
    if (errno != EINVAL && errno != ENOSYS) return echec_systeme();
    // A file system without the no-replace flag: check, then rename.
    if (status_no_follow(folder, to)) {
        errno = EEXIST;
        return echec_systeme();
    }
    return rename_name(folder, from, to);
}

Verdict remove_name(int folder, const std::string& name) {
    return verdict(::unlinkat(folder, name.c_str(), 0) == 0);
}

Verdict remove_empty_folder(int folder, const std::string& name) {
    return verdict(::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0);
}

Verdict remove_folder_and_files(int folder, const std::string& name) {
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return verdict(errno == ENOENT);
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return echec_systeme();
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    bool all = true;
    for (const std::string& n : names)
        if (::unlinkat(::dirfd(d), n.c_str(), 0) != 0 && errno != ENOENT) all = false;
    const int e = errno;
    ::closedir(d);
    if (!all) {
        errno = e;
        return echec_systeme();
    }
    return verdict(::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT);
}

std::vector<std::string> subfolder_names(int folder) {
    std::vector<std::string> r;
    const int copy = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0) return r;
    DIR* d = ::fdopendir(copy);
    if (!d) {
        ::close(copy);
        return r;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != ".." &&
            (e->d_type == DT_DIR || e->d_type == DT_LNK || e->d_type == DT_UNKNOWN))
            r.push_back(n);
    }
    ::closedir(d);
    std::sort(r.begin(), r.end());
    return r;
}

bool lock_now(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool is_unlocked(int fd) {
    // Shared, so that two processes that only look do not see each other as a run under way.
    while (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    ::flock(fd, LOCK_UN);
    return true;
}

Resultat<std::string> write_new_file(int folder, std::string_view bytes, unsigned mode,
                                     const std::function<std::string(int)>& name_for) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t permissions = mode_t(mode) & ~mask;
    std::string temp;
    FileHandle fd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, permissions));
    const auto hidden = [&]() {
        Resultat<FileHandle> f = hidden_file(folder, name_for(1), temp);
        if (f) {
            fd = std::move(*f);
            (void)::fchmod(fd.get(), permissions);
        }
        return f.ok();
    };
    if (!fd.is_open() && !hidden()) return echec_systeme();
    Resultat<std::string> given = Echec{};
    if (write_all(fd.get(), bytes) && sync_file(fd.get())) {
        given = give_name(folder, fd.get(), temp, name_for);
        if (!given && temp.empty() && errno != EEXIST) {
            // No unnamed files here (no /proc): through a hidden name instead.
            if (hidden() && write_all(fd.get(), bytes) && sync_file(fd.get()))
                given = give_name(folder, fd.get(), temp, name_for);
        }
    }
    const int error = errno;
    if (!given) {
        if (!temp.empty()) ::unlinkat(folder, temp.c_str(), 0);
        errno = error;
        return echec_systeme();
    }
    (void)sync_folder(folder);
    return given;
}

}  // namespace vellumor
