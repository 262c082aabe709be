// Load and save of A4 scans at 600 dpi against the plain libpng floor, and peak memory.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "batch/png_io.h"
#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;

namespace {

constexpr int kRepeats = 3;

struct CaseResult {
    double load = 1e9, save = 1e9;
    Floor floor{1e9, 1e9};
    std::size_t peak = 0, file_bytes = 0, saved_bytes = 0, floor_bytes = 0;
};

// In a fresh process: our load and save first (their peak memory is read before anything else
// runs), then the floor and ours again, alternately; the best time of each is kept.
int run_case(const std::filesystem::path& file, const std::filesystem::path& folder) {
    CaseResult r;
    const auto ours = folder / "ours.png", plain = folder / "floor.png";
    for (int i = 0; i < kRepeats; ++i) {
        {
            LoadResult loaded;
            r.load = std::min(r.load, seconds_of([&] { loaded = load_png(file); }));
            if (!loaded) return 1;
            SaveResult saved;
            r.save = std::min(r.save, seconds_of([&] { saved = save_png(*loaded.image, ours); }));
            if (!saved) return 1;
        }
        if (i == 0) r.peak = peak_memory_bytes();
        const Floor f = measure_floor(file, plain);
        if (f.decode_seconds < 0 || f.encode_seconds < 0) return 1;
        r.floor.decode_seconds = std::min(r.floor.decode_seconds, f.decode_seconds);
        r.floor.encode_seconds = std::min(r.floor.encode_seconds, f.encode_seconds);
    }
    std::printf("%.6f %.6f %.6f %.6f %zu %ju %ju\n", r.load, r.save, r.floor.decode_seconds,
                r.floor.encode_seconds, r.peak, std::uintmax_t(std::filesystem::file_size(ours)),
                std::uintmax_t(std::filesystem::file_size(plain)));
    return 0;
}

bool report(ScanKind kind, const std::filesystem::path& folder) {
    const auto file = folder / ("page_" + std::to_string(file_depth_of(kind)) + ".png");
    {
        const Image page = make_page(kind);
        if (!write_scan(page, kind, file)) return false;
    }
    std::istringstream out(run_self({"--case", file.string(), folder.string()}));
    CaseResult r;
    out >> r.load >> r.save >> r.floor.decode_seconds >> r.floor.encode_seconds >> r.peak >>
        r.saved_bytes >> r.floor_bytes;
    if (!out) return false;
    const double total = r.load + r.save, ratio = total / r.floor.total();
    const std::size_t decoded_24 = std::size_t(kPageWidth) * kPageHeight * 3;
    const double memory_ratio = double(r.peak) / double(decoded_24);
    std::printf("Page A4 %d x %d, %s (fichier %s)\n", kPageWidth, kPageHeight,
                name_of(kind).c_str(), megabytes(std::filesystem::file_size(file)).c_str());
    std::printf("  chargement       %7.3f s   plancher décodage %7.3f s\n", r.load,
                r.floor.decode_seconds);
    std::printf(
        "  enregistrement   %7.3f s   plancher encodage %7.3f s   (écrit %s, plancher %s)\n",
        r.save, r.floor.encode_seconds, megabytes(r.saved_bytes).c_str(),
        megabytes(r.floor_bytes).c_str());
    std::printf(
        "  total            %7.3f s   plancher          %7.3f s   rapport %.3f "
        "(cible <= 1.10) %s\n",
        total, r.floor.total(), ratio, ratio <= 1.10 ? "OK" : "HORS CIBLE");
    std::printf("  mémoire maximale %s = %.2f x page 24 bits décodée (cible <= 1.50) %s\n\n",
                megabytes(r.peak).c_str(), memory_ratio, memory_ratio <= 1.5 ? "OK" : "HORS CIBLE");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--case") return run_case(argv[2], argv[3]);
    std::string templ = (std::filesystem::temp_directory_path() / "vellumor-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path folder = templ;
    bool ok = true;
    for (ScanKind kind : {ScanKind::Grey, ScanKind::BiLevel, ScanKind::Colour}) {
        if (!report(kind, folder)) {
            std::fprintf(stderr, "bench_png : la mesure « %s » a échoué\n", name_of(kind).c_str());
            ok = false;
        }
        std::fflush(stdout);
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return ok ? 0 : 1;
}
