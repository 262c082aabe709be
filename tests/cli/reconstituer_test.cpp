#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "batch/image.h"
#include "batch/png_io.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::read_bytes;
using test::TempDir;
using test::write_bytes;

struct Sortie {
    int statut = -1;
    std::string out, err;
};

// Runs vellumor-cli reconstituer in dir with the arguments (quoted for the shell).
Sortie lancer(const TempDir& dir, const std::vector<std::string>& args) {
    std::string commande =
        "cd '" + dir.path().string() + "' && '" VELLUMOR_CLI_PATH "' reconstituer";
    for (const std::string& a : args) commande += " '" + a + "'";
    commande += " > sortie.txt 2> erreurs.txt";
    const int brut = std::system(commande.c_str());
    Sortie s;
    s.statut = WIFEXITED(brut) ? WEXITSTATUS(brut) : -1;
    s.out = read_bytes(dir / "sortie.txt");
    s.err = read_bytes(dir / "erreurs.txt");
    return s;
}

// A white w x h page with a black box over its whole surface but a one-pixel white frame.
void page(const TempDir& dir, const std::string& nom, int w, int h) {
    Image im = *Image::create(w, h, 24, kWhite);
    im.fill_box(1, 1, w - 2, h - 2, kBlack);
    ASSERT_TRUE(save_png(im, dir / nom, 24));
}

void vierge(const TempDir& dir) {
    ASSERT_TRUE(save_png(*Image::create(100, 80, 24, couleur(9, 9, 9)), dir / "vierge.png", 8));
}

// Left and top edge of the ink of a reconstituted page.
std::pair<int, int> coin_encre(const std::filesystem::path& f) {
    LoadResult r = load_png(f);
    if (!r) return {-1, -1};
    for (int y = 0; y < r.image->height(); ++y)
        for (int x = 0; x < r.image->width(); ++x)
            if (r.image->pixel(x, y) != kWhite) return {x, y};
    return {-1, -1};
}

TEST(CliReconstituer, RefusesBadOptionsWithAReasonAndStatus2) {
    TempDir dir;
    page(dir, "p1.png", 10, 10);
    const std::string avant = read_bytes(dir / "p1.png");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cas = {
        {{"--format", "a5", "p1.png"}, "Format inconnu : « a5 »"},
        {{"--offset-haut", "1001", "p1.png"}, "de -1000 à 1000"},
        {{"--offset-reliure", "12mm", "p1.png"}, "nombre entier de millimètres"},
        {{"--coin", "milieu", "p1.png"}, "Coin inconnu"},
        {{"--format", "a4-gris", "--page-vierge", "vierge.png", "p1.png"}, "Un seul format"},
        {{"--exceptions", "absent.cup", "p1.png"}, "Fichier d'exceptions introuvable"},
        {{"--offset-haut"}, "attend une valeur"},
        {{"--vite", "p1.png"}, "Option inconnue : --vite"},
        {{}, "Aucun fichier"},
    };
    for (const auto& [args, attendu] : cas) {
        const Sortie s = lancer(dir, args);
        EXPECT_EQ(s.statut, 2) << attendu;
        EXPECT_NE(s.err.find(attendu), std::string::npos) << s.err;
    }
    EXPECT_EQ(read_bytes(dir / "p1.png"), avant);
    EXPECT_EQ(lancer(dir, {"--aide"}).statut, 0);
}

TEST(CliReconstituer, PlacesFacingPagesAndReportsTheEnd) {
    TempDir dir;
    vierge(dir);
    page(dir, "p1.png", 40, 20);
    page(dir, "p2.png", 40, 20);
    const Sortie s = lancer(dir, {"--page-vierge", "vierge.png", "--offset-reliure", "1",
                                  "--offset-haut", "1", "p2.png", "p1.png"});
    EXPECT_EQ(s.statut, 0) << s.err;
    EXPECT_NE(s.out.find(" 2 fichiers :  (Fichiers traités : 2/2)"), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("Les opérations de reconstitution d'images sont terminées"),
              std::string::npos);
    EXPECT_EQ(coin_encre(dir / "p1.png"), (std::pair{25, 25}));  // 24 + the page's white frame
    EXPECT_EQ(coin_encre(dir / "p2.png"), (std::pair{37, 25}));  // rint(60 - 23.62) + 1

    // Aligned left, the even page goes where the odd one went.
    page(dir, "p2.png", 40, 20);
    EXPECT_EQ(lancer(dir, {"--page-vierge", "vierge.png", "--offset-reliure", "1",
                           "--aligner-gauche", "p2.png"})
                  .statut,
              0);
    EXPECT_EQ(coin_encre(dir / "p2.png"), (std::pair{25, 31}));  // centred vertically: 30 + 1
}

TEST(CliReconstituer, ExceptionFileGivesItsPageItsOwnOffsets) {
    TempDir dir;
    vierge(dir);
    page(dir, "scan_012.png", 40, 20);
    page(dir, "scan_014.png", 40, 20);
    write_bytes(dir / "pages.cup",
                "Page;Marge supérieure;Marge intérieure; Données en millimètres\r\n12;0;0\r\n");
    const Sortie s =
        lancer(dir, {"--page-vierge", "vierge.png", "--offset-reliure", "1", "--offset-haut", "1",
                     "--exceptions", "pages.cup", "scan_012.png", "scan_014.png"});
    EXPECT_EQ(s.statut, 0) << s.err;
    EXPECT_EQ(coin_encre(dir / "scan_012.png"), (std::pair{61, 1}));
    EXPECT_EQ(coin_encre(dir / "scan_014.png"), (std::pair{37, 25}));

    write_bytes(dir / "faux.cup", "Page;Marge\r\n");
    const Sortie refus = lancer(dir, {"--exceptions", "faux.cup", "scan_012.png"});
    EXPECT_EQ(refus.statut, 2);
    EXPECT_NE(refus.err.find("Erreur 1"), std::string::npos) << refus.err;
}

TEST(CliReconstituer, NameNotEndingInADigitRefusesTheRunAndAFailedFileGivesStatus1) {
    TempDir dir;
    vierge(dir);
    page(dir, "a1.png", 10, 10);
    page(dir, "b.png", 10, 10);
    const std::string avant = read_bytes(dir / "a1.png");
    const Sortie refus = lancer(dir, {"--page-vierge", "vierge.png", "a1.png", "b.png"});
    EXPECT_EQ(refus.statut, 1);
    EXPECT_NE(refus.err.find("Le fichier b.png"), std::string::npos) << refus.err;
    EXPECT_NE(refus.err.find("ne se termine pas par un numéro"), std::string::npos);
    EXPECT_EQ(read_bytes(dir / "a1.png"), avant);

    write_bytes(dir / "c3.png", "abîmé");
    const Sortie echec = lancer(dir, {"--page-vierge", "vierge.png", "a1.png", "c3.png"});
    EXPECT_EQ(echec.statut, 1);
    EXPECT_NE(echec.err.find("c3.png"), std::string::npos) << echec.err;
    EXPECT_EQ(read_bytes(dir / "c3.png"), "abîmé");
    EXPECT_NE(read_bytes(dir / "a1.png"), avant);
}

}  // namespace
}  // namespace vellumor
