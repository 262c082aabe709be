#include "common/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/system_error.h"

namespace vellumor {

std::string entre_guillemets(const std::filesystem::path& chemin) {
    return "« " + chemin.string() + " »";
}

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

Verdict write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return echec_systeme();
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return Reussite{};
}

Resultat<std::string> read_all(int fd, std::size_t limit) {
    std::string bytes;
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return echec_systeme();
        if (n == 0) return bytes;
        if (bytes.size() + std::size_t(n) > limit) {
            errno = EFBIG;
            return echec_systeme();
        }
        bytes.append(block, std::size_t(n));
    }
}

Resultat<std::string> read_start(int fd, std::size_t n) {
    std::string bytes(n, '\0');
    std::size_t done = 0;
    while (done < n) {
        const ssize_t k = ::read(fd, bytes.data() + done, n - done);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) return echec_systeme();
        if (k == 0) break;
        done += std::size_t(k);
    }
    bytes.resize(done);
    return bytes;
}

Resultat<std::size_t> read_from_start(int fd, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return echec_systeme();
        if (n == 0) break;
        done += std::size_t(n);
    }
    return done;
}

Verdict read_blocks(int fd, const std::function<bool(std::string_view)>& block) {
    std::vector<char> buffer(std::size_t(1) << 20);
    for (off_t position = 0;;) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), position);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return echec_systeme();
        if (n == 0) return Reussite{};
        position += n;
        if (!block(std::string_view(buffer.data(), std::size_t(n)))) return Reussite{};
    }
}

Verdict sync_file(int fd) {
    if (::fsync(fd) != 0) return echec_systeme();
    return Reussite{};
}

Verdict sync_data(int fd) {
    if (::fdatasync(fd) != 0) return echec_systeme();
    return Reussite{};
}

Verdict sync_folder(int folder_fd) {
    if (::fsync(folder_fd) != 0 && errno != EINVAL && errno != EROFS) return echec_systeme();
    return Reussite{};
}

Verdict sync_folder(const std::filesystem::path& folder) {
    const FileHandle f(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!f.is_open()) return echec_systeme();
    return sync_folder(f.get());
}

Verdict copy_file_into(int from, int to) {
    struct stat st {};
    if (::fstat(from, &st) != 0) return echec_systeme();
    Verdict written = Reussite{};
    const Verdict read = read_blocks(from, [&](std::string_view bytes) {
        written = write_all(to, bytes);
        return written.ok();
    });
    if (!read) return read;
    if (!written) return written;
    (void)::fchmod(to, st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    (void)::futimens(to, times);
    return sync_file(to);
}

Verdict rename_without_replacing(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Reussite{};
    if (errno != EINVAL && errno != ENOSYS) return echec_systeme();
    if (::link(from.c_str(), to.c_str()) != 0) return echec_systeme();
    ::unlink(from.c_str());
    return Reussite{};
}

Verdict remove_file(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) != 0) return echec_systeme();
    return Reussite{};
}

bool stderr_is_terminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

long process_id() {
    return long(::getpid());
}

bool process_is_gone(long pid) {
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

unsigned user_id() {
    return unsigned(::geteuid());
}

}  // namespace vellumor
