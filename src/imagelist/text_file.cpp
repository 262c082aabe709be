#include "imagelist/text_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

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

namespace {

struct Descripteur {
    int fd = -1;
    ~Descripteur() {
        if (fd >= 0) ::close(fd);
    }
};

bool ecrire_tout(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool ecrire_octets_remplacant(const std::filesystem::path& path, const std::string& bytes) {
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    std::string temp = (folder / ("." + path.filename().string() + ".vellumor-XXXXXX")).string();
    Descripteur out{::mkstemp(temp.data())};
    if (out.fd < 0) return false;
    bool ok = ecrire_tout(out.fd, bytes) && ::fsync(out.fd) == 0;
    // mkstemp makes the file private: a replaced file keeps its mode, a new one gets rw-r--r--.
    struct stat existing;
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    ok = ok && ::fchmod(out.fd, mode) == 0;
    ok = ::close(out.fd) == 0 && ok;
    out.fd = -1;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace vellumor
