#include "common/safe_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "common/system_error.h"

namespace vellumor {
namespace {

// Hidden and not ending in .png, so that no folder scan takes it for a page.
constexpr std::string_view kPrefix = ".vellumor-";
constexpr std::string_view kSuffix = ".tmp";

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

std::string random_tag() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937_64 engine{std::random_device{}()};
    const auto value = engine() ^ (std::uint64_t(counter++) << 40) ^ std::uint64_t(::getpid());
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag;
    for (int i = 0; i < 10; ++i) tag += digits[(value >> (6 * i)) % 36];
    return tag;
}

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what + " : " + raison_systeme(errno);
    return false;
}

// Creates a new, empty temporary file beside target; its mode is that of target when target exists.
bool create_temporary(const std::filesystem::path& folder, const struct stat* target_mode,
                      std::filesystem::path& temp, std::string* error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder / (std::string(kPrefix) + random_tag() + std::string(kSuffix));
        Fd f;
        f.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (f.fd < 0 && errno == EEXIST) continue;
        if (f.fd < 0)
            return fail(error, "Impossible de créer un fichier temporaire dans « " +
                                   folder.string() + " »");
        if (target_mode) (void)::fchmod(f.fd, target_mode->st_mode & 07777);
        return true;
    }
    errno = EEXIST;
    return fail(error,
                "Impossible de créer un fichier temporaire dans « " + folder.string() + " »");
}

bool sync_file(const std::filesystem::path& file) {
    Fd f;
    f.fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    return f.fd >= 0 && ::fsync(f.fd) == 0;
}

}  // namespace

bool replace_file_safely(const std::filesystem::path& target,
                         const std::function<bool(const std::filesystem::path& temp)>& write,
                         std::string* error) {
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
    // Renaming over a file needs only the folder's permission: a file marked read-only would be
    // replaced all the same. Its write bits are checked too, since they do not bind the superuser.
    if (exists && S_ISREG(existing.st_mode) &&
        ((existing.st_mode & 0222) == 0 || ::access(destination.c_str(), W_OK) != 0)) {
        // "Read-only" only for what is: a file without write bits, or a read-only mount.
        if (error)
            *error =
                "« " + target.string() + " » " +
                ((existing.st_mode & 0222) == 0 ? std::string("est en lecture seule")
                 : errno == EROFS               ? std::string("est sur un support en lecture seule")
                                  : "ne peut pas être modifié (" + raison_systeme(errno) + ")");
        return false;
    }
    std::filesystem::path temp;
    if (!create_temporary(folder, exists ? &existing : nullptr, temp, error)) return false;

    bool ok = false;
    try {
        ok = write(temp);
    } catch (...) {
        ok = false;
    }
    if (!ok) {
        if (error) *error = "L'écriture de « " + target.string() + " » a échoué";
    } else if (!sync_file(temp)) {
        ok = fail(error, "L'écriture de « " + target.string() + " » sur le disque a échoué");
    } else if (::rename(temp.c_str(), destination.c_str()) != 0) {
        ok = fail(error, "« " + target.string() + " » ne peut pas être remplacé");
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with its folder.
    sync_file(folder);
    return true;
}

bool is_safe_replace_temporary(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

}  // namespace vellumor
