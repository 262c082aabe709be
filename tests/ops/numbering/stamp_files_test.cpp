#include "ops/numbering/stamp_files.h"

#include <gtest/gtest.h>

#include <set>

#include "batch/png_io.h"
#include "ops/numbering/test_font.h"
#include "support/temp_dir.h"

namespace vellumor::numbering {
namespace {

std::set<std::string> noms(const std::filesystem::path& folder) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        out.insert(e.path().filename().string());
    return out;
}

Image charger(const std::filesystem::path& file) {
    LoadResult r = load_png(file);
    if (!r) throw std::runtime_error("cannot load " + file.string() + ": " + r.message);
    return std::move(*r.image);
}

TEST(StampFiles, FramedRectangleRunLeavesOnlyStampsOfOneSize) {
    test::TempDir dir;
    const auto folder = dir.path() / "Vellumor";  // created by the build
    ResultatTampons r =
        construire_tampons(police(), {1, 120, ModeleNumero::RectangleBlanc, 5, 5}, folder);
    ASSERT_FALSE(r.abandon);
    EXPECT_TRUE(r.messages.empty());
    const std::set<std::string> files = noms(folder);
    ASSERT_EQ(files.size(), 120u);  // the number files are gone
    EXPECT_TRUE(files.count("Num___7.png"));
    EXPECT_TRUE(files.count("Num___120.png"));
    const int W = r.plus_grand.largeur + 20, H = r.plus_grand.hauteur + 20;
    EXPECT_EQ(r.taille_empaquetee(),
              std::int64_t(r.plus_grand.largeur) | (std::int64_t(r.plus_grand.hauteur) << 32));
    for (int n : {1, 7, 10, 99, 120}) {
        Image s = charger(folder / nom_tampon(n));
        EXPECT_EQ(s.width(), W) << n;
        EXPECT_EQ(s.height(), H) << n;
        EXPECT_EQ(s.pixel(0, 0), kBlack);
        EXPECT_EQ(s.pixel(5, 5), kWhite);
    }
    supprimer_tampons(1, 120, folder);
    EXPECT_TRUE(noms(folder).empty());
}

TEST(StampFiles, RoundStampsShareOneSizeKeepWhiteCornersAndARunMayStartAtZero) {
    for (ModeleNumero m : {ModeleNumero::Disque, ModeleNumero::Anneau}) {
        test::TempDir dir;
        DemandeTampons d{0, 12, m, 5, 5};
        // The progress goes through both passes in order: 26 steps for 13 numbers.
        std::vector<std::int64_t> faits;
        d.avancement = [&](std::int64_t f, std::int64_t total) {
            EXPECT_EQ(total, 26);
            faits.push_back(f);
        };
        ResultatTampons r = construire_tampons(police(), d, dir.path());
        ASSERT_EQ(faits.size(), 26u);
        for (std::size_t i = 0; i < faits.size(); ++i) EXPECT_EQ(faits[i], std::int64_t(i) + 1);
        ASSERT_FALSE(r.abandon);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(noms(dir.path()).size(), 13u);
        const int D = diametre_tampon(r.plus_grand.largeur, r.plus_grand.hauteur, 10);
        Image zero = charger(dir / "Num___0.png");
        // The disc reaches the canvas edges; the ring's outer edge lies t / 2 inside them.
        EXPECT_NEAR(zero.width(), m == ModeleNumero::Disque ? D : D - 5, 1);
        EXPECT_EQ(zero.width(), zero.height());
        const Couleur inside = m == ModeleNumero::Disque ? kBlack : kWhite;
        // Number 0 was drawn, not lost under the shape's work file of the same name: its ink
        // crosses the middle row left of the centre.
        bool ink = false;
        for (int x = zero.width() / 4; x < zero.width() / 2; ++x)
            ink |= zero.pixel(x, zero.height() / 2) != inside;
        EXPECT_TRUE(ink);
        for (int n = 0; n <= 12; ++n) {
            Image s = charger(dir / nom_tampon(n));
            ASSERT_EQ(s.width(), zero.width()) << n;
            ASSERT_EQ(s.height(), zero.height()) << n;
            const int e = s.width() - 1;
            for (auto [x, y] : {std::pair{0, 0}, {e, 0}, {0, e}, {e, e}})
                EXPECT_EQ(s.pixel(x, y), kWhite) << n << " " << x << "," << y;
        }
    }
}

TEST(StampFiles, WithoutAFontNothingIsBuilt) {
    test::TempDir dir;
    ResultatTampons r = construire_tampons(nullptr, {1, 3, ModeleNumero::Disque, 5, 5}, dir.path());
    EXPECT_TRUE(r.abandon);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].instruction, " GetVectorTextDimensions a retourné -1");
    EXPECT_EQ(r.messages[0].texte, "  ARIAL taille 110");
    EXPECT_TRUE(noms(dir.path()).empty());
}

TEST(StampFiles, WorkFilesThatCannotBeWrittenAreReportedNotSilent) {
    test::TempDir dir;
    // A folder standing where the cut of number 2 goes makes its write fail; the build then
    // stops at 2, so only the stamp of 1 exists.
    std::filesystem::create_directory(dir / "Num___Det_2.png");
    ResultatTampons r =
        construire_tampons(police(), {1, 3, ModeleNumero::RectangleNoir, 5, 5}, dir.path());
    EXPECT_FALSE(r.abandon);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].texte.find("Num___Det_2.png"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "Num___1.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Num___2.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Num___3.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Num___Det_3.png"));

    test::write_bytes(dir / "file", "x");
    r = construire_tampons(police(), {1, 3, ModeleNumero::RectangleNoir, 5, 5}, dir / "file");
    EXPECT_TRUE(r.abandon);
    EXPECT_EQ(r.messages[0].instruction, " Le dossier temporaire n'a pas pu être créé");
}

TEST(StampFiles, CutFileIsNamedByTheValueOfTheText) {
    test::TempDir dir;
    std::vector<Message> messages;
    auto canvas = dessiner_nombre(*police(), "42", ModeleNumero::RectangleNoir);
    Rognage r = rogner_vers_fichier(*canvas, kWhite, "42", dir.path(), messages);
    EXPECT_TRUE(messages.empty());
    Image cut = charger(dir / "Num___Det_42.png");
    EXPECT_EQ(cut.width(), r.largeur);
    EXPECT_EQ(cut.height(), r.hauteur);
    rogner_vers_fichier(Image{}, kWhite, "", dir.path(), messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].texte, "StartDrawing  a échoué  procedure Detoure_Images_Numero()");
    EXPECT_EQ(messages[0].titre, "Erreur");
}

TEST(StampFiles, WorkFilesAreNewFilesNeverWrittenThroughALink) {
    test::TempDir dir;
    const auto folder = dir.path() / "travail";
    std::filesystem::create_directory(folder);
    test::write_bytes(dir / "victime.txt", "précieux");
    std::filesystem::create_symlink(dir / "victime.txt", folder / "Num___Det_1.png");
    std::filesystem::create_symlink(dir / "victime.txt", folder / "Num___2.png");
    ResultatTampons r =
        construire_tampons(police(), {1, 3, ModeleNumero::RectangleNoir, 5, 5}, folder);
    EXPECT_FALSE(r.abandon);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(test::read_bytes(dir / "victime.txt"), "précieux");
    EXPECT_FALSE(std::filesystem::is_symlink(folder / "Num___2.png"));
    EXPECT_EQ(charger(folder / "Num___2.png").width(), r.plus_grand.largeur + 20);
}

TEST(StampFiles, AStopAskedDuringTheBuildLeavesNoWorkFile) {
    test::TempDir dir;
    std::atomic<bool> stop{true};
    DemandeTampons d{1, 40, ModeleNumero::Anneau, 5, 5};
    d.arret = &stop;
    ResultatTampons r = construire_tampons(police(), d, dir.path());
    EXPECT_TRUE(r.abandon);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].texte, kTexteInterruptionTampons);
    EXPECT_TRUE(noms(dir.path()).empty());
}

}  // namespace
}  // namespace vellumor::numbering
