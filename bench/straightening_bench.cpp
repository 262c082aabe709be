// Straightening: the skew measured on forty text pages of known skew (-5° to +5°, grey and
// bi-level, 600 dpi) against unpaper's deskew on the same pages (angle error and processor time),
// and the straightening of an A4 grey page at 600 dpi against its crop (load, work, save).

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "batch/png_io.h"
#include "common/measure.h"
#include "common/page.h"
#include "ops/cropping/cropping.h"
#include "ops/straightening/straightening.h"
#include "support/skewed_page.h"

namespace {

using namespace vellumor;

// A6 at 600 dpi: text at its scanned size, forty pages within the bench's time.
constexpr int kLargeur = 2480, kHauteur = 3508;

// The page as unpaper reads it: PBM (P4) when bi-level, PGM (P5) otherwise.
bool ecrire_pnm(const Image& page, const std::filesystem::path& fichier) {
    std::ofstream f(fichier, std::ios::binary);
    const bool bilevel = page.file_depth() == 1;
    f << (bilevel ? "P4\n" : "P5\n") << page.width() << ' ' << page.height() << '\n'
      << (bilevel ? "" : "255\n");
    std::vector<char> ligne;
    for (int y = 0; y < page.height(); ++y) {
        ligne.assign(bilevel ? (page.width() + 7) / 8 : page.width(), 0);
        for (int x = 0; x < page.width(); ++x) {
            const std::uint8_t g = rouge(page.pixel(x, y));
            if (!bilevel)
                ligne[x] = char(g);
            else if (g < 128)
                ligne[x / 8] = char(ligne[x / 8] | (0x80 >> (x % 8)));
        }
        f.write(ligne.data(), std::streamsize(ligne.size()));
    }
    return bool(f);
}

// unpaper's deskew alone (its other filters off): the angle it turned the page by, in degrees, or
// NaN.
struct Unpaper {
    double angle = NAN;
    double cpu = 0;
};
Unpaper unpaper(const std::filesystem::path& entree, const std::filesystem::path& dossier) {
    const std::filesystem::path sortie = dossier / ("u_" + entree.filename().string());
    const std::filesystem::path journal = dossier / "unpaper.txt";
    // Through sh's exec, to throw away what its image writer says on stderr.
    const bench::Child c = bench::run_child(
        {"sh", "-c",
         "exec unpaper -v --overwrite --deskew-scan-range 5.5 --no-blackfilter --no-noisefilter "
         "--no-blurfilter --no-grayfilter --no-border-align --no-border-scan --no-mask-center "
         "\"$0\" \"$1\" 2>/dev/null",
         entree.string(), sortie.string()},
        journal);
    Unpaper u;
    u.cpu = c.cpu;
    std::ifstream f(journal);
    const std::string texte((std::istreambuf_iterator<char>(f)), {});
    std::smatch m;
    if (c.ok && std::regex_search(texte, m, std::regex(R"(rotate[^:]*:\s*(-?[0-9.]+))")))
        u.angle = std::stod(m[1]) * 180.0 / 3.14159265358979323846;  // it prints radians
    else if (c.ok && texte.find("rotat") == std::string::npos)
        u.angle = 0;
    std::filesystem::remove(sortie);
    return u;
}

struct Bilan {
    std::vector<double> erreurs;
    double cpu = 0;
    int manques = 0;
    void noter(double erreur) {
        if (std::isnan(erreur))
            ++manques;
        else
            erreurs.push_back(erreur);
    }
    void afficher(const char* nom) {
        std::sort(erreurs.begin(), erreurs.end());
        const std::size_t n = erreurs.size();
        const double mediane = n ? (erreurs[(n - 1) / 2] + erreurs[n / 2]) / 2 : NAN;
        std::printf(
            "  %-34s erreur médiane %.3f°, maximale %.3f°, %d sans angle ; %.2f s de "
            "processeur\n",
            nom, mediane, n ? erreurs.back() : NAN, manques, cpu);
    }
};

}  // namespace

// "a4" as argument: the A4 timing only.
int main(int argc, char** argv) {
    const bool a4_seul = argc > 1 && std::string(argv[1]) == "a4";
    const std::filesystem::path dossier =
        std::filesystem::temp_directory_path() /
        ("vellumor-bench-redressement-" + std::to_string(getpid()));
    std::filesystem::create_directories(dossier);
    const bool avec_unpaper = bench::run_child({"unpaper", "--version"}).ok;

    std::printf("Redressement : 40 pages de texte %d x %d à 600 dpi, inclinaisons de -5° à +5°\n",
                kLargeur, kHauteur);
    Bilan mesure, redressement, autre;
    double premier_unpaper = NAN;
    for (int i = 0; i < (a4_seul ? 0 : 40); ++i) {
        const double inclinaison = -5.0 + i * (10.0 / 39.0);
        const Image page =
            testing::page_inclinee(kLargeur, kHauteur, inclinaison, i % 2 ? 1 : 8, unsigned(i + 1));
        straightening::Mesure m;
        mesure.cpu += bench::seconds_of([&] { m = straightening::mesurer(page, 5.0); });
        mesure.noter(m.lignes ? std::abs(m.angle - inclinaison) : NAN);
        Image copie = page;
        redressement.cpu += bench::seconds_of(
            [&] { straightening::redresser(copie, straightening::Parametres{}); });
        if (!avec_unpaper) continue;
        const std::filesystem::path pnm = dossier / (i % 2 ? "page.pbm" : "page.pgm");
        ecrire_pnm(page, pnm);
        const Unpaper u = unpaper(pnm, dossier);
        autre.cpu += u.cpu;
        if (i == 0) premier_unpaper = u.angle;
        autre.noter(std::abs(u.angle - inclinaison));
    }
    mesure.afficher("Vellumor, mesure seule");
    redressement.erreurs = mesure.erreurs;
    redressement.afficher("Vellumor, mesure et rotation");
    if (avec_unpaper) {
        autre.afficher("unpaper (programme entier)");
        std::printf("  (unpaper sur la page à -5° : %.3f°)\n", premier_unpaper);
    } else
        std::printf("  unpaper absent : pas de comparaison\n");

    // A4 grey page at 600 dpi, skewed 2°: load, work and save over the file, as a run does.
    const Image a4 = testing::page_inclinee(bench::kPageWidth, bench::kPageHeight, 2.0, 8);
    const std::filesystem::path fichier = dossier / "a4.png";
    if (!save_png(a4, fichier)) return 1;
    const std::string octets = [&] {
        std::ifstream f(fichier, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(f)), {});
    }();
    const auto remettre = [&] { std::ofstream(fichier, std::ios::binary) << octets; };
    bool ecrit = true;
    const double detourage = bench::seconds_of([&] {
        LoadResult l = load_png(fichier);
        const PageDetouree c = detourer(*l.image);
        ecrit = save_png_replacing(c.image, fichier).ok && ecrit;
    });
    if (!ecrit) return 1;
    remettre();
    double chargement = 0, travail = 0, ecriture = 0;
    const double redresse = bench::seconds_of([&] {
        LoadResult l;
        chargement = bench::seconds_of([&] { l = load_png(fichier); });
        travail = bench::seconds_of(
            [&] { straightening::redresser(*l.image, straightening::Parametres{}); });
        ecriture =
            bench::seconds_of([&] { ecrit = save_png_replacing(*l.image, fichier).ok && ecrit; });
    });
    if (!ecrit) return 1;
    std::printf(
        "Page A4 grise à 600 dpi (%d x %d), inclinée de 2° : détourage %.2f s, "
        "redressement %.2f s de processeur (%.2f x le détourage ; objectif <= 1,5)\n",
        bench::kPageWidth, bench::kPageHeight, detourage, redresse, redresse / detourage);
    std::printf("  redressement : chargement %.2f s, mesure et rotation %.2f s, écriture %.2f s\n",
                chargement, travail, ecriture);
    std::filesystem::remove_all(dossier);
    return 0;
}
