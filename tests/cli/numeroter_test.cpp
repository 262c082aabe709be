#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "batch/png_io.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using Sortie = test::SortieCli;

std::string quoted(const std::string& s) {
    return test::entre_guillemets(s);
}

// Runs vellumor-cli numeroter with args, the system temporary folder being tmp.
Sortie numeroter(const std::string& args, const std::filesystem::path& tmp) {
    return test::lancer_cli("numeroter " + args, tmp.string());
}

class Numeroter : public ::testing::Test {
  protected:
    std::string page(const std::string& name, int w = 900, int h = 650) {
        EXPECT_TRUE(save_png(*Image::create(w, h, 24, kWhite), dir_ / name));
        return quoted((dir_ / name).string());
    }
    // Width of the inked run on the row y of a numbered page, from x0 to x1.
    static int ink(const Image& img, int y, int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += img.pixel(x, y) != kWhite;
        return n;
    }
    // The user's own temporary folder when XDG_RUNTIME_DIR is not set.
    std::filesystem::path prive() const {
        return dir_.path() / ("Vellumor-" + std::to_string(::geteuid()));
    }
    test::TempDir dir_;
};

TEST_F(Numeroter, NumbersPagesIntoTheUsersTemporaryFolderByDefault) {
    const std::string files =
        page("scan_2.png") + " " + page("scan_1.png") + " " + page("scan_3.png");
    Sortie s = numeroter("--debut 4 " + files, dir_.path());
    ASSERT_EQ(s.status, 0) << s.texte;
    EXPECT_NE(s.texte.find("Les opérations de numérotation sont terminées"), std::string::npos);
    const auto out = prive();
    // Arguments are sorted by their number: scan_1 is page 4 (right), scan_2 page 5 (left).
    Image p4 = *load_png(out / "Img__4.png").image;
    Image p5 = *load_png(out / "Img__5.png").image;
    ASSERT_TRUE(std::filesystem::exists(out / "Img__6.png"));
    const int y = 650 - 50 - 5;  // inside the bottom of the frame
    EXPECT_GT(ink(p4, y, 450, 900), 60);
    EXPECT_EQ(ink(p4, y, 0, 450), 0);
    EXPECT_GT(ink(p5, y, 0, 450), 60);
    EXPECT_EQ(ink(p5, y, 0, 80), 0);  // X + B from the left edge
    EXPECT_EQ(p5.pixel(80, y), kBlack);
    int left_over = 0;
    for (const auto& e : std::filesystem::directory_iterator(out))
        left_over += e.path().filename().string().rfind("Num___", 0) == 0;
    EXPECT_EQ(left_over, 0);
}

TEST_F(Numeroter, ListFileOrderAndOptionsAreKept) {
    page("b_7.png");
    page("b_3.png");
    test::write_bytes(dir_ / "liste.txt", "\xEF\xBB\xBF" + (dir_ / "b_7.png").string() + "\n" +
                                              (dir_ / "b_3.png").string() + "\n");
    const auto out = dir_.path() / "sortie";
    Sortie s = numeroter(
        "--debut 9 --position haut-centre --modele disque --offset-y 80 "
        "--silencieux --liste " +
            quoted((dir_ / "liste.txt").string()) + " --dossier " + quoted(out.string()),
        dir_.path());
    ASSERT_EQ(s.status, 0) << s.texte;
    EXPECT_EQ(s.texte, "");
    // b_7 comes first in the list: page 9; b_3 page 10, so names are padded to two digits.
    EXPECT_TRUE(std::filesystem::exists(out / "Img__09.png"));
    EXPECT_TRUE(std::filesystem::exists(out / "Img__10.png"));
    Image p = *load_png(out / "Img__09.png").image;
    EXPECT_EQ(ink(p, 79, 0, 900), 0);
    EXPECT_GT(ink(p, 90, 300, 600), 0);  // the disc's top, centred
    EXPECT_EQ(ink(p, 90, 0, 300), 0);
}

TEST_F(Numeroter, RefusesBadRequestsWithAReason) {
    const std::string one = page("p_1.png");
    struct Cas {
        std::string args, reason;
    } cases[] = {
        {one, "La numérotation des images est incorrecte 123"},
        {"--debut 0 " + one, "incorrecte 123"},
        {"--debut 1", "Aucun fichier"},
        {"--debut -2 " + one, "--debut"},
        {"--debut 1 --offset-x 601 " + one, "« Offset en X » vaut 601"},
        {"--debut 1 --epaisseur 4 " + one, "Epaisseur du cadre"},
        {"--debut 1 --reliure 501 " + one, "entre 30 et 500"},
        {"--debut 1 --modele carre " + one, "Modèle inconnu"},
        {"--debut 1 --position gauche " + one, "Position inconnue"},
        {"--debut 1 --espacement", "attend une valeur"},
        {"--debut 1 --inconnue " + one, "Option inconnue"},
        {"--debut 1000000000 " + one, "incorrecte 123 (le numéro de début a au plus 9 chiffres"},
    };
    for (const Cas& c : cases) {
        Sortie s = numeroter(c.args, dir_.path());
        EXPECT_EQ(s.status, 2) << c.args << "\n" << s.texte;
        EXPECT_NE(s.texte.find(c.reason), std::string::npos) << c.args << "\n" << s.texte;
    }
    EXPECT_FALSE(std::filesystem::exists(prive()));
    Sortie help = numeroter("--aide", dir_.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.texte.find("--reliure"), std::string::npos);
}

TEST_F(Numeroter, APageThatFailsGivesStatusOneAndTheOthersAreWritten) {
    const std::string files = page("q_1.png") + " " + page("q_2.png");
    test::write_bytes(dir_ / "q_2.png", "broken");
    Sortie s = numeroter("--debut 1 " + files, dir_.path());
    EXPECT_EQ(s.status, 1) << s.texte;
    EXPECT_NE(s.texte.find("q_2.png"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(prive() / "Img__1.png"));
    EXPECT_FALSE(std::filesystem::exists(prive() / "Img__2.png"));
}

// A page that cannot be loaded has one line, with libpng's reason in French.
TEST_F(Numeroter, ADamagedPageHasOneLineInFrench) {
    const std::string bonne = page("scan_1.png");
    std::string octets = test::read_bytes(dir_ / "scan_1.png");
    octets[octets.size() - 13] ^= 1;  // the last CRC of the picture data
    test::write_bytes(dir_ / "scan_2.png", octets);
    const Sortie s =
        numeroter("--debut 1 " + bonne + " " + quoted((dir_ / "scan_2.png").string()), dir_.path());
    EXPECT_EQ(s.status, 1) << s.texte;
    std::size_t lignes = 0;
    for (std::size_t at = 0; (at = s.texte.find("scan_2.png", at)) != std::string::npos;
         at = s.texte.find('\n', at))
        ++lignes;
    EXPECT_EQ(lignes, 1u) << s.texte;
    EXPECT_NE(s.texte.find("(IDAT : somme de contrôle CRC incorrecte)"), std::string::npos)
        << s.texte;
}

}  // namespace
}  // namespace vellumor
