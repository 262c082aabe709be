// vellumor-cli detourer, nettoyer --masque 127 and coloriser on one A4 page of each kind of the
// benchmark's set, against the PNG floor measured in the same run (plain decode of the page and
// zlib-9 unfiltered encode of the same pixels) and against the same operation by ImageMagick,
// GraphicsMagick and vips, every tool writing at compression level 9 without row filters:
// processor time (best of kRepeats), output size, peak memory. Then two pages at once against one
// after the other, on the grey page. make bench installs the peers (scripts/install-deps --bench);
// a missing one is reported and left out.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 3;
constexpr double kFloorLimit = 0.35;
constexpr double kSizeLimit = 1.02;
constexpr double kVipsFactor = 3.0;
constexpr double kPairLimit = 0.6;

// Does the operation from in to out; the times and peak of every command it ran.
using Tool = std::function<Child(const fs::path& in, const fs::path& out, const fs::path& dir)>;

struct Peer {
    const char* name;
    Tool tool;
};

struct Operation {
    const char* label;
    std::vector<std::string> args;  // of vellumor-cli, before the file
    bool writes_copy;               // the result goes to name_Col.png beside the page
    std::vector<Peer> peers;
};

// Best processor time and wall time, highest peak, size of the last output.
struct Best {
    bool ok = false;
    double cpu = 0, wall = 0;
    std::size_t peak = 0, bytes = 0;
};

void keep_best(Best& best, const Child& c) {
    if (!c.ok) return;
    best.cpu = best.ok ? std::min(best.cpu, c.cpu) : c.cpu;
    best.wall = best.ok ? std::min(best.wall, c.wall) : c.wall;
    best.peak = std::max(best.peak, c.peak);
    best.ok = true;
}

Child add(Child a, const Child& b) {
    a.ok = a.ok && b.ok;
    a.cpu += b.cpu;
    a.wall += b.wall;
    a.peak = std::max(a.peak, b.peak);
    return a;
}

std::vector<std::string> level_9_unfiltered_imagemagick() {
    return {"-define", "png:compression-level=9", "-define", "png:compression-filter=0"};
}

Tool imagemagick(std::vector<std::string> options) {
    return [options](const fs::path& in, const fs::path& out, const fs::path&) {
        std::vector<std::string> command = {"convert", in.string()};
        command.insert(command.end(), options.begin(), options.end());
        for (const std::string& d : level_9_unfiltered_imagemagick()) command.push_back(d);
        command.push_back(out.string());
        return run_child(command);
    };
}

// GraphicsMagick's PNG quality: tens the zlib level, units the row filter (0, none).
Child graphicsmagick_trim(const fs::path& in, const fs::path& out, const fs::path&) {
    return run_child(
        {"gm", "convert", in.string(), "-trim", "+page", "-quality", "90", out.string()});
}

// vips finds the box of what differs from white, then cuts it out.
Child vips_trim(const fs::path& in, const fs::path& out, const fs::path& dir) {
    const fs::path box_file = dir / "vips_box.txt";
    Child c = run_child(
        {"vips", "find_trim", in.string(), "--threshold", "0", "--background", "255"}, box_file);
    std::ifstream box(box_file);
    std::string left, top, width, height;
    if (!c.ok || !(box >> left >> top >> width >> height)) return {};
    return add(c,
               run_child({"vips", "crop", in.string(), out.string() + "[compression=9,filter=none]",
                          left, top, width, height}));
}

// vellumor-cli on a fresh copy of the page, its result moved to out.
Tool vellumor_tool(const Operation& op) {
    return [&op](const fs::path& in, const fs::path& out, const fs::path& dir) {
        const fs::path page = dir / "page.png", copy = dir / "page_Col.png";
        fs::copy_file(in, page, fs::copy_options::overwrite_existing);
        std::error_code ec;
        fs::remove(copy, ec);
        std::vector<std::string> command = {VELLUMOR_CLI_PATH};
        command.insert(command.end(), op.args.begin(), op.args.end());
        command.push_back(page.string());
        const Child c = run_child(command);
        fs::rename(op.writes_copy ? copy : page, out, ec);
        return c;
    };
}

Best best_of(const Tool& tool, const fs::path& in, const fs::path& out, const fs::path& dir) {
    Best best;
    std::error_code ec;
    for (int i = 0; i < kRepeats; ++i) {
        fs::remove(out, ec);
        keep_best(best, tool(in, out, dir));
        if (!best.ok) return best;
    }
    best.bytes = std::size_t(fs::file_size(out, ec));
    return best;
}

// The size zlib 9 gives the same picture, written unfiltered in its own colour type and depth.
std::size_t zlib_9_bytes(const fs::path& file, const fs::path& dir) {
    const fs::path out = dir / "zlib9.png";
    if (measure_floor(file, out).encode_seconds < 0) return 0;
    std::error_code ec;
    return std::size_t(fs::file_size(out, ec));
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

const char* verdict(bool ok) {
    return ok ? "OK" : "HORS CIBLE";
}

// What the summary needs from the pages.
struct Results {
    std::vector<std::vector<double>> size_ratios;  // per operation, one per page kind
    std::vector<double> grey_floor_ratio;          // per operation
    double grey_vips_factor = 0;                   // vips / vellumor, detourer on the grey page
};

bool report_page(ScanKind kind, const std::vector<Operation>& operations, const fs::path& dir,
                 Results& results) {
    const fs::path scan = dir / "scan.png";
    if (!write_scan(make_page(kind), kind, scan)) return false;
    Floor floor{1e9, 1e9};
    for (int i = 0; i < kRepeats; ++i) {
        const Floor f = measure_floor(scan, dir / "floor.png");
        if (f.decode_seconds < 0 || f.encode_seconds < 0) return false;
        floor.decode_seconds = std::min(floor.decode_seconds, f.decode_seconds);
        floor.encode_seconds = std::min(floor.encode_seconds, f.encode_seconds);
    }
    std::printf(
        "Page A4 %d x %d, %s (fichier %s) : plancher %.3f s (décodage %.3f + encodage zlib 9 "
        "sans filtre %.3f)\n",
        kPageWidth, kPageHeight, name_of(kind).c_str(), megabytes(fs::file_size(scan)).c_str(),
        floor.total(), floor.decode_seconds, floor.encode_seconds);
    std::printf("  %-22s %-15s %10s %10s %10s %10s %9s %10s\n", "opération", "outil", "processeur",
                "/plancher", "vell./outil", "sortie", "/zlib 9", "mémoire");
    for (std::size_t k = 0; k < operations.size(); ++k) {
        const Operation& op = operations[k];
        const fs::path ours_out = dir / "ours.png";
        const Best ours = best_of(vellumor_tool(op), scan, ours_out, dir);
        if (!ours.ok) return false;
        const std::size_t z9 = zlib_9_bytes(ours_out, dir);
        const double size_ratio = z9 ? double(ours.bytes) / double(z9) : 0;
        const double floor_ratio = ours.cpu / floor.total();
        results.size_ratios[k].push_back(size_ratio);
        if (kind == ScanKind::Grey) results.grey_floor_ratio.push_back(floor_ratio);
        std::printf("  %-22s %-15s %8.3f s %10.3f %10s %10s %9.3f %10s\n", op.label, "vellumor",
                    ours.cpu, floor_ratio, "", megabytes(ours.bytes).c_str(), size_ratio,
                    megabytes(ours.peak).c_str());
        for (const Peer& peer : op.peers) {
            const Best b = best_of(peer.tool, scan, dir / "peer.png", dir);
            if (!b.ok) {
                std::printf("  %-22s %-15s absent ou en échec\n", "", peer.name);
                continue;
            }
            std::printf("  %-22s %-15s %8.3f s %10.3f %10.3f %10s %9s %10s\n", "", peer.name, b.cpu,
                        b.cpu / floor.total(), ours.cpu / b.cpu, megabytes(b.bytes).c_str(), "",
                        megabytes(b.peak).c_str());
            if (kind == ScanKind::Grey && k == 0 && std::string(peer.name) == "vips")
                results.grey_vips_factor = b.cpu / ours.cpu;
        }
    }
    std::printf("\n");
    std::fflush(stdout);
    return true;
}

// One run of vellumor-cli over fresh copies of the scan under the given names.
Child run_on_copies(const Operation& op, const fs::path& scan, const fs::path& dir,
                    const std::vector<std::string>& names) {
    std::vector<std::string> command = {VELLUMOR_CLI_PATH};
    command.insert(command.end(), op.args.begin(), op.args.end());
    std::error_code ec;
    for (const std::string& n : names) {
        fs::copy_file(scan, dir / n, fs::copy_options::overwrite_existing);
        fs::remove(dir / (fs::path(n).stem().string() + "_Col.png"), ec);
        command.push_back((dir / n).string());
    }
    return run_child(command);
}

bool report_pairs(const std::vector<Operation>& operations, const fs::path& dir) {
    const fs::path scan = dir / "scan.png";
    if (!write_scan(make_page(ScanKind::Grey), ScanKind::Grey, scan)) return false;
    std::printf(
        "Deux fils, page A4 8 bits gris : deux pages à la fois contre l'une après l'autre "
        "(temps réels)\n");
    for (const Operation& op : operations) {
        // Interleaved, so that a burst of load from other programs spoils one round, not one kind.
        Best one, second, pair;
        for (int i = 0; i < kRepeats; ++i) {
            keep_best(one, run_on_copies(op, scan, dir, {"page_1.png"}));
            keep_best(second, run_on_copies(op, scan, dir, {"page_2.png"}));
            keep_best(pair, run_on_copies(op, scan, dir, {"page_1.png", "page_2.png"}));
        }
        if (!one.ok || !second.ok || !pair.ok) return false;
        const double sequential = one.wall + second.wall, ratio = pair.wall / sequential;
        std::printf(
            "  %-22s %7.3f s ensemble, %7.3f s l'une après l'autre   rapport %.3f (cible <= %.2f) "
            "%s\n%24s processeur %.3f x les deux pages seules, %.2f processeurs occupés en "
            "moyenne ; mémoire à deux fils %s\n",
            op.label, pair.wall, sequential, ratio, kPairLimit, verdict(ratio <= kPairLimit), "",
            pair.cpu / (one.cpu + second.cpu), pair.cpu / pair.wall, megabytes(pair.peak).c_str());
    }
    std::printf("\n");
    return true;
}

void report_goals(const std::vector<Operation>& operations, const Results& r) {
    std::printf("Cibles\n");
    for (std::size_t k = 0; k < operations.size(); ++k) {
        const double floor_ratio = k < r.grey_floor_ratio.size() ? r.grey_floor_ratio[k] : 0;
        const double size = median(r.size_ratios[k]);
        std::printf(
            "  %-22s page grise %.3f x le plancher (cible <= %.2f) %s ; page médiane %.3f x la "
            "taille de zlib 9 (cible <= %.2f) %s\n",
            operations[k].label, floor_ratio, kFloorLimit, verdict(floor_ratio <= kFloorLimit),
            size, kSizeLimit, verdict(size <= kSizeLimit));
    }
    if (r.grey_vips_factor > 0)
        std::printf(
            "  detourer, page grise : vips prend %.2f x le temps de vellumor (cible >= "
            "%.1f) %s\n",
            r.grey_vips_factor, kVipsFactor, verdict(r.grey_vips_factor >= kVipsFactor));
    else
        std::printf("  vips absent : comparaison impossible\n");
    std::printf("\n");
}

}  // namespace

int main() {
    std::string templ = (fs::temp_directory_path() / "vellumor-cli-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const fs::path dir = templ;
    const std::vector<Operation> operations = {
        {"detourer",
         {"detourer", "--silencieux"},
         false,
         {{"ImageMagick",
           imagemagick({"-bordercolor", "white", "-border", "1", "-trim", "+repage"})},
          {"GraphicsMagick", graphicsmagick_trim},
          {"vips", vips_trim}}},
        {"nettoyer --masque 127", {"nettoyer", "--masque", "127", "--silencieux"}, false, {}},
        {"coloriser",
         {"coloriser", "--silencieux"},
         true,
         {{"ImageMagick", imagemagick({"-fill", "blue", "+opaque", "white"})}}},
    };
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) > 0)
        std::printf(
            "charge de la machine %.1f pour %ld processeurs ; temps processeur, meilleur "
            "de %d\n\n",
            load[0], sysconf(_SC_NPROCESSORS_ONLN), kRepeats);
    Results results;
    results.size_ratios.resize(operations.size());
    bool ok = true;
    for (ScanKind kind : kAllKinds) {
        if (!report_page(kind, operations, dir, results)) {
            std::fprintf(stderr, "bench_cli : la mesure de la page « %s » a échoué\n",
                         name_of(kind).c_str());
            ok = false;
        }
    }
    if (!report_pairs(operations, dir)) {
        std::fprintf(stderr, "bench_cli : la mesure à deux fils a échoué\n");
        ok = false;
    }
    if (ok) report_goals(operations, results);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return ok ? 0 : 1;
}
