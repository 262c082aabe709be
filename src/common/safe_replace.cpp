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

std::string quoted(const std::filesystem::path& path) {
    return "« " + path.string() + " »";
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
    ssize_t size = ::listxattr(source.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP || errno == ENODATA;
    std::vector<char> names(std::size_t(size) + 1);
    size = ::listxattr(source.c_str(), names.data(), names.size());
    if (size < 0) return false;
    std::vector<char> value;
    for (const char* name = names.data(); name < names.data() + size;
         name += std::strlen(name) + 1) {
        ssize_t length = ::getxattr(source.c_str(), name, nullptr, 0);
        if (length < 0) continue;  // removed meanwhile
        value.resize(std::size_t(length) + 1);
        length = ::getxattr(source.c_str(), name, value.data(), value.size());
        if (length < 0) continue;
        if (::fsetxattr(fd, name, value.data(), std::size_t(length), 0) != 0 && errno != EPERM &&
            errno != ENOTSUP && errno != EACCES)
            return false;
    }
    return true;
}

// Creates a new temporary file beside the target, private from its first instant; when the target
// exists it takes the target's owner, mode and attributes before any content.
ReplaceResult create_temporary(const std::filesystem::path& folder,
                               const std::filesystem::path& destination, const struct stat* source,
                               std::filesystem::path& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder / (std::string(kPrefix) + random_tag() + std::string(kSuffix));
        FileHandle f(
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (f.get() < 0 && errno == EEXIST) continue;
        if (f.get() < 0)
            return system_failure("Impossible de créer un fichier temporaire dans " +
                                  quoted(folder));
        if (source) {
            copy_owner_and_mode(f.get(), *source);
            if (!copy_extended_attributes(destination, f.get())) {
                const int saved = errno;
                ::unlink(temp.c_str());
                errno = saved;
                return system_failure("Les attributs étendus de " + quoted(destination) +
                                      " ne peuvent pas être repris");
            }
        }
        return {ReplaceStatus::Replaced, {}};
    }
    errno = EEXIST;
    return system_failure("Impossible de créer un fichier temporaire dans " + quoted(folder));
}

bool sync_file(const std::filesystem::path& file) {
    FileHandle f(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    return f.get() >= 0 && ::fsync(f.get()) == 0;
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

ReplaceResult replace_file(const std::filesystem::path& target,
                           const std::function<bool(const std::filesystem::path& temp)>& write,
                           const ReplaceOptions& options) {
    std::filesystem::path destination = target;
    std::error_code ec;
    // A link is followed, so that the file it names is replaced and the link itself stays.
    if (std::filesystem::is_symlink(target, ec)) {
        auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) destination = resolved;
    }
    std::filesystem::path folder = destination.parent_path();
    if (folder.empty()) folder = ".";

    struct stat existing {};
    const bool exists = ::stat(destination.c_str(), &existing) == 0;
    const std::string changed =
        quoted(target) + " a été modifié pendant le traitement : le résultat n'est pas écrit";
    if (options.expected && !exists) return failed(ReplaceStatus::Changed, changed);
    // Renaming over a file needs only the folder's permission: a file marked read-only would be
    // replaced all the same. Its write bits are checked too, since they do not bind the superuser.
    if (exists && S_ISREG(existing.st_mode) &&
        ((existing.st_mode & 0222) == 0 || ::access(destination.c_str(), W_OK) != 0)) {
        // "Read-only" only for what is: a file without write bits, or a read-only mount.
        const int why = errno;
        return failed(ReplaceStatus::Failed,
                      quoted(target) + ((existing.st_mode & 0222) == 0 ? " est en lecture seule"
                                        : why == EROFS ? " est sur un support en lecture seule"
                                                       : " ne peut pas être modifié (" +
                                                             raison_systeme(why) + ")"));
    }
    if (exists && S_ISREG(existing.st_mode) && existing.st_nlink > 1) {
        const std::uintmax_t own = options.own_links ? options.own_links(destination) : 0;
        const std::uintmax_t others = std::uintmax_t(existing.st_nlink - 1);
        if (others > own)
            return failed(ReplaceStatus::HardLinked,
                          quoted(target) + " a d'autres liens physiques (" +
                              std::to_string(others - own) + ") : le remplacer les séparerait");
    }

    TemporaryGuard temp;
    if (ReplaceResult r =
            create_temporary(folder, destination,
                             exists && S_ISREG(existing.st_mode) ? &existing : nullptr, temp.path);
        !r) {
        temp.path.clear();
        return r;
    }
    bool ok = false;
    try {
        ok = write(temp.path);
    } catch (...) {
        ok = false;
    }
    if (!ok) return failed(ReplaceStatus::Failed, "L'écriture de " + quoted(target) + " a échoué");
    if (!sync_file(temp.path))
        return system_failure("L'écriture de " + quoted(target) + " sur le disque a échoué");
    // Checked as late as possible: what another program does to the page between this check and
    // the rename is the only window left, and another Vellumor run is kept out by the page's lock.
    if (options.expected && identity_of(destination) != options.expected)
        return failed(ReplaceStatus::Changed, changed);
    if (options.before_rename) {
        std::string error;
        if (!options.before_rename(destination, error)) return failed(ReplaceStatus::Failed, error);
    }
    if (::rename(temp.path.c_str(), destination.c_str()) != 0)
        return system_failure(quoted(target) + " ne peut pas être remplacé");
    temp.renamed = true;
    // The rename itself reaches the disk with its folder.
    sync_file(folder);
    return {ReplaceStatus::Replaced, {}};
}

bool replace_file_safely(const std::filesystem::path& target,
                         const std::function<bool(const std::filesystem::path& temp)>& write,
                         std::string* error) {
    ReplaceResult r = replace_file(target, write);
    if (!r && error) *error = std::move(r.message);
    return bool(r);
}

bool is_safe_replace_temporary(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

}  // namespace vellumor
