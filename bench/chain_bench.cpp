// The chain "Net - Dét - Col" through vellumor-cli on 100 grey pages of 2480 x 3508 (A4 at 300
// dpi): wall and processor time of the whole run, two workers. `bench_chain --cli PATH` times
// another build of the command line (an older one, to compare).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;

namespace {

constexpr int kPages = 100;
constexpr int kWidth = 2480, kHeight = 3508;
constexpr int kDistinctPages = 4;

}  // namespace

int main(int argc, char** argv) {
    std::string cli = VELLUMOR_CLI_PATH;
    if (argc == 3 && std::string(argv[1]) == "--cli") cli = argv[2];
    std::string templ =
        (std::filesystem::temp_directory_path() / "vellumor-chain-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path dir = templ;
    const auto pages = dir / "pages";
    std::filesystem::create_directory(pages);
    bool ok = true;
    std::vector<std::filesystem::path> scans;
    for (int i = 0; ok && i < kDistinctPages; ++i) {
        scans.push_back(dir / ("scan_" + std::to_string(i) + ".png"));
        ok = write_scan(make_page(ScanKind::Grey, kWidth, kHeight, unsigned(i + 1)), ScanKind::Grey,
                        scans.back());
    }
    for (int i = 0; ok && i < kPages; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page_%03d.png", i + 1);
        std::filesystem::copy_file(scans[std::size_t(i % kDistinctPages)], pages / name);
    }
    if (ok) {
        const Child c = run_child({cli, "net-det-col", "--silencieux", pages.string()});
        ok = c.ok;
        if (ok)
            std::printf(
                "Net - Dét - Col, %d pages %d x %d en gris 8 bits, deux fils (%s)\n"
                "  %.1f s réelles, %.1f s processeur, %.2f s processeur par page, mémoire "
                "maximale %s\n\n",
                kPages, kWidth, kHeight, cli.c_str(), c.wall, c.cpu, c.cpu / kPages,
                megabytes(c.peak).c_str());
        else
            std::fprintf(stderr, "bench_chain : %s a échoué\n", cli.c_str());
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return ok ? 0 : 1;
}
