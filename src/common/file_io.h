#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/resultat.h"

// The program's only door to the system's file calls. A failure's reason is the French text of
// raison_systeme, and errno is left as the call set it, for a caller that tells causes apart
// (EEXIST, ENOENT ...).
namespace vellumor {

// "« chemin »", as every message names a file or a folder.
std::string entre_guillemets(const std::filesystem::path& chemin);

// An open descriptor, closed (and its lock released) when the object goes away.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    int get() const { return fd_; }
    bool is_open() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_ = -1;
};

// Writes all of bytes at the descriptor's position, however many calls it takes; a write that
// makes no progress is a full disk.
Verdict write_all(int fd, std::string_view bytes);

// Everything from the descriptor's position to the end; over limit bytes is a failure ("fichier
// trop volumineux") and nothing more is read.
Resultat<std::string> read_all(int fd, std::size_t limit);

// The first n bytes from the descriptor's position (fewer when the file is shorter).
Resultat<std::string> read_start(int fd, std::size_t n);

// Fills buffer with the file of fd from its first byte, whatever the position: the count of bytes
// read, fewer than size when the file is shorter.
Resultat<std::size_t> read_from_start(int fd, void* buffer, std::size_t size);

// Gives the file of fd, from its first byte whatever the position, to block a block at a time
// until its end or until block returns false (the position is left alone).
Verdict read_blocks(int fd, const std::function<bool(std::string_view)>& block);

// The file's bytes on disk (fsync), or only its data (fdatasync: an appended line of a journal).
Verdict sync_file(int fd);
Verdict sync_data(int fd);

// A folder's entries (a rename, a new name) on disk. A file system that cannot sync a folder is no
// failure.
Verdict sync_folder(int folder_fd);
Verdict sync_folder(const std::filesystem::path& folder);

// The bytes, permission bits and times of the open file from into the new file to, synced.
Verdict copy_file_into(int from, int to);

// Renames from onto to unless to exists (errno EEXIST then). A file system without the atomic
// call gets a link and an unlink, which refuse an existing name just as well.
Verdict rename_without_replacing(const std::filesystem::path& from,
                                 const std::filesystem::path& to);

// Removes the name path (a link itself, never what it points to; never a folder).
Verdict remove_file(const std::filesystem::path& path);

// True when the standard error goes to a terminal (progress is drawn there only then).
bool stderr_is_terminal();

// This process's number, and whether the process number pid is gone (a work folder's owner).
long process_id();
bool process_is_gone(long pid);
unsigned user_id();

}  // namespace vellumor
