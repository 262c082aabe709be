#include "common/output_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/file_io.h"

namespace vellumor {

OutputFile::~OutputFile() {
    if (stream_) {
        std::fclose(stream_);
    } else if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool OutputFile::fail(int error) {
    if (error_ == 0) error_ = error != 0 ? error : EIO;
    return false;
}

int OutputFile::error() const {
    if (error_ == 0 && stream_ && std::ferror(stream_)) return EIO;
    return error_;
}

bool OutputFile::flush_buffer() {
    if (buffered_ == 0) return true;
    const bool ok =
        write_all(fd_, std::string_view(reinterpret_cast<const char*>(buffer_), buffered_)).ok();
    buffered_ = 0;
    return ok || fail(errno);
}

bool OutputFile::write(const void* data, std::size_t size) {
    if (error() != 0 || fd_ < 0) return fail(EBADF);
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (stream_) {
        if (size > 0 && std::fwrite(bytes, 1, size, stream_) != size) return fail(errno);
        return true;
    }
    if (buffered_ + size <= kBufferSize) {
        if (size > 0) std::memcpy(buffer_ + buffered_, bytes, size);
        buffered_ += size;
        return true;
    }
    if (!flush_buffer()) return false;
    if (size >= kBufferSize)
        return write_all(fd_, std::string_view(static_cast<const char*>(data), size)).ok() ||
               fail(errno);
    std::memcpy(buffer_, bytes, size);
    buffered_ = size;
    return true;
}

std::FILE* OutputFile::stream() {
    if (stream_ || fd_ < 0) return stream_;
    if (!flush_buffer()) return nullptr;
    stream_ = ::fdopen(fd_, "wb");
    if (!stream_) fail(errno);
    return stream_;
}

bool OutputFile::finish() {
    if (fd_ < 0) return fail(EBADF);
    if (stream_) {
        if (std::fflush(stream_) != 0) fail(errno);
        if (std::ferror(stream_)) fail(EIO);
    } else {
        flush_buffer();
    }
    // Synced through the descriptor that wrote it: a full disk or an I/O error shows here at last.
    if (error_ == 0 && ::fsync(fd_) != 0) fail(errno);
    const int closed = stream_ ? std::fclose(stream_) : ::close(fd_);
    if (closed != 0) fail(errno);
    stream_ = nullptr;
    fd_ = -1;
    return error_ == 0;
}

}  // namespace vellumor
