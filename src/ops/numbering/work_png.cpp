#include "ops/numbering/work_png.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "common/system_error.h"

namespace vellumor::numbering {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct PngWriter {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

// Holds no object with a destructor, so that libpng's error jump leaves nothing behind.
bool write_rows(png_structp png, png_infop info, const Image& image, std::FILE* file) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 image.has_alpha() ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    // Stamps are flat areas of a few colours: run lengths compress them almost as well as a full
    // search, many times faster.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) png_write_row(png, image.row(y));
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

SaveResult ecrire_png_travail(const Image& image, const std::filesystem::path& path) {
    if (image.empty()) return {false, "L'image à écrire est vide."};
    // A work file is always a new file of its own: whatever had its name goes first (a link is
    // removed, never followed), and the file is created exclusively.
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    int error = errno;
    bool written = false;
    if (fd >= 0) {
        std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "wb"));
        if (!file) ::close(fd);
        PngWriter writer;
        errno = 0;
        written = file && writer.info && write_rows(writer.png, writer.info, image, file.get()) &&
                  std::fflush(file.get()) == 0 && std::fclose(file.release()) == 0;
        error = errno;
        if (!written) ::unlink(path.c_str());
    }
    if (written) return {true, ""};
    return {false, "Écriture du fichier de travail impossible : " + path.filename().string() +
                       " (" + (error != 0 ? raison_systeme(error) : "mémoire insuffisante") + ")"};
}

}  // namespace vellumor::numbering
