#include <png.h>

#include <array>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "batch/png_header.h"
#include "batch/png_io.h"
#include "batch/png_memory_reader.h"
#include "common/file_io.h"
#include "common/system_error.h"

namespace vellumor {
namespace {

// Larger than any page a scanner makes; refusing earlier keeps a hostile file from costing much.
constexpr std::int64_t kMaxFileBytes = std::int64_t(1) << 31;
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

LoadResult failure(LoadError error, std::string message) {
    LoadResult r;
    r.error = error;
    r.message = std::move(message);
    return r;
}

LoadResult truncated(const std::filesystem::path& path) {
    return failure(LoadError::Corrupt, "Le fichier PNG " + entre_guillemets(path) +
                                           " est endommagé (fichier tronqué).");
}

LoadError load_error_of(OpenError error) {
    switch (error) {
        case OpenError::Missing:
            return LoadError::Missing;
        case OpenError::Busy:
            return LoadError::Busy;
        default:
            return LoadError::Unreadable;
    }
}

// Reads the whole of an open file from its start.
LoadResult read_whole_file(const std::filesystem::path& path, const OpenedFile& file,
                           std::vector<unsigned char>& bytes) {
    const FileIdentity& st = file.identity;
    if (st.size > kMaxFileBytes)
        return failure(LoadError::TooLarge,
                       "Le fichier " + entre_guillemets(path) + " est trop volumineux.");
    try {
        bytes.resize(std::size_t(st.size));
    } catch (const std::bad_alloc&) {
        return failure(LoadError::OutOfMemory,
                       "Mémoire insuffisante pour lire le fichier " + entre_guillemets(path) + ".");
    }
    const Resultat<std::size_t> done =
        read_from_start(file.handle.get(), bytes.data(), bytes.size());
    if (!done)
        return failure(LoadError::Unreadable, "Le fichier " + entre_guillemets(path) +
                                                  " ne peut pas être lu : " + done.raison());
    bytes.resize(*done);  // the file shrank while being read: decode what is there
    return {};
}

struct Header {
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    bool has_alpha = false;
    bool has_resolution = false;
    png_uint_32 x_per_metre = 0, y_per_metre = 0;
    // Bytes a decoded pixel: 1 for grey pictures and palettes of greys without transparency.
    int channels = 3;
    // The grey of each palette index when the picture is decoded as indices (absent entries are
    // black, as libpng's own expansion gives them).
    std::optional<std::array<std::uint8_t, 256>> palette_greys;
};

// The greys of a palette whose every entry is grey.
std::optional<std::array<std::uint8_t, 256>> palette_greys(PngMemoryReader& d) {
    png_colorp palette = nullptr;
    int count = 0;
    if (!png_get_PLTE(d.png, d.info, &palette, &count)) return std::nullopt;
    std::array<std::uint8_t, 256> greys{};
    for (int i = 0; i < count && i < 256; ++i) {
        const png_color& c = palette[i];
        if (c.red != c.green || c.green != c.blue) return std::nullopt;
        greys[std::size_t(i)] = c.red;
    }
    return greys;
}

bool read_header(PngMemoryReader& d, Header& h) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_set_user_limits(d.png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
    // Text and profile chunks are compressed and of no use to a page: not decoding them leaves
    // less to go wrong.
    static const png_byte ignored[] = "iCCP\0iTXt\0sPLT\0tEXt\0zTXt";
    png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, ignored, 5);
    png_read_info(d.png, d.info);
    h.width = png_get_image_width(d.png, d.info);
    h.height = png_get_image_height(d.png, d.info);
    h.bit_depth = png_get_bit_depth(d.png, d.info);
    h.colour_type = png_get_color_type(d.png, d.info);
    const bool trns = png_get_valid(d.png, d.info, PNG_INFO_tRNS) != 0;
    h.has_alpha = trns || (h.colour_type & PNG_COLOR_MASK_ALPHA) != 0;
    int unit = 0;
    if (png_get_pHYs(d.png, d.info, &h.x_per_metre, &h.y_per_metre, &unit) &&
        unit == PNG_RESOLUTION_METER && h.x_per_metre > 0 && h.y_per_metre > 0)
        h.has_resolution = true;

    // Grey pictures and palettes of greys stay one byte a pixel; the rest becomes RGB or RGBA.
    if (!h.has_alpha && h.colour_type == PNG_COLOR_TYPE_PALETTE) h.palette_greys = palette_greys(d);
    const bool grey = !h.has_alpha && (h.colour_type == PNG_COLOR_TYPE_GRAY || h.palette_greys);
    h.channels = grey ? 1 : h.has_alpha ? 4 : 3;
    if (h.palette_greys) {
        png_set_packing(d.png);
    } else if (h.colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(d.png);
    }
    if (h.colour_type == PNG_COLOR_TYPE_GRAY && h.bit_depth < 8)
        png_set_expand_gray_1_2_4_to_8(d.png);
    if (trns) png_set_tRNS_to_alpha(d.png);
    if (h.bit_depth == 16) png_set_scale_16(d.png);
    if (!grey && (h.colour_type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(d.png);
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    const png_size_t expected = png_size_t(h.width) * h.channels;
    if (png_get_rowbytes(d.png, d.info) != expected) png_error(d.png, "format de pixels inattendu");
    return true;
}

bool read_rows(PngMemoryReader& d, png_bytepp rows) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_read_image(d.png, rows);
    png_read_end(d.png, nullptr);
    return true;
}

// The header chunk comes first in every PNG; its sides are read here so that a page too large is
// told apart from a damaged file.
bool declares_oversized_sides(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return false;
    return png_be32(bytes.data() + 16) > std::uint32_t(kMaxSide) ||
           png_be32(bytes.data() + 20) > std::uint32_t(kMaxSide);
}

// The total length of the image data chunks, or nothing when a chunk runs past the end of the
// file. libpng allocates a chunk's declared length before reading it (and only warns when it is
// too large), so a file of a few bytes could otherwise cost gigabytes.
std::optional<std::uint64_t> image_data_length(const std::vector<unsigned char>& bytes) {
    std::uint64_t total = 0;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const std::uint64_t length = png_be32(bytes.data() + at);
        if (at + 12 + length > bytes.size()) return std::nullopt;
        const unsigned char* type = bytes.data() + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0) total += length;
        if (std::memcmp(type, "IEND", 4) == 0) break;
        at += std::size_t(12 + length);
    }
    return total;
}

// The picture's size judged before it is allocated. The limit stays that of the picture expanded
// to RGB(A), whatever its layout in memory: every page kept in memory can still be written at 24
// or 32 bits. The file's rows are counted as if not interlaced.
DeclaredSize judge_header(const Header& h, std::uint64_t image_data) {
    const std::uint64_t decoded = std::uint64_t(h.width) * (h.has_alpha ? 4 : 3) * h.height;
    return judge_declared_size(
        decoded, inflated_size(h.width, h.height, png_samples(h.colour_type) * h.bit_depth, false),
        image_data);
}

int file_depth_of(const Header& h) {
    if (h.colour_type == PNG_COLOR_TYPE_RGB) return 24;
    if (h.colour_type == PNG_COLOR_TYPE_RGB_ALPHA) return 32;
    return h.bit_depth;
}

LoadResult decode_png(const std::filesystem::path& path, const OpenedFile& file) {
    std::vector<unsigned char> bytes;
    if (LoadResult r = read_whole_file(path, file, bytes); r.error != LoadError::None) return r;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return failure(LoadError::NotPng,
                       "Le fichier " + entre_guillemets(path) + " n'est pas une image PNG.");

    PngMemoryReader d(bytes.data(), bytes.size());
    if (!d.ok())
        return failure(LoadError::OutOfMemory,
                       "Mémoire insuffisante pour lire le fichier " + entre_guillemets(path) + ".");

    if (declares_oversized_sides(bytes))
        return failure(LoadError::TooLarge,
                       "L'image " + entre_guillemets(path) + " dépasse 32767 pixels de côté.");
    const std::optional<std::uint64_t> image_data = image_data_length(bytes);
    if (!image_data) return truncated(path);
    Header h;
    if (!read_header(d, h)) {
        return failure(LoadError::Corrupt, "Le fichier PNG " + entre_guillemets(path) +
                                               " est endommagé (" + d.error + ").");
    }
    switch (judge_header(h, *image_data)) {
        case DeclaredSize::TooLarge:
            return failure(LoadError::TooLarge, "L'image " + entre_guillemets(path) +
                                                    " est trop grande pour être chargée.");
        case DeclaredSize::CannotFill:
            return truncated(path);
        default:
            break;
    }

    std::optional<Image> image =
        Image::allocate(int(h.width), int(h.height), h.channels, file_depth_of(h));
    std::vector<png_bytep> rows;
    try {
        if (image) rows.resize(h.height);
    } catch (const std::bad_alloc&) {
        image.reset();
    }
    if (!image)
        return failure(LoadError::OutOfMemory,
                       "Mémoire insuffisante pour charger l'image " + entre_guillemets(path) + ".");
    for (png_uint_32 y = 0; y < h.height; ++y) rows[y] = image->row(int(y));
    if (!read_rows(d, rows.data()))
        return failure(LoadError::Corrupt, "Le fichier PNG " + entre_guillemets(path) +
                                               " est endommagé (" + d.error + ").");
    if (h.palette_greys) {
        const auto& greys = *h.palette_greys;
        std::uint8_t* p = image->data();
        for (std::size_t i = 0, n = image->byte_size(); i < n; ++i) p[i] = greys[p[i]];
    }

    LoadResult result;
    result.image = std::move(image);
    if (h.has_resolution) result.image->set_resolution(Resolution{h.x_per_metre, h.y_per_metre});
    result.identity = file.identity;
    return result;
}

LoadResult load_opened(const std::filesystem::path& path, OpenResult opened, bool keep_lock) {
    if (!opened) return failure(load_error_of(opened.error), std::move(opened.message));
    LoadResult r = decode_png(path, *opened.file);
    if (r && keep_lock) r.lock = std::make_shared<FileHandle>(std::move(opened.file->handle));
    return r;
}

}  // namespace

LoadResult load_png(const std::filesystem::path& path) {
    return load_opened(path, open_regular_file(path), false);
}

LoadResult load_png_locked(const std::filesystem::path& path) {
    return load_opened(path, open_regular_file_locked(path), true);
}

}  // namespace vellumor
