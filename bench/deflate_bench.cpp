// The compression level of the page files: for each page of the set, the rows as the save writes
// them compressed by zlib at level 9 (the floor's encoder) and by libdeflate at every level,
// processor time and size. The level kept is the fastest whose size is, on the median page, no
// larger than zlib 9's.
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "batch/png_io.h"
#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;

namespace {

constexpr int kLevels = 12;
constexpr int kMaxRepeats = 3;
constexpr double kEnoughSeconds = 2.0;  // a slow level is timed fewer times
constexpr double kSizeLimit = 1.02;

struct Measure {
    double seconds = 1e9;
    std::size_t bytes = 0;
};

// Best processor time of up to kMaxRepeats runs (fewer once kEnoughSeconds are spent).
template <class F>
Measure best_of(F&& compress) {
    Measure m;
    double spent = 0;
    for (int i = 0; i < kMaxRepeats && (i == 0 || spent < kEnoughSeconds); ++i) {
        std::size_t bytes = 0;
        const double s = seconds_of([&] { bytes = compress(); });
        spent += s;
        m.seconds = std::min(m.seconds, s);
        m.bytes = bytes;
    }
    return m;
}

// As libpng compresses unfiltered rows: window 15, memory level 8, default strategy.
std::size_t zlib9(const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return 0;
    out.resize(deflateBound(&z, raw.size()));
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = uInt(raw.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int r = deflate(&z, Z_FINISH);
    const std::size_t n = z.total_out;
    deflateEnd(&z);
    return r == Z_STREAM_END ? n : 0;
}

std::size_t libdeflate_at(int level, const std::vector<std::uint8_t>& raw,
                          std::vector<std::uint8_t>& out) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    if (!c) return 0;
    out.resize(libdeflate_zlib_compress_bound(c, raw.size()));
    const std::size_t n =
        libdeflate_zlib_compress(c, raw.data(), raw.size(), out.data(), out.size());
    libdeflate_free_compressor(c);
    return n;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main() {
    std::string templ =
        (std::filesystem::temp_directory_path() / "vellumor-deflate-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path dir = templ;
    std::printf(
        "Compression des lignes non filtrées telles que l'enregistrement les écrit, page A4 "
        "%d x %d, temps processeur (meilleur de %d au plus)\n\n",
        kPageWidth, kPageHeight, kMaxRepeats);
    std::vector<std::vector<double>> time_ratio(kLevels + 1), size_ratio(kLevels + 1);
    bool ok = true;
    std::vector<std::uint8_t> out;
    for (ScanKind kind : kAllKinds) {
        const auto scan = dir / "scan.png", saved = dir / "saved.png";
        std::vector<std::uint8_t> raw;
        {
            if (!write_scan(make_page(kind), kind, scan)) ok = false;
            LoadResult page = load_png(scan);
            if (!page || !save_png(*page.image, saved)) ok = false;
            if (ok) raw = unfiltered_rows(saved);
        }
        if (!ok || raw.empty()) {
            std::fprintf(stderr, "bench_deflate : la page « %s » n'a pu être faite\n",
                         name_of(kind).c_str());
            ok = false;
            break;
        }
        const Measure z = best_of([&] { return zlib9(raw, out); });
        std::printf("%s (lignes %s)\n", name_of(kind).c_str(), megabytes(raw.size()).c_str());
        std::printf("  zlib 9          %7.3f s   %10zu octets\n", z.seconds, z.bytes);
        for (int level = 1; level <= kLevels; ++level) {
            const Measure m = best_of([&] { return libdeflate_at(level, raw, out); });
            time_ratio[level].push_back(m.seconds / z.seconds);
            size_ratio[level].push_back(double(m.bytes) / double(z.bytes));
            std::printf(
                "  libdeflate %2d   %7.3f s   %10zu octets   temps %.3f x zlib 9   taille %.3f x\n",
                level, m.seconds, m.bytes, time_ratio[level].back(), size_ratio[level].back());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    if (ok) {
        std::printf("Sur la page médiane de l'ensemble (médiane des rapports des %zu pages)\n",
                    std::size(kAllKinds));
        int by_rule = 0;
        for (int level = 1; level <= kLevels; ++level) {
            const double t = median(time_ratio[level]), s = median(size_ratio[level]);
            std::printf("  libdeflate %2d   temps %.3f x zlib 9   taille %.3f x\n", level, t, s);
            if (s <= 1.0 && (by_rule == 0 || t < median(time_ratio[by_rule]))) by_rule = level;
        }
        if (by_rule)
            std::printf(
                "niveau le plus rapide sans fichier plus gros que zlib 9 sur la page "
                "médiane : %d (temps %.3f x zlib 9)\n",
                by_rule, median(time_ratio[by_rule]));
        const double kept = median(size_ratio[kPngDeflateLevel]);
        std::printf(
            "niveau de l'enregistrement : %d, page médiane %.3f x la taille de zlib 9 "
            "(cible <= %.2f) %s, en %.3f x son temps\n\n",
            kPngDeflateLevel, kept, kSizeLimit, kept <= kSizeLimit ? "OK" : "HORS CIBLE",
            median(time_ratio[kPngDeflateLevel]));
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return ok ? 0 : 1;
}
