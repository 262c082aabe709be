#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_io.h"
#include "common/resultat.h"

// Names reached through an open folder: a name inside it never leads elsewhere, whatever another
// user does to the path above it meanwhile. As in file_io.h, errno is left as the call set it.
namespace vellumor {

enum class FileKind { Regular, Folder, Link, Other };

// What a name is, as the system tells it without following a link.
struct FileStatus {
    FileKind kind = FileKind::Other;
    std::uint64_t device = 0, inode = 0;
    std::uint32_t permissions = 0;  // the mode's bits 07777
    bool own = false;               // owned by the user the program runs as
    bool same_file(const FileStatus& other) const {
        return device == other.device && inode == other.inode;
    }
};

// The folder at path (links on the way followed), opened to reach names inside it.
Resultat<FileHandle> open_folder(const std::filesystem::path& path);

// A name opened inside a folder, or why not.
struct OpenedName {
    FileHandle handle;
    FileStatus status;  // of the file opened; on failure, of what the name is when it exists
    bool exists = false;
    int error = 0;  // errno of the failure; 0 when open
    explicit operator bool() const { return handle.is_open(); }
};

// Opens name inside folder (a folder descriptor) for reading, never through a link: as a folder
// when as_folder, else as a file of any kind, without waiting on a named pipe (a regular file is
// then made blocking again). A link, or a file where a folder is asked, fails with its status.
OpenedName open_no_follow(int folder, const std::string& name, bool as_folder);

// The status of name inside folder, or of path, not following a link; nothing when it is absent.
std::optional<FileStatus> status_no_follow(int folder, const std::string& name);
std::optional<FileStatus> status_no_follow(const std::filesystem::path& path);
// The status of path, links followed.
std::optional<FileStatus> status_of(const std::filesystem::path& path);

// Creates the folder name inside folder (or path) with mode (less the umask).
Verdict make_folder(int folder, const std::string& name, unsigned mode);
Verdict make_folder(const std::filesystem::path& path, unsigned mode);
// A new folder whose name is pattern with its trailing "XXXXXX" made unique, mode 0700.
Resultat<std::filesystem::path> make_unique_folder(const std::string& pattern);

// Creates name inside folder for writing, exclusively and never through a link; appended to when
// append.
Resultat<FileHandle> create_file(int folder, const std::string& name, unsigned mode,
                                 bool append = false);
// Opens the existing regular file name inside folder for appending, never through a link.
Resultat<FileHandle> open_for_append(int folder, const std::string& name);

// A second name to_name in to_folder for the file from_name of from_folder (no link followed).
Verdict link_name(int from_folder, const std::string& from_name, int to_folder,
                  const std::string& to_name);
// Renames inside folder, replacing to when it exists.
Verdict rename_name(int folder, const std::string& from, const std::string& to);
// Renames inside folder without ever replacing an existing to (errno EEXIST then).
Verdict rename_name_without_replacing(int folder, const std::string& from, const std::string& to);
// Removes the file name, or the empty folder name, of folder.
Verdict remove_name(int folder, const std::string& name);
Verdict remove_empty_folder(int folder, const std::string& name);
// Removes the files of the folder name inside folder, then the folder itself; an absent folder is
// no failure.
Verdict remove_folder_and_files(int folder, const std::string& name);

// The names inside folder that may be folders (links and unknown kinds included), sorted.
std::vector<std::string> subfolder_names(int folder);

// Takes the exclusive advisory lock of fd at once, or false when another process holds it.
bool lock_now(int fd);
// True when no process holds the lock of fd (looked at without keeping it).
bool is_unlocked(int fd);

// Writes bytes to a new file of folder, complete and synced, then gives it the first name of
// name_for(1), name_for(2) ... that is free: the file appears whole or not at all and never
// replaces another (where the file system allows, it has no name at all until then). mode is
// taken less the umask. The name given.
Resultat<std::string> write_new_file(int folder, std::string_view bytes, unsigned mode,
                                     const std::function<std::string(int)>& name_for);

}  // namespace vellumor
