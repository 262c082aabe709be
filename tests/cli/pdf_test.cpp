#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdio>

#include "support/pdf_tools.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

struct Resultat {
    int code = -1;
    std::string sortie;  // stdout and stderr
};

Resultat pdf(const std::string& arguments) {
    Resultat r;
    std::FILE* f =
        ::popen((std::string(VELLUMOR_CLI_PATH) + " pdf " + arguments + " 2>&1").c_str(), "r");
    char tampon[4096];
    for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, f)) > 0;)
        r.sortie.append(tampon, n);
    const int statut = ::pclose(f);
    r.code = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    return r;
}

TEST(CliPdf, PagesOfAFolderInTrailingNumberOrder) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "pages");
    for (int n : {10, 2, 1})
        test::write_png_file(dir / "pages" / ("page_" + std::to_string(n) + ".png"),
                             test::blank_png(n * 6, 6, PNG_COLOR_TYPE_GRAY, 8));
    const auto livre = dir / "livre.pdf";
    const Resultat r =
        pdf("--dpi 72 --sortie '" + livre.string() + "' '" + (dir / "pages").string() + "'");
    EXPECT_EQ(r.code, 0) << r.sortie;
    EXPECT_NE(r.sortie.find(" 3 fichiers (Fichiers traités : 3/3)\nLe document PDF est écrit : " +
                            livre.string()),
              std::string::npos)
        << r.sortie;
    const std::vector<std::pair<double, double>> tailles = {{6, 6}, {12, 6}, {60, 6}};  // 72 dpi
    EXPECT_EQ(test::tailles_pages_pdf(livre), tailles);
}

TEST(CliPdf, UsageErrorsAndFailedExports) {
    test::TempDir dir;
    test::write_png_file(dir / "page_1.png", test::blank_png(5, 5, PNG_COLOR_TYPE_GRAY, 8));
    test::write_bytes(dir / "page_2.png", "pas une image");
    const std::string page = "'" + (dir / "page_1.png").string() + "'";
    const std::string sortie = "--sortie '" + (dir / "l.pdf").string() + "' ";
    struct Cas {
        std::string arguments;
        int code;
        std::string texte;
    };
    const Cas cas[] = {
        {page, 2, "L'option --sortie F.pdf est obligatoire"},
        {sortie + "--dpi 10 " + page, 2, "La résolution doit être comprise entre 50 et 4800 dpi"},
        {sortie + "--dpi 3x " + page, 2, "Résolution invalide : 3x"},
        {sortie + "--inconnue " + page, 2, "Option inconnue : --inconnue"},
        {sortie, 2, "Aucun fichier à traiter"},
        {sortie + page + " '" + (dir / "page_2.png").string() + "'", 1,
         "page_2.png : ce n'est pas un fichier PNG\nLe document PDF n'a pas été écrit."},
        {"--aide", 0, "Utilisation : vellumor-cli pdf --sortie LIVRE.pdf"},
    };
    for (const Cas& c : cas) {
        const Resultat r = pdf(c.arguments);
        EXPECT_EQ(r.code, c.code) << c.arguments;
        EXPECT_NE(r.sortie.find(c.texte), std::string::npos) << r.sortie;
        EXPECT_FALSE(std::filesystem::exists(dir / "l.pdf"));
    }
}

}  // namespace
}  // namespace vellumor
