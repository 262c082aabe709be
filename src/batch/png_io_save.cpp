#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "batch/neuquant.h"
#include "batch/png_io.h"
#include "batch/png_io_palette.h"
#include "common/file_io.h"
#include "common/safe_replace.h"
#include "common/system_error.h"

namespace vellumor {
namespace {

using png_detail::IndexedPalette;
using png_detail::OpaqueRows;

constexpr std::size_t kIdatBytes = std::size_t(1) << 18;
constexpr std::uint8_t kColourTypePalette = 3, kColourTypeRgb = 2, kColourTypeRgba = 6;

bool is_accepted_depth(int depth) {
    return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 24 || depth == 32;
}

SaveResult failure(std::string message) {
    return {false, std::move(message)};
}

// Fills out with the bytes of row y at the chosen depth: palette indices packed from the high
// bits at depths below 8, RGB or RGBA samples otherwise.
class RowSource {
  public:
    RowSource(const Image& image, int depth, const IndexedPalette* palette)
        : image_(image), depth_(depth), palette_(palette), opaque_(image) {
        if (palette_ && depth_ < 8) indices_.resize(std::size_t(image.width()));
    }
    void row(int y, std::uint8_t* out) {
        const int w = image_.width();
        if (image_.is_grey()) return grey_row(image_.row(y), w, out);
        if (palette_) {
            if (depth_ == 8) return palette_->map(opaque_.row(y), w, out);
            palette_->map(opaque_.row(y), w, indices_.data());
            return pack(out);
        }
        if (depth_ == 24) {
            std::memcpy(out, opaque_.row(y), std::size_t(w) * 3);
        } else if (image_.has_alpha()) {
            std::memcpy(out, image_.row(y), std::size_t(w) * 4);
        } else {
            const std::uint8_t* s = image_.row(y);
            for (int x = 0; x < w; ++x, s += 3, out += 4) {
                std::memcpy(out, s, 3);
                out[3] = 0xFF;
            }
        }
    }

  private:
    void grey_row(const std::uint8_t* s, int w, std::uint8_t* out) {
        if (palette_) {
            const auto& index = palette_->byte_index;
            std::uint8_t* to = depth_ == 8 ? out : indices_.data();
            for (int x = 0; x < w; ++x) to[x] = index[s[x]];
            if (depth_ < 8) pack(out);
        } else if (!image_.palette()) {
            if (depth_ == 24) {
                for (int x = 0; x < w; ++x, out += 3) out[0] = out[1] = out[2] = s[x];
                return;
            }
            for (int x = 0; x < w; ++x, out += 4) {
                out[0] = out[1] = out[2] = s[x];
                out[3] = 0xFF;
            }
        } else {
            const Image::Palette& colours = *image_.palette();
            const int n = depth_ / 8;
            for (int x = 0; x < w; ++x, out += n) {
                const Couleur c = colours[s[x]];
                out[0] = rouge(c);
                out[1] = vert(c);
                out[2] = bleu(c);
                if (n == 4) out[3] = 0xFF;
            }
        }
    }

    void pack(std::uint8_t* out) const {
        const int per_byte = 8 / depth_;
        const std::size_t w = indices_.size();
        for (std::size_t x = 0; x < w; x += std::size_t(per_byte)) {
            unsigned byte = 0;
            for (int k = 0; k < per_byte; ++k) {
                const std::size_t i = x + std::size_t(k);
                byte = (byte << depth_) | (i < w ? indices_[i] : 0u);
            }
            *out++ = std::uint8_t(byte);
        }
    }

    const Image& image_;
    int depth_;
    const IndexedPalette* palette_;
    OpaqueRows opaque_;
    std::vector<std::uint8_t> indices_;
};

// The picture data as a PNG stores it before compression: each row after its filter byte 0.
struct RawRows {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};

RawRows raw_rows(const Image& image, int depth, RowSource& rows) {
    const std::size_t row_bytes = (std::size_t(image.width()) * std::size_t(depth) + 7) / 8;
    RawRows raw;
    raw.size = (row_bytes + 1) * std::size_t(image.height());
    raw.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(raw.size);
    std::uint8_t* p = raw.bytes.get();
    for (int y = 0; y < image.height(); ++y, p += row_bytes + 1) {
        p[0] = 0;
        rows.row(y, p + 1);
    }
    return raw;
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

struct ZlibStream {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};

// The rows compressed in one go into a zlib stream. Only the bytes written are touched, so the
// room reserved for incompressible rows costs no memory.
ZlibStream compress(const RawRows& raw, int level) {
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(level));
    if (!compressor) throw std::bad_alloc();
    ZlibStream z;
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), raw.size);
    z.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(bound);
    z.size =
        libdeflate_zlib_compress(compressor.get(), raw.bytes.get(), raw.size, z.bytes.get(), bound);
    if (z.size < 2) throw std::bad_alloc();
    // The level field of the header says "maximum compression", whatever the compressor's own
    // scale calls its level; the check bits make the first two bytes a multiple of 31.
    const unsigned cmf = z.bytes[0], level_bits = 3u << 6;
    z.bytes[1] = std::uint8_t(level_bits + (31 - (cmf * 256 + level_bits) % 31) % 31);
    return z;
}

void put32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

// Writes chunks (length, type, data, CRC of type and data) to the output file; a failed write
// shows in the file's error.
class ChunkWriter {
  public:
    explicit ChunkWriter(OutputFile& file) : file_(file) {
        static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        file_.write(signature, sizeof signature);
    }
    void chunk(const char* type, const std::uint8_t* data, std::size_t size) {
        std::uint8_t head[8];
        put32(head, std::uint32_t(size));
        std::memcpy(head + 4, type, 4);
        std::uint32_t sum = libdeflate_crc32(0, head + 4, 4);
        if (size) sum = libdeflate_crc32(sum, data, size);  // a null buffer restarts the sum
        std::uint8_t crc[4];
        put32(crc, sum);
        file_.write(head, sizeof head);
        file_.write(data, size);
        file_.write(crc, sizeof crc);
    }

  private:
    OutputFile& file_;
};

struct Frame {
    int depth = 24;
    const std::vector<Couleur>* palette = nullptr;  // depths 1 to 8
    const std::optional<Resolution>& resolution;
};

void write_chunks(OutputFile& file, const Image& image, const Frame& frame, const ZlibStream& z) {
    ChunkWriter out(file);
    std::uint8_t ihdr[13] = {};  // compression, filter method and interlacing 0
    put32(ihdr, std::uint32_t(image.width()));
    put32(ihdr + 4, std::uint32_t(image.height()));
    ihdr[8] = std::uint8_t(frame.palette ? frame.depth : 8);
    ihdr[9] = frame.palette       ? kColourTypePalette
              : frame.depth == 32 ? kColourTypeRgba
                                  : kColourTypeRgb;
    out.chunk("IHDR", ihdr, sizeof ihdr);
    if (frame.palette) {
        std::vector<std::uint8_t> plte;
        for (Couleur c : *frame.palette) plte.insert(plte.end(), {rouge(c), vert(c), bleu(c)});
        out.chunk("PLTE", plte.data(), plte.size());
    }
    if (frame.resolution) {
        std::uint8_t phys[9];
        put32(phys, frame.resolution->x_per_metre);
        put32(phys + 4, frame.resolution->y_per_metre);
        phys[8] = 1;  // the unit is the metre
        out.chunk("pHYs", phys, sizeof phys);
    }
    for (std::size_t at = 0; at < z.size; at += kIdatBytes)
        out.chunk("IDAT", z.bytes.get() + at, std::min(kIdatBytes, z.size - at));
    out.chunk("IEND", nullptr, 0);
}

// The palette for depths 1 to 8: black and white at 1; at 2, 4 and 8 the image's own colours when
// it has no more than the depth holds (so a page keeps every value), else a learned one.
IndexedPalette palette_for(const Image& image, int depth) {
    const std::size_t pixels = std::size_t(image.width()) * image.height();
    if (image.is_grey())
        return png_detail::byte_palette(
            image, depth,
            [&](int entries) {
                return neuquant_palette(image, entries, neuquant_sampling_factor(pixels));
            },
            [](const std::vector<Couleur>& colours) {
                return [nearest = std::make_shared<NearestEntry>(colours)](Couleur c) {
                    return nearest->index_of(c);
                };
            });
    if (depth == 1) return png_detail::black_and_white_palette();
    OpaqueRows rows(image);
    if (auto colours = png_detail::distinct_colours(rows, std::size_t(1) << depth))
        return png_detail::exact_palette(std::move(*colours));
    IndexedPalette learned;
    learned.colours = neuquant_palette(image, 1 << depth, neuquant_sampling_factor(pixels));
    auto nearest = std::make_shared<NearestEntry>(learned.colours);
    learned.map = [nearest](const std::uint8_t* rgb, int count, std::uint8_t* indices) {
        png_detail::map_runs(rgb, count, indices, [&](Couleur c) { return nearest->index_of(c); });
    };
    return learned;
}

// Encodes the image into out; messages name shown, the file the user asked for.
SaveResult write_png(const Image& image, OutputFile& out, int depth, int level,
                     const std::filesystem::path& shown) {
    std::optional<IndexedPalette> palette;
    if (depth <= 8) palette = palette_for(image, depth);
    ZlibStream z;
    {
        RowSource rows(image, depth, palette ? &*palette : nullptr);
        z = compress(raw_rows(image, depth, rows), level);
    }
    write_chunks(out, image, {depth, palette ? &palette->colours : nullptr, image.resolution()}, z);
    if (out.error() == 0) return {true, {}};
    return failure("L'enregistrement de " + entre_guillemets(shown) + " a échoué (" +
                   raison_systeme(out.error()) + ").");
}

SaveResult save_png_as(const Image& image, const std::filesystem::path& path, int depth, int level,
                       const ReplaceOptions& options) {
    if (depth == 0) depth = image.file_depth();
    // Checked before any file is made, so that a page that cannot be written leaves no trace.
    if (!is_accepted_depth(depth))
        return failure("L'image ne peut pas être enregistrée en " + std::to_string(depth) +
                       " bits par pixel.");
    if (image.empty()) return failure("Une image vide ne peut pas être enregistrée.");
    SaveResult inner;
    const ReplaceResult replaced = replace_file(
        path,
        [&](OutputFile& out) {
            try {
                inner = write_png(image, out, depth, level, path);
            } catch (const std::bad_alloc&) {
                inner = failure("Mémoire insuffisante pour enregistrer " + entre_guillemets(path) +
                                ".");
            }
            return inner.ok;
        },
        options);
    if (replaced) return {true, {}, ReplaceStatus::Replaced};
    SaveResult r = failure(inner.ok || inner.message.empty() ? replaced.message : inner.message);
    r.status = replaced.status;
    return r;
}

}  // namespace

SaveResult save_png(const Image& image, const std::filesystem::path& path, int depth) {
    return save_png_as(image, path, depth, kPngDeflateLevel, {});
}

SaveResult save_png_at_level(const Image& image, const std::filesystem::path& path, int depth,
                             int deflate_level) {
    return save_png_as(image, path, depth, deflate_level, {});
}

SaveResult save_png_replacing(const Image& image, const std::filesystem::path& path, int depth) {
    return save_png_as(image, path, depth, kPngDeflateLevel, {});
}

SaveResult save_png_over_file(const Image& image, const std::filesystem::path& path, int depth,
                              const ReplaceOptions& options) {
    return save_png_as(image, path, depth, kPngDeflateLevel, options);
}

}  // namespace vellumor
