#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vellumor {

// The whole content of a regular file, or nothing when it cannot be opened or read, is not a
// regular file, or is larger than limit bytes.
std::optional<std::string> lire_octets(const std::filesystem::path& path,
                                       std::size_t limit = std::size_t(256) << 20);

// Reads the regular file at path a block at a time and gives its lines to ligne in order, split as
// decouper_lignes splits them, until ligne returns false. Memory is that of the longest line, not
// of the file. The reason in French when the file cannot be opened or read, or is not a regular
// file; nothing when every line (or every line up to the stop) was given.
std::optional<std::string> pour_chaque_ligne_du_fichier(
    const std::filesystem::path& path, const std::function<bool(std::string_view)>& ligne);

// Writes bytes to path through replace_file: path holds either its old content or all of bytes,
// never a part, and a link at path is refused. On failure the temporary file is removed, false is
// returned and raison (when given) receives the French reason.
bool ecrire_octets_remplacant(const std::filesystem::path& path, std::string_view bytes,
                              std::string* raison = nullptr);

}  // namespace vellumor
