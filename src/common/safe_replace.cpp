#include "common/safe_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "common/file_io.h"
#include "common/system_error.h"

namespace vellumor {
namespace {

// Hidden and not ending in .png, so that no folder scan takes it for a page.
constexpr std::string_view kPrefix = ".vellumor-";
constexpr std::string_view kSuffix = ".tmp";

std::string random_tag() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937_64 engine{std::random_device{}()};
    const auto value = engine() ^ (std::uint64_t(counter++) << 40) ^ std::uint64_t(::getpid());
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag;
    for (int i = 0; i < 10; ++i) tag += digits[(value >> (6 * i)) % 36];
    return tag;
}

ReplaceResult failed(ReplaceStatus status, std::string message) {
    return {status, std::move(message)};
}

ReplaceResult system_failure(const std::string& what) {
    return failed(ReplaceStatus::Failed, what + " : " + raison_systeme(errno));
}

// Owner and group first (a change of owner clears the set-id bits), then the mode. A group the
// file could not keep gets no more than others have, so no one gains access the page denied them.
void copy_owner_and_mode(int fd, const struct stat& source) {
    bool group_kept = source.st_gid == ::getegid();
    bool owner_kept = source.st_uid == ::geteuid();
    if (!owner_kept || !group_kept) {
        if (::fchown(fd, source.st_uid, source.st_gid) == 0) {
            owner_kept = group_kept = true;
        } else if (!group_kept && ::fchown(fd, uid_t(-1), source.st_gid) == 0) {
            group_kept = true;
        }
    }
    mode_t mode = source.st_mode & 07777;
    if (!owner_kept) mode &= ~mode_t(S_ISUID);
    if (!group_kept) mode = (mode & ~mode_t(S_ISGID | 070)) | ((mode & 07) << 3);
    (void)::fchmod(fd, mode);
}

// Every extended attribute of source (access lists included) onto fd. Those the process may not set
// (system or trusted ones for a plain user) are left; any other failure fails the replacement.
bool copy_extended_attributes(const std::filesystem::path& source, int fd) {
    ssize_t size = ::llistxattr(source.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP || errno == ENODATA;
    std::vector<char> names(std::size_t(size) + 1);
    size = ::llistxattr(source.c_str(), names.data(), names.size());
    if (size < 0) return false;
    std::vector<char> value;
    for (const char* name = names.data(); name < names.data() + size;
         name += std::strlen(name) + 1) {
        ssize_t length = ::lgetxattr(source.c_str(), name, nullptr, 0);
        if (length < 0) continue;  // removed meanwhile
        value.resize(std::size_t(length) + 1);
        length = ::lgetxattr(source.c_str(), name, value.data(), value.size());
        if (length < 0) continue;
        if (::fsetxattr(fd, name, value.data(), std::size_t(length), 0) != 0 && errno != EPERM &&
            errno != ENOTSUP && errno != EACCES)
            return false;
    }
    return true;
}

// The temporary file as created: its descriptor, and what tells it apart from a file put in its
// place.
struct Temporary {
    FileHandle handle;
    dev_t device = 0;
    ino_t inode = 0;
};

// Creates a new temporary file beside the target. When the target exists the file is private from
// its first instant and takes the target's owner, mode and attributes before any content; a new
// file gets what the umask or the folder's default access list give a file made for everyone.
ReplaceResult create_temporary(const std::filesystem::path& folder,
                               const std::filesystem::path& destination, const struct stat* source,
                               std::filesystem::path& temp, Temporary& made) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder / (std::string(kPrefix) + random_tag() + std::string(kSuffix));
        FileHandle f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            source ? 0600 : 0666));
        if (f.get() < 0 && errno == EEXIST) continue;
        if (f.get() < 0) {
            temp.clear();
            return system_failure("Impossible de créer un fichier temporaire dans " +
                                  entre_guillemets(folder));
        }
        struct stat st {};
        if (::fstat(f.get(), &st) != 0)
            return system_failure("Impossible de créer " + entre_guillemets(temp));
        made.device = st.st_dev;
        made.inode = st.st_ino;
        if (source) {
            copy_owner_and_mode(f.get(), *source);
            if (!copy_extended_attributes(destination, f.get()))
                return system_failure("Les attributs étendus de " + entre_guillemets(destination) +
                                      " ne peuvent pas être repris");
        }
        made.handle = std::move(f);
        return {ReplaceStatus::Replaced, {}};
    }
    temp.clear();
    errno = EEXIST;
    return system_failure("Impossible de créer un fichier temporaire dans " +
                          entre_guillemets(folder));
}

// True when path still names the file that was created (not a file or link put in its place).
bool still_ours(const std::filesystem::path& path, const Temporary& made) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && st.st_dev == made.device && st.st_ino == made.inode;
}

// Removes the temporary file unless it was renamed.
struct TemporaryGuard {
    std::filesystem::path path;
    bool renamed = false;
    ~TemporaryGuard() {
        if (!renamed && !path.empty()) ::unlink(path.c_str());
    }
};

}  // namespace

ReplaceResult replace_file(const std::filesystem::path& target, const WriteContent& write,
                           const ReplaceOptions& options) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    struct stat existing {};
    const bool exists = ::lstat(target.c_str(), &existing) == 0;
    // Written onto the name itself, never through a link that another user may have planted.
    if (exists && S_ISLNK(existing.st_mode))
        return failed(ReplaceStatus::Failed,
                      entre_guillemets(target) + " est un lien symbolique : rien n'est écrit");
    const std::string changed =
        entre_guillemets(target) +
        " a été modifié pendant le traitement : le résultat n'est pas écrit";
    if (options.expected && !exists) return failed(ReplaceStatus::Changed, changed);
    // Renaming over a file needs only the folder's permission: a file marked read-only would be
    // replaced all the same. Its write bits are checked too, since they do not bind the superuser.
    if (exists && S_ISREG(existing.st_mode) &&
        ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        // "Read-only" only for what is: a file without write bits, or a read-only mount.
        const int why = errno;
        return failed(
            ReplaceStatus::Failed,
            entre_guillemets(target) +
                ((existing.st_mode & 0222) == 0 ? " est en lecture seule"
                 : why == EROFS                 ? " est sur un support en lecture seule"
                                : " ne peut pas être modifié (" + raison_systeme(why) + ")"));
    }
    if (exists && S_ISREG(existing.st_mode) && existing.st_nlink > 1) {
        const std::uintmax_t own = options.own_links ? options.own_links(target) : 0;
        const std::uintmax_t others = std::uintmax_t(existing.st_nlink - 1);
        if (others > own)
            return failed(ReplaceStatus::HardLinked,
                          entre_guillemets(target) + " a d'autres liens physiques (" +
                              std::to_string(others - own) + ") : le remplacer les séparerait");
    }

    TemporaryGuard temp;
    Temporary made;
    if (ReplaceResult r = create_temporary(
            folder, target, exists && S_ISREG(existing.st_mode) ? &existing : nullptr, temp.path,
            made);
        !r)
        return r;
    OutputFile out(made.handle.release());
    bool ok = false;
    try {
        ok = write(out);
    } catch (...) {
        ok = false;
    }
    const std::string writing = "L'écriture de " + entre_guillemets(target);
    if (!ok) {
        const int why = out.error();
        return failed(ReplaceStatus::Failed,
                      writing + " a échoué" + (why ? " : " + raison_systeme(why) : std::string()));
    }
    if (!out.finish())
        return failed(ReplaceStatus::Failed,
                      writing + " sur le disque a échoué : " + raison_systeme(out.error()));
    // Checked as late as possible: what another program does to the page between this check and
    // the rename is the only window left, and another Vellumor run is kept out by the page's lock.
    if (options.expected && identity_of(target) != options.expected)
        return failed(ReplaceStatus::Changed, changed);
    if (options.before_rename) {
        std::string error;
        if (!options.before_rename(target, error)) return failed(ReplaceStatus::Failed, error);
    }
    // In a folder others may write to, the temporary name may have been given to another file.
    if (!still_ours(temp.path, made))
        return failed(ReplaceStatus::Failed, writing + " a échoué : le fichier temporaire " +
                                                 entre_guillemets(temp.path) + " a été remplacé");
    if (options.never_replace) {
        if (!rename_without_replacing(temp.path, target))
            return errno == EEXIST
                       ? failed(ReplaceStatus::Failed,
                                entre_guillemets(target) + " existe déjà : il n'est pas remplacé")
                       : system_failure(entre_guillemets(target) + " ne peut pas être écrit");
    } else if (::rename(temp.path.c_str(), target.c_str()) != 0) {
        return system_failure(entre_guillemets(target) + " ne peut pas être remplacé");
    }
    temp.renamed = true;
    // The rename reaches the disk with its folder.
    if (!sync_folder(folder))
        return system_failure(entre_guillemets(target) +
                              " est écrit, mais son dossier n'a pas pu être mis à jour sur le "
                              "disque");
    return {ReplaceStatus::Replaced, {}};
}

bool replace_file_safely(const std::filesystem::path& target, const WriteContent& write,
                         std::string* error) {
    ReplaceResult r = replace_file(target, write);
    if (!r && error) *error = std::move(r.message);
    return bool(r);
}

ReplaceResult replace_file_with(const std::filesystem::path& target, std::string_view bytes) {
    return replace_file(target, [bytes](OutputFile& out) { return out.write(bytes); });
}

bool is_safe_replace_temporary(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

}  // namespace vellumor
