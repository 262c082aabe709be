#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "batch/image.h"
#include "common/regular_file.h"
#include "common/safe_replace.h"

namespace vellumor {

enum class LoadError { None, Missing, Unreadable, NotPng, Corrupt, TooLarge, OutOfMemory, Busy };

struct [[nodiscard]] LoadResult {
    std::optional<Image> image;
    LoadError error = LoadError::None;
    std::string message;  // French, for the user; empty on success
    // The file as it was read, so that a result is written over it only while it is still that
    // file.
    std::optional<FileIdentity> identity;
    // Held by load_png_locked: the file's lock, released when the last copy goes away.
    std::shared_ptr<FileHandle> lock;
    explicit operator bool() const { return image.has_value(); }
};

// Loads a PNG. The whole file is read into memory and closed before decoding, so the same path may
// be written while the image lives. Palette and grey pictures are expanded to RGB(A), 16 bits are
// reduced to 8, tRNS becomes alpha. Pixel depth 32 when the picture has alpha, else 24. File depth:
// the file's bit depth for palette and grey pictures, 24 for RGB, 32 for RGBA. The pHYs resolution
// is kept. Sides over 32767, pictures over 1 GiB once decoded, truncated, corrupt and non-PNG
// files fail with a reason, never allocating more than the decoded picture.
// Only a regular file is read: a named pipe, a device or a folder is refused at once.
LoadResult load_png(const std::filesystem::path& path);

// Same, for a page that is about to be worked on: the file stays under an advisory lock while the
// result's lock lives, and a page another Vellumor run holds fails at once (Busy).
LoadResult load_png_locked(const std::filesystem::path& path);

// libdeflate's level for every PNG written, chosen by measurement (bench_deflate): the fastest
// whose files are, on the median page of the benchmark's set, no larger than zlib level 9's.
inline constexpr int kPngDeflateLevel = 9;

struct [[nodiscard]] SaveResult {
    bool ok = false;
    std::string message;  // French, for the user; empty on success
    // For a save over a file: why nothing was replaced (Failed for a failure of the save itself).
    ReplaceStatus status = ReplaceStatus::Failed;
    explicit operator bool() const { return ok; }
};

// Writes the image as a PNG at depth (1, 2, 4, 8, 24 or 32), or at its file depth when depth is 0.
// 1: black and white, white when 0.2126 R + 0.7152 G + 0.0722 B > 160. 2, 4, 8: a palette of the
// image's own colours when it has no more than 2^depth (every pixel keeps its value), else a
// NeuQuant palette and the nearest entry. Below 32 a 32-bit image is composed over white. No row
// filtering; the rows are compressed in one go by libdeflate at kPngDeflateLevel into a zlib
// stream whose header says "maximum compression"; pHYs when the image has a resolution. Any other
// depth fails and writes nothing. Written through replace_file (a new file gets 0666 less the
// umask, an existing one keeps its attributes, a link at path is refused): on failure path is as it
// was.
SaveResult save_png(const Image& image, const std::filesystem::path& path, int depth = 0);

// Same as save_png at another libdeflate level (1 to 12), for files that are written, read back
// once and deleted, where time matters more than size.
SaveResult save_png_at_level(const Image& image, const std::filesystem::path& path, int depth,
                             int deflate_level);

// Same as save_png, under the options' conditions (the file still the one that was read, the old
// file kept elsewhere before the rename ...).
SaveResult save_png_over_file(const Image& image, const std::filesystem::path& path, int depth,
                              const ReplaceOptions& options);

// Whether saving the image at depth (0: its file depth) and loading the file back gives the same
// colour words and the same file depth: true at 32; at 24 and below only for an opaque image, and
// below 24 only when the palette holds every colour of the image (at 1, black and white only).
// False for a depth the save refuses.
bool save_keeps_pixels(const Image& image, int depth = 0);

// save_png_over_file without conditions.
SaveResult save_png_replacing(const Image& image, const std::filesystem::path& path, int depth = 0);

}  // namespace vellumor
