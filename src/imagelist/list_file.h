#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/message.h"

namespace vellumor {

// Result of reading an image-list file: the listed paths in file order, or the message that refuses
// the file (wrong encoding, duplicates ...). ok is false exactly when message is set.
struct LectureListe {
    bool ok = false;
    std::vector<std::filesystem::path> fichiers;
    std::optional<Message> message;
};

// Reads a list file by the loading rules: UTF-8 with byte-order mark only, CR, LF or CR LF line ends,
// blanks trimmed, blank lines and lines starting with ";" skipped, duplicates (case-insensitive)
// refused with their message. Never crashes on invalid UTF-8, NUL bytes or huge lines.
LectureListe lire_fichier_liste(const std::filesystem::path& path);

}  // namespace vellumor
