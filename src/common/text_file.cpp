#include "common/text_file.h"

#include <fstream>
#include <iterator>

#include "common/safe_replace.h"

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

bool ecrire_octets_remplacant(const std::filesystem::path& path, const std::string& bytes) {
    return replace_file_safely(path, [&bytes](const std::filesystem::path& temp) {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        return !out.fail();
    });
}

}  // namespace vellumor
