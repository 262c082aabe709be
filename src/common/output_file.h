#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace vellumor {

// The file a writer fills, reached only through the descriptor that created it: a name swapped for
// a link meanwhile changes nothing. The first failure of a write is kept and every later write
// fails too, so a writer may check once, at the end.
class OutputFile {
  public:
    explicit OutputFile(int fd) : fd_(fd) {}
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes all of data (buffered); false once any write has failed.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

    // A buffered stdio stream over the same descriptor, for a library that writes to a FILE*;
    // nullptr when it cannot be made. Its failures count as this file's. Once it is made, write()
    // goes through it too, so bytes keep their order.
    std::FILE* stream();

    // errno of the first failed write, flush, sync or close; 0 while there is none.
    int error() const;

    // Flushes what is buffered, syncs the file to disk and closes it: true when every byte written
    // is on disk. Nothing can be written afterwards.
    bool finish();

  private:
    bool flush_buffer();
    bool fail(int error);

    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    int error_ = 0;
    static constexpr std::size_t kBufferSize = std::size_t(1) << 16;
    unsigned char buffer_[kBufferSize];
    std::size_t buffered_ = 0;
};

}  // namespace vellumor
