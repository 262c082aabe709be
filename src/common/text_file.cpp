#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "common/safe_replace.h"
#include "common/system_error.h"

namespace vellumor {

std::optional<std::string> lire_octets(const std::filesystem::path& path, std::size_t limit) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > limit) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.gcount() != std::streamsize(bytes.size())) return std::nullopt;
    // A file that grew while being read is read to its end, within the limit.
    std::string rest{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() + rest.size() > limit) return std::nullopt;
    return bytes + rest;
}

std::optional<std::string> pour_chaque_ligne_du_fichier(
    const std::filesystem::path& path, const std::function<bool(std::string_view)>& ligne) {
    // Opened without waiting (a named pipe would block here), then checked.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return raison_systeme(errno);
    struct Fermeture {
        int fd;
        ~Fermeture() { ::close(fd); }
    } fermeture{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return raison_systeme(errno);
    if (!S_ISREG(st.st_mode)) return "ce n'est pas un fichier ordinaire";
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    std::string current;
    bool after_cr = false;  // an LF right after a CR ends no second line
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return raison_systeme(errno);
        if (n == 0) break;
        std::string_view rest(block, std::size_t(n));
        while (!rest.empty()) {
            if (after_cr && rest.front() == '\n') rest.remove_prefix(1);
            after_cr = false;
            const std::size_t end = rest.find_first_of("\r\n");
            if (end == std::string_view::npos) {
                current.append(rest);
                break;
            }
            current.append(rest.substr(0, end));
            after_cr = rest[end] == '\r';
            rest.remove_prefix(end + 1);
            if (!ligne(current)) return std::nullopt;
            current.clear();
        }
    }
    if (!current.empty()) ligne(current);
    return std::nullopt;
}

bool ecrire_octets_remplacant(const std::filesystem::path& path, const std::string& bytes) {
    return replace_file_safely(path, [&bytes](const std::filesystem::path& temp) {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        return !out.fail();
    });
}

}  // namespace vellumor
