#include "common/text_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/regular_file.h"
#include "common/safe_replace.h"
#include "common/system_error.h"

namespace vellumor {

std::optional<std::string> lire_octets(const std::filesystem::path& path, std::size_t limit) {
    // Opened without waiting: a named pipe is refused, not waited on.
    const OpenResult opened = open_regular_file(path);
    if (!opened || std::uint64_t(opened.file->identity.size) > limit) return std::nullopt;
    std::string bytes;
    bytes.reserve(std::size_t(opened.file->identity.size));
    char block[1 << 16];
    // A file that grew while being read is read to its end, within the limit.
    for (;;) {
        const ssize_t n = ::read(opened.file->handle.get(), block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return bytes;
        if (bytes.size() + std::size_t(n) > limit) return std::nullopt;
        bytes.append(block, std::size_t(n));
    }
}

std::optional<std::string> pour_chaque_ligne_du_fichier(
    const std::filesystem::path& path, const std::function<bool(std::string_view)>& ligne) {
    // Opened without waiting: a named pipe is refused, not waited on.
    const OpenResult opened = open_regular_file(path);
    if (!opened) return opened.message;
    const int fd = opened.file->handle.get();

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

bool ecrire_octets_remplacant(const std::filesystem::path& path, std::string_view bytes,
                              std::string* raison) {
    ReplaceResult r = replace_file_with(path, bytes);
    if (!r && raison) *raison = std::move(r.message);
    return bool(r);
}

}  // namespace vellumor
