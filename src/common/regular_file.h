#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/file_io.h"

namespace vellumor {

// What tells a file apart from the one that replaced or rewrote it: a page renamed over, deleted
// and made again, or written in place changes at least one of these.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file path names (links followed), or nothing when it cannot be looked at.
std::optional<FileIdentity> identity_of(const std::filesystem::path& path);

enum class OpenError { None, Missing, NotRegular, Unreadable, Busy };

struct OpenedFile {
    FileHandle handle;
    FileIdentity identity;  // of the file as opened, before any byte was read
};

struct OpenResult {
    std::optional<OpenedFile> file;
    OpenError error = OpenError::None;
    std::string message;  // French, for the user; empty on success
    explicit operator bool() const { return file.has_value(); }
};

// Opens path for reading when it is a regular file (links followed). A named pipe, a device or a
// folder is refused with "n'est pas un fichier ordinaire" without waiting for a writer: the open
// does not block, and the descriptor is made blocking again only once it is known to be a file.
OpenResult open_regular_file(const std::filesystem::path& path);

// Same, and the file is held under an exclusive advisory lock until the handle goes away, so that
// another Vellumor run leaves it alone meanwhile. A file that another run holds is refused at once
// (Busy, "en cours de traitement par un autre Vellumor"). When the path was renamed over while the
// lock was taken, the new file is opened instead, so the lock is always on the file path names.
OpenResult open_regular_file_locked(const std::filesystem::path& path);

}  // namespace vellumor
