// vellumor-cli pdf against img2pdf (the reference for lossless image-to-PDF) on 100 A4 grey pages
// written by Vellumor, both run in turn in the same session: wall and processor time, and the
// size of the PDF against the sum of the PNG files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/png_io.h"
#include "common/measure.h"
#include "common/page.h"

using namespace vellumor;
using namespace vellumor::bench;

namespace {

constexpr int kPages = 100;
constexpr int kDistinctPages = 4;  // each written once (a zlib-9 save takes seconds), then copied
constexpr int kRepeats = 3;
constexpr double kSizeLimit = 1.05;

void keep_best(Child& best, const Child& c) {
    if (!best.ok || c.wall < best.wall) best = c;
}

std::uintmax_t size_of(const std::filesystem::path& f) {
    std::error_code ec;
    const auto s = std::filesystem::file_size(f, ec);
    return ec ? 0 : s;
}

}  // namespace

int main() {
    std::string templ = (std::filesystem::temp_directory_path() / "vellumor-pdf-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path dir = templ;
    const std::filesystem::path pages = dir / "pages";
    std::filesystem::create_directory(pages);

    std::printf("PDF de %d pages A4 en gris (%d x %d, 8 bits, écrites par Vellumor)\n", kPages,
                kPageWidth, kPageHeight);
    std::vector<std::filesystem::path> models;
    for (int s = 1; s <= kDistinctPages; ++s) {
        Image page = make_page(ScanKind::Grey, kPageWidth, kPageHeight, unsigned(s));
        page.set_resolution(resolution_from_dpi(600));
        const auto f = dir / ("model_" + std::to_string(s) + ".png");
        if (!save_png(page, f, 8)) return 1;
        models.push_back(f);
    }
    std::vector<std::string> files;
    std::uintmax_t png_bytes = 0;
    for (int i = 1; i <= kPages; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page_%03d.png", i);
        std::filesystem::copy_file(models[std::size_t(i) % models.size()], pages / name);
        files.push_back((pages / name).string());
        png_bytes += size_of(pages / name);
    }

    const auto ours_pdf = dir / "vellumor.pdf";
    const auto ref_pdf = dir / "img2pdf.pdf";
    std::vector<std::string> ours = {VELLUMOR_CLI_PATH, "pdf",         "--silencieux", "--sortie",
                                     ours_pdf.string(), pages.string()};
    std::vector<std::string> ref = {"img2pdf", "-o", ref_pdf.string()};
    ref.insert(ref.end(), files.begin(), files.end());
    Child best_ours, best_ref;
    for (int r = 0; r < kRepeats; ++r) {
        keep_best(best_ours, run_child(ours));
        keep_best(best_ref, run_child(ref));
    }
    bool ok = best_ours.ok;
    std::printf("  vellumor-cli pdf  %7.3f s (processeur %7.3f s)\n", best_ours.wall,
                best_ours.cpu);
    if (best_ref.ok) {
        const bool faster = best_ours.wall <= best_ref.wall;
        std::printf(
            "  img2pdf           %7.3f s (processeur %7.3f s)\n"
            "  rapport des durées %.3f, des temps processeur %.3f (cible <= 1) %s\n",
            best_ref.wall, best_ref.cpu, best_ours.wall / best_ref.wall,
            best_ours.cpu / best_ref.cpu, faster ? "atteinte" : "MANQUÉE");
        ok = ok && faster;
    } else {
        std::printf("  img2pdf absent ou en échec : pas de comparaison\n");
    }
    const double ratio = double(size_of(ours_pdf)) / double(png_bytes);
    std::printf("  PDF %s pour %s de PNG : rapport %.4f (cible <= %.2f) %s\n",
                megabytes(size_of(ours_pdf)).c_str(), megabytes(png_bytes).c_str(), ratio,
                kSizeLimit, ratio <= kSizeLimit ? "atteinte" : "MANQUÉE");
    if (best_ref.ok) std::printf("  PDF d'img2pdf %s\n", megabytes(size_of(ref_pdf)).c_str());
    ok = ok && ratio <= kSizeLimit;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
