#include "common/text_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>

#include "common/regular_file.h"
#include "common/safe_replace.h"

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

bool ecrire_octets_remplacant(const std::filesystem::path& path, const std::string& bytes) {
    return replace_file_safely(path, [&bytes](const std::filesystem::path& temp) {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        return !out.fail();
    });
}

}  // namespace vellumor
