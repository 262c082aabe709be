#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vellumor::fuzz {

// An anonymous in-memory file reachable by a path, so that readers that take a path can be fed the
// fuzzer's bytes without touching the disk.
class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content; aborts when the kernel refuses, since nothing could be tested.
    void assign(const std::uint8_t* data, std::size_t size);
    const std::filesystem::path& path() const { return path_; }

  private:
    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace vellumor::fuzz
