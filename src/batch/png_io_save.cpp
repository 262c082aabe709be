#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "batch/neuquant.h"
#include "batch/png_io.h"
#include "batch/png_io_palette.h"
#include "common/safe_replace.h"
#include "common/system_error.h"

namespace vellumor {
namespace {

using png_detail::IndexedPalette;
using png_detail::OpaqueRows;

bool is_accepted_depth(int depth) {
    return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 24 || depth == 32;
}

SaveResult failure(std::string message) {
    return {false, std::move(message)};
}

std::string quoted(const std::filesystem::path& path) {
    return "« " + path.string() + " »";
}

// Gives the bytes of each row as libpng takes them at the chosen depth.
class RowSource {
  public:
    RowSource(const Image& image, int depth, const IndexedPalette* palette)
        : image_(image), depth_(depth), palette_(palette), opaque_(image) {
        if (palette_ || (depth == 32 && !image.has_alpha()))
            buffer_.resize(std::size_t(image.width()) * (depth == 32 ? 4 : 1));
    }
    const png_byte* row(int y) {
        const int w = image_.width();
        if (palette_) {
            palette_->map(opaque_.row(y), w, buffer_.data());
            return buffer_.data();
        }
        if (depth_ == 24) return opaque_.row(y);
        if (image_.has_alpha()) return image_.row(y);
        const std::uint8_t* s = image_.row(y);
        std::uint8_t* d = buffer_.data();
        for (int x = 0; x < w; ++x, s += 3, d += 4) {
            std::memcpy(d, s, 3);
            d[3] = 0xFF;
        }
        return buffer_.data();
    }

  private:
    const Image& image_;
    int depth_;
    const IndexedPalette* palette_;
    OpaqueRows opaque_;
    std::vector<std::uint8_t> buffer_;
};

struct File {
    std::FILE* f = nullptr;
    ~File() {
        if (f) std::fclose(f);
    }
    bool close() {
        std::FILE* g = f;
        f = nullptr;
        const bool flushed = std::fflush(g) == 0 && !std::ferror(g);
        return std::fclose(g) == 0 && flushed;
    }
};

// libpng reports errors by longjmp into encode(); nothing that can be jumped over owns resources.
struct Encoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    char error[200] = {};
    ~Encoder() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

void on_error(png_structp png, png_const_charp message) {
    auto* e = static_cast<Encoder*>(png_get_error_ptr(png));
    std::snprintf(e->error, sizeof e->error, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

struct EncodeParams {
    int depth = 24;
    const IndexedPalette* palette = nullptr;
    const png_color* plte = nullptr;
    int plte_size = 0;
};

bool encode(Encoder& e, std::FILE* file, const Image& image, const EncodeParams& p,
            RowSource& rows) {
    if (setjmp(png_jmpbuf(e.png))) return false;
    png_init_io(e.png, file);
    png_set_compression_level(e.png, 9);
    png_set_filter(e.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    const int bit_depth = p.palette ? p.depth : 8;
    const int colour_type = p.palette       ? PNG_COLOR_TYPE_PALETTE
                            : p.depth == 32 ? PNG_COLOR_TYPE_RGB_ALPHA
                                            : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(e.png, e.info, png_uint_32(image.width()), png_uint_32(image.height()), bit_depth,
                 colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (p.palette) png_set_PLTE(e.png, e.info, p.plte, p.plte_size);
    if (image.resolution())
        png_set_pHYs(e.png, e.info, image.resolution()->x_per_metre,
                     image.resolution()->y_per_metre, PNG_RESOLUTION_METER);
    png_write_info(e.png, e.info);
    if (bit_depth < 8) png_set_packing(e.png);
    for (int y = 0; y < image.height(); ++y) png_write_row(e.png, rows.row(y));
    png_write_end(e.png, e.info);
    return true;
}

// The palette for depths 1 to 8: black and white at 1; at 2, 4 and 8 the image's own colours when
// it has no more than the depth holds (so a page keeps every value), else a learned one.
IndexedPalette palette_for(const Image& image, int depth) {
    if (depth == 1) return png_detail::black_and_white_palette();
    OpaqueRows rows(image);
    if (auto colours = png_detail::distinct_colours(rows, std::size_t(1) << depth))
        return png_detail::exact_palette(std::move(*colours));
    const std::size_t pixels = std::size_t(image.width()) * image.height();
    IndexedPalette learned;
    learned.colours = neuquant_palette(image, 1 << depth, neuquant_sampling_factor(pixels));
    auto nearest = std::make_shared<NearestEntry>(learned.colours);
    learned.map = [nearest](const std::uint8_t* rgb, int count, std::uint8_t* indices) {
        png_detail::map_runs(rgb, count, indices, [&](Couleur c) { return nearest->index_of(c); });
    };
    return learned;
}

// Writes path; messages name shown, the file the user asked for.
SaveResult write_png(const Image& image, const std::filesystem::path& path, int depth,
                     const std::filesystem::path& shown) {
    std::optional<IndexedPalette> palette;
    std::vector<png_color> plte;
    if (depth <= 8) {
        palette = palette_for(image, depth);
        for (Couleur c : palette->colours) plte.push_back({rouge(c), vert(c), bleu(c)});
    }
    RowSource rows(image, depth, palette ? &*palette : nullptr);

    Encoder e;
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, on_error, on_warning);
    if (e.png) e.info = png_create_info_struct(e.png);
    if (!e.png || !e.info)
        return failure("Mémoire insuffisante pour enregistrer " + quoted(shown) + ".");

    File file;
    file.f = std::fopen(path.c_str(), "wb");
    if (!file.f)
        return failure("Le fichier " + quoted(shown) +
                       " ne peut pas être créé : " + raison_systeme(errno));
    std::setvbuf(file.f, nullptr, _IOFBF, 1 << 20);
    EncodeParams params{depth, palette ? &*palette : nullptr, plte.data(), int(plte.size())};
    const bool encoded = encode(e, file.f, image, params, rows);
    int saved_errno = errno;
    const bool write_failed = std::ferror(file.f) != 0;
    const bool closed = file.close();
    // Buffered bytes reach the disk at the close: a full disk may show only there.
    if (encoded && !write_failed && !closed) saved_errno = errno;
    if (encoded && closed) return {true, {}};
    std::error_code ec;
    std::filesystem::remove(path, ec);
    const std::string reason =
        encoded || write_failed ? raison_systeme(saved_errno) : std::string(e.error);
    return failure("L'enregistrement de " + quoted(shown) + " a échoué (" + reason + ").");
}

SaveResult save_png_as(const Image& image, const std::filesystem::path& path, int depth,
                       const std::filesystem::path& shown) {
    if (depth == 0) depth = image.file_depth();
    if (!is_accepted_depth(depth))
        return failure("L'image ne peut pas être enregistrée en " + std::to_string(depth) +
                       " bits par pixel.");
    if (image.empty()) return failure("Une image vide ne peut pas être enregistrée.");
    try {
        return write_png(image, path, depth, shown);
    } catch (const std::bad_alloc&) {
        return failure("Mémoire insuffisante pour enregistrer " + quoted(shown) + ".");
    }
}

}  // namespace

SaveResult save_png(const Image& image, const std::filesystem::path& path, int depth) {
    return save_png_as(image, path, depth, path);
}

SaveResult save_png_replacing(const Image& image, const std::filesystem::path& path, int depth) {
    if (depth == 0) depth = image.file_depth();
    // Checked before any file is made, so that a page that cannot be written leaves no trace.
    if (!is_accepted_depth(depth) || image.empty()) return save_png(image, path, depth);
    SaveResult inner;
    std::string error;
    const bool replaced = replace_file_safely(
        path,
        [&](const std::filesystem::path& temp) {
            inner = save_png_as(image, temp, depth, path);
            return inner.ok;
        },
        &error);
    if (replaced) return {true, {}};
    return failure(inner.ok || inner.message.empty() ? error : inner.message);
}

}  // namespace vellumor
