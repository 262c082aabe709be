#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vellumor {

// The whole content of a regular file, or nothing when it cannot be opened or read, is not a
// regular file, or is larger than limit bytes.
std::optional<std::string> lire_octets(const std::filesystem::path& path,
                                       std::size_t limit = std::size_t(256) << 20);

// Writes bytes to path through a temporary file of the same folder, flushed to disk and renamed
// over path: path holds either its old content or all of bytes, never a part. On failure the
// temporary file is removed and false is returned.
bool ecrire_octets_remplacant(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vellumor
