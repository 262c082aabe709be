// vellumor-cli pdf against img2pdf (the reference for lossless image-to-PDF), both run in turn in
// the same session: on 50 A4 pages scanned at 600 dpi (grey, bi-level and colour, as a scanner
// writes them), wall and processor time and the size of the PDF; then on pages with transparency
// (a colour gradient with a transparent colour, an opaque-alpha colour scan), which the export
// decodes and writes anew, the size of each PDF.
#include <png.h>

#include <algorithm>
#include <csetjmp>
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

constexpr int kPages = 50;
constexpr int kRepeats = 2;
constexpr double kSpeedTarget = 5;  // img2pdf's time over ours
constexpr double kSizeLimit = 1.05;

void keep_best(Child& best, const Child& c) {
    if (!best.ok || c.wall < best.wall) best = c;
}

std::uintmax_t size_of(const std::filesystem::path& f) {
    std::error_code ec;
    const auto s = std::filesystem::file_size(f, ec);
    return ec ? 0 : s;
}

// An RGB page written as an editor would with an alpha channel (opaque) or a transparent colour:
// libpng's default compression and row filters.
bool write_with_transparency(const Image& page, bool alpha, const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(std::size_t(page.width()) * (alpha ? 4 : 3));
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, page.width(), page.height(), 8,
                     alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_set_pHYs(png, info, 11811, 11811, PNG_RESOLUTION_METER);  // 300 dpi
        png_color_16 key{};
        if (!alpha) png_set_tRNS(png, info, nullptr, 0, &key);
        png_write_info(png, info);
        for (int y = 0; y < page.height(); ++y) {
            const std::uint8_t* p = page.row(y);
            for (int x = 0; x < page.width(); ++x) {
                std::copy(p + 3 * x, p + 3 * x + 3, row.begin() + x * (alpha ? 4 : 3));
                if (alpha) row[std::size_t(x) * 4 + 3] = 255;
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

// A smooth colour gradient, the kind of picture test suites give with a transparent colour.
Image gradient(int side) {
    Image g = *Image::create(side, side, 24, kWhite);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            g.set_pixel(x, y,
                        couleur(std::uint8_t(x * 255 / side), std::uint8_t(y * 255 / side),
                                std::uint8_t((x + y) * 127 / side)));
    return g;
}

struct Runs {
    Child ours, ref;
};

Runs run_both(const std::vector<std::string>& files, const std::filesystem::path& ours_pdf,
              const std::filesystem::path& ref_pdf, int repeats) {
    std::vector<std::string> ours = {VELLUMOR_CLI_PATH, "pdf", "--silencieux", "--sortie",
                                     ours_pdf.string()};
    ours.insert(ours.end(), files.begin(), files.end());
    std::vector<std::string> ref = {"img2pdf", "-o", ref_pdf.string()};
    ref.insert(ref.end(), files.begin(), files.end());
    Runs r;
    for (int i = 0; i < repeats; ++i) {
        keep_best(r.ours, run_child(ours));
        keep_best(r.ref, run_child(ref));
    }
    return r;
}

}  // namespace

int main() {
    std::string templ = (std::filesystem::temp_directory_path() / "vellumor-pdf-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    const std::filesystem::path dir = templ;
    const std::filesystem::path pages = dir / "pages";
    std::filesystem::create_directory(pages);

    std::printf("PDF de %d pages A4 à 600 dpi (gris, noir et blanc, couleur ; %d x %d)\n", kPages,
                kPageWidth, kPageHeight);
    // Six distinct scans (each takes seconds to write), copied in turn to make the 50 pages.
    const ScanKind kinds[] = {ScanKind::Grey,   ScanKind::BiLevel,  ScanKind::Grey,
                              ScanKind::Colour, ScanKind::NoisyInk, ScanKind::BiLevel};
    std::vector<std::filesystem::path> models;
    for (std::size_t s = 0; s < std::size(kinds); ++s) {
        const auto f = dir / ("model_" + std::to_string(s) + ".png");
        if (!write_scan(make_page(kinds[s], kPageWidth, kPageHeight, unsigned(s + 1)), kinds[s], f))
            return 1;
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
    const Runs r = run_both(files, dir / "vellumor.pdf", dir / "img2pdf.pdf", kRepeats);
    bool ok = r.ours.ok;
    std::printf("  vellumor-cli pdf  %7.3f s (processeur %7.3f s)\n", r.ours.wall, r.ours.cpu);
    if (r.ref.ok) {
        const double speed = r.ref.wall / r.ours.wall;
        std::printf(
            "  img2pdf           %7.3f s (processeur %7.3f s)\n"
            "  img2pdf prend %.1f fois la durée de vellumor-cli (cible >= %.0f) %s\n",
            r.ref.wall, r.ref.cpu, speed, kSpeedTarget,
            speed >= kSpeedTarget ? "atteinte" : "MANQUÉE");
        ok = ok && speed >= kSpeedTarget;
    } else {
        std::printf("  img2pdf absent ou en échec : pas de comparaison\n");
    }
    const double ratio = double(size_of(dir / "vellumor.pdf")) / double(png_bytes);
    std::printf("  PDF %s pour %s de PNG : rapport %.4f (cible <= %.2f) %s\n",
                megabytes(size_of(dir / "vellumor.pdf")).c_str(), megabytes(png_bytes).c_str(),
                ratio, kSizeLimit, ratio <= kSizeLimit ? "atteinte" : "MANQUÉE");
    if (r.ref.ok)
        std::printf("  PDF d'img2pdf %s\n", megabytes(size_of(dir / "img2pdf.pdf")).c_str());
    ok = ok && ratio <= kSizeLimit;

    std::printf("Pages avec transparence, décodées et écrites avec la prédiction PNG\n");
    struct Alpha {
        const char* name;
        Image page;
        bool alpha;
    };
    const Alpha alphas[] = {
        {"dégradé RVB 8 bits avec couleur transparente (512 x 512)", gradient(512), false},
        {"scan couleur à canal alpha opaque (A4 à 300 dpi)",
         make_page(ScanKind::Colour, kPageWidth / 2, kPageHeight / 2, 7), true},
    };
    for (const Alpha& a : alphas) {
        const auto f = dir / "alpha.png";
        if (!write_with_transparency(a.page, a.alpha, f)) return 1;
        const Runs t = run_both({f.string()}, dir / "alpha.pdf", dir / "alpha_ref.pdf", 1);
        ok = ok && t.ours.ok;
        std::printf("  %s : PNG %ju octets\n    vellumor-cli pdf %9ju octets en %.3f s\n", a.name,
                    size_of(f), size_of(dir / "alpha.pdf"), t.ours.wall);
        if (!t.ref.ok) continue;
        const bool smaller = size_of(dir / "alpha.pdf") <= size_of(dir / "alpha_ref.pdf");
        std::printf("    img2pdf          %9ju octets en %.3f s (cible : pas plus grand) %s\n",
                    size_of(dir / "alpha_ref.pdf"), t.ref.wall, smaller ? "atteinte" : "MANQUÉE");
        ok = ok && smaller;
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
