// vellumor-cli detourer, coloriser and nettoyer --masque 127 on an 8-bit grey A4 scan: processor
// time against the PNG floor, two files at once against one after the other, peak memory of a
// two-worker run, and ImageMagick's trim and opaque on the same page where it is installed.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;

namespace {

constexpr int kRepeats = 3;
constexpr double kFloorLimit = 1.15;
constexpr double kPairLimit = 0.6;
constexpr std::size_t kMemoryLimit = (2 * 105 + 60) * std::size_t(1000 * 1000);

// Fresh copies of the scan under the given names (a run writes over its pages).
std::vector<std::string> copies(const std::filesystem::path& scan, const std::filesystem::path& dir,
                                const std::vector<std::string>& names) {
    std::vector<std::string> files;
    for (const std::string& n : names) {
        const auto f = dir / n;
        std::filesystem::copy_file(scan, f, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(dir / (f.stem().string() + "_Col.png"));
        files.push_back(f.string());
    }
    return files;
}

// One run of command over fresh copies of the scan.
Child once(const std::filesystem::path& scan, const std::filesystem::path& dir,
           const std::vector<std::string>& command, const std::vector<std::string>& names) {
    std::vector<std::string> full = command;
    for (const std::string& f : copies(scan, dir, names)) full.push_back(f);
    return run_child(full);
}

// Keeps the best times and the highest peak of the runs it is given.
void keep_best(Child& best, const Child& c) {
    if (!c.ok) return;
    best.cpu = best.ok ? std::min(best.cpu, c.cpu) : c.cpu;
    best.wall = best.ok ? std::min(best.wall, c.wall) : c.wall;
    best.peak = std::max(best.peak, c.peak);
    best.ok = true;
}

const char* verdict(bool ok) {
    return ok ? "OK" : "HORS CIBLE";
}

struct Operation {
    const char* label;
    std::vector<std::string> args;                        // after the program
    std::optional<std::vector<std::string>> imagemagick;  // options between input and output
};

bool report(const Operation& op, const std::filesystem::path& scan,
            const std::filesystem::path& dir, const Floor& floor) {
    std::vector<std::string> command = {VELLUMOR_CLI_PATH};
    command.insert(command.end(), op.args.begin(), op.args.end());
    // Interleaved, so that a burst of load from other programs spoils one round, not one kind.
    Child one, second, pair;
    for (int i = 0; i < kRepeats; ++i) {
        keep_best(one, once(scan, dir, command, {"page_1.png"}));
        keep_best(second, once(scan, dir, command, {"page_2.png"}));
        keep_best(pair, once(scan, dir, command, {"page_1.png", "page_2.png"}));
    }
    if (!one.ok || !pair.ok || !second.ok) return false;
    const double ratio = one.cpu / floor.total();
    const double sequential = one.wall + second.wall;
    const double pair_ratio = pair.wall / sequential;
    std::printf("%s\n", op.label);
    std::printf(
        "  une page      %7.3f s processeur   plancher %7.3f s   rapport %.3f (cible <= %.2f) %s\n",
        one.cpu, floor.total(), ratio, kFloorLimit, verdict(ratio <= kFloorLimit));
    std::printf(
        "  deux pages    %7.3f s ensemble, %7.3f s l'une après l'autre   rapport %.3f "
        "(cible <= %.2f) %s\n",
        pair.wall, sequential, pair_ratio, kPairLimit, verdict(pair_ratio <= kPairLimit));
    std::printf("                processeur à deux fils %.3f s = %.3f x les deux pages seules\n",
                pair.cpu, pair.cpu / (one.cpu + second.cpu));
    std::printf("  mémoire maximale à deux fils %s (cible <= %s) %s\n",
                megabytes(pair.peak).c_str(), megabytes(kMemoryLimit).c_str(),
                verdict(pair.peak <= kMemoryLimit));
    if (op.imagemagick) {
        const auto in = dir / "im_in.png", out = dir / "im_out.png";
        std::filesystem::copy_file(scan, in, std::filesystem::copy_options::overwrite_existing);
        std::vector<std::string> im = {"convert", in.string()};
        im.insert(im.end(), op.imagemagick->begin(), op.imagemagick->end());
        for (const char* s :
             {"-define", "png:compression-level=9", "-define", "png:compression-filter=0"})
            im.push_back(s);
        im.push_back(out.string());
        Child magick;
        for (int i = 0; i < kRepeats; ++i) {
            const Child c = run_child(im);
            if (c.ok && (!magick.ok || c.cpu < magick.cpu)) magick = c;
        }
        if (magick.ok)
            std::printf("  ImageMagick   %7.3f s processeur   vellumor / ImageMagick %.3f\n",
                        magick.cpu, one.cpu / magick.cpu);
        else
            std::printf("  ImageMagick   absent ou en échec\n");
    }
    std::printf("\n");
    std::fflush(stdout);
    return true;
}

}  // namespace

int main() {
    std::string templ =
        (std::filesystem::temp_directory_path() / "vellumor-cli-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path dir = templ;
    const auto scan = dir / "scan.png";
    bool ok = write_scan(make_page(ScanKind::Grey), ScanKind::Grey, scan);
    Floor floor{1e9, 1e9};
    for (int i = 0; ok && i < kRepeats; ++i) {
        const Floor f = measure_floor(scan, dir / "floor.png");
        ok = f.decode_seconds >= 0 && f.encode_seconds >= 0;
        floor.decode_seconds = std::min(floor.decode_seconds, f.decode_seconds);
        floor.encode_seconds = std::min(floor.encode_seconds, f.encode_seconds);
    }
    if (ok) {
        double load[3] = {0, 0, 0};
        if (getloadavg(load, 3) > 0)
            std::printf(
                "charge de la machine %.1f pour %ld processeurs : les temps réels à deux "
                "fils n'ont de sens que sur une machine peu chargée\n",
                load[0], sysconf(_SC_NPROCESSORS_ONLN));
        std::printf(
            "vellumor-cli sur une page A4 %d x %d en gris 8 bits (fichier %s), plancher "
            "PNG %.3f s (décodage %.3f + encodage zlib 9 sans filtre %.3f)\n\n",
            kPageWidth, kPageHeight, megabytes(std::filesystem::file_size(scan)).c_str(),
            floor.total(), floor.decode_seconds, floor.encode_seconds);
        const std::vector<Operation> operations = {
            {"detourer",
             {"detourer", "--silencieux"},
             std::vector<std::string>{"-bordercolor", "white", "-border", "1", "-trim", "+repage"}},
            {"coloriser",
             {"coloriser", "--silencieux"},
             std::vector<std::string>{"-fill", "blue", "+opaque", "white"}},
            {"nettoyer --masque 127",
             {"nettoyer", "--masque", "127", "--silencieux"},
             std::nullopt},
        };
        for (const Operation& op : operations) {
            if (!report(op, scan, dir, floor)) {
                std::fprintf(stderr, "bench_cli : la mesure « %s » a échoué\n", op.label);
                ok = false;
            }
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return ok ? 0 : 1;
}
