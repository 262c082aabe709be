// The files a run replaces are kept beside the pages, and vellumor-cli restaurer puts them back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "batch/originaux.h"
#include "batch/png_io.h"
#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;
using Octets = std::map<std::string, std::string>;

Octets ecrire_pages(const fs::path& folder, int count, int largeur = 120, int hauteur = 160) {
    for (int i = 1; i <= count; ++i)
        test::write_png_file(folder / ("page_" + std::to_string(i) + ".png"),
                             page_avec_marges(largeur, hauteur, unsigned(i)));
    Octets o;
    for (const std::string& n : noms_png(folder)) o[n] = test::read_bytes(folder / n);
    return o;
}

Octets octets(const fs::path& folder) {
    Octets o;
    for (const std::string& n : noms_png(folder)) o[n] = test::read_bytes(folder / n);
    return o;
}

Execution cli(std::vector<std::string> args) {
    return executer_cli(avec_arguments(std::move(args)));
}

fs::path originaux(const test::TempDir& dir) {
    return dir / kDossierOriginaux;
}

std::size_t executions(const test::TempDir& dir) {
    return executions_gardees(dir.path()).size();
}

TEST(Originals, RestoreGivesBackTheBytesOfEachRunInTurn) {
    test::TempDir dir;
    const Octets avant = ecrire_pages(dir.path(), 6);
    ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
    const Octets detoure = octets(dir.path());
    for (const auto& [n, o] : avant) ASSERT_NE(detoure.at(n), o) << n;
    ASSERT_EQ(cli({"nettoyer", "--silencieux", "--masque", "127", dir.path()}).status, 0);
    EXPECT_EQ(executions(dir), 2u);
    // The folder argument sees the pages only, whatever the kept runs hold.
    EXPECT_EQ(noms_png(dir.path()).size(), 6u);

    const Execution premier = cli({"restaurer", dir.path()});
    EXPECT_EQ(premier.status, 0) << premier.erreurs;
    EXPECT_NE(premier.sortie.find("Nettoyage du "), std::string::npos) << premier.sortie;
    EXPECT_EQ(octets(dir.path()), detoure);
    EXPECT_EQ(executions(dir), 1u);
    const Execution second = cli({"restaurer", dir.path()});
    EXPECT_EQ(second.status, 0) << second.erreurs;
    EXPECT_NE(second.sortie.find("6 pages remises en place sur 6"), std::string::npos)
        << second.sortie;
    EXPECT_EQ(octets(dir.path()), avant);
    EXPECT_FALSE(fs::exists(originaux(dir)));
    EXPECT_EQ(cli({"restaurer", dir.path()}).status, 1);
    EXPECT_EQ(octets(dir.path()), avant);
}

TEST(Originals, APageChangedSinceTheRunIsRefusedAndNamedAndTheOthersRestored) {
    test::TempDir dir;
    const Octets avant = ecrire_pages(dir.path(), 4);
    ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
    test::write_png_file(dir / "page_3.png", page_avec_marges(90, 90, 77));
    const std::string changee = test::read_bytes(dir / "page_3.png");

    const Execution r = cli({"restaurer", dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lignes_avec(r.erreurs, {(dir / "page_3.png").string(), "a changé"}).size(), 1u)
        << r.erreurs;
    Octets attendu = avant;
    attendu["page_3.png"] = changee;
    EXPECT_EQ(octets(dir.path()), attendu);
    // The refused page stays kept, and only it.
    ASSERT_EQ(executions(dir), 1u);
    EXPECT_EQ(executions_gardees(dir.path())[0].pages.size(), 1u);
    EXPECT_EQ(r.sortie.find("3 pages remises en place sur 4") != std::string::npos, true)
        << r.sortie;
}

TEST(Originals, AReconstitutionStoppedBySigintIsRestoredToThePagesAsTheyWere) {
    test::TempDir dir;
    const fs::path vierge = dir / "vierge.bin";
    ASSERT_TRUE(save_png(*Image::create(200, 260, 24, kWhite), vierge, 24));
    const Octets avant = ecrire_pages(dir.path(), 200);
    Lancement l = avec_arguments({"reconstituer", "--page-vierge", vierge.string(), dir.path()});
    l.interrompre_quand = [&] {
        const auto e = executions_gardees(dir.path());
        return !e.empty() && e[0].pages.size() >= 10;
    };
    l.delai_max = std::chrono::seconds(60);
    const Execution run = executer_cli(l);
    EXPECT_EQ(run.status, 1) << run.erreurs;
    const std::size_t ecrites = executions_gardees(dir.path()).at(0).pages.size();
    EXPECT_LT(ecrites, avant.size()) << "the run ended before it was stopped";
    EXPECT_NE(octets(dir.path()), avant);

    const Execution r = cli({"restaurer", dir.path()});
    EXPECT_EQ(r.status, 0) << r.erreurs;
    EXPECT_EQ(octets(dir.path()), avant);
    EXPECT_FALSE(fs::exists(originaux(dir)));
}

TEST(Originals, KeptByAHardLinkOnTheSameFileSystemAndByACopyAcross) {
    for (const bool autre_disque : {false, true}) {
        SCOPED_TRACE(autre_disque ? "tmpfs" : "same file system");
        test::TempDir dir;
        const Octets avant = ecrire_pages(dir.path(), 3);
        std::optional<DisqueMonte> disque;
        if (autre_disque) {
            disque.emplace(originaux(dir), 4096);
            if (!disque->monte()) GTEST_SKIP() << disque->raison();
        }
        struct stat page {};
        ASSERT_EQ(::stat((dir / "page_2.png").c_str(), &page), 0);
        ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
        const auto e = executions_gardees(dir.path());
        ASSERT_EQ(e.size(), 1u);
        const fs::path garde = e[0].dossier / "page_2.png";
        struct stat gardee {};
        ASSERT_EQ(::stat(garde.c_str(), &gardee), 0);
        EXPECT_EQ(gardee.st_ino == page.st_ino && gardee.st_dev == page.st_dev, !autre_disque);
        EXPECT_EQ(test::read_bytes(garde), avant.at("page_2.png"));
        EXPECT_EQ(cli({"restaurer", dir.path()}).status, 0);
        EXPECT_EQ(octets(dir.path()), avant);
    }
}

TEST(Originals, TheFourthRunRemovesTheOldestRunFolderAndNothingElse) {
    test::TempDir dir;
    ecrire_pages(dir.path(), 1);
    const fs::path page = dir / "page_1.png";
    fs::create_directories(originaux(dir) / "à moi");
    test::write_bytes(originaux(dir) / "à moi" / "notes.txt", "x");
    test::write_bytes(originaux(dir) / "lisez-moi.txt", "y");
    std::vector<fs::path> dossiers;
    for (int run = 0; run < 4; ++run) {
        Originaux o(kOperationNettoyage, (1800000000LL + run) * 1000000000LL);
        const Verdict garde = o.garder(page);
        ASSERT_TRUE(garde) << garde.raison();
        dossiers.push_back(executions_gardees(dir.path()).back().dossier);
    }
    EXPECT_FALSE(fs::exists(dossiers[0]));
    for (int run = 1; run < 4; ++run) EXPECT_TRUE(fs::exists(dossiers[run] / "page_1.png"));
    EXPECT_EQ(noms(originaux(dir)).size(), 5u);  // three runs, the user's folder and file
    EXPECT_TRUE(fs::exists(originaux(dir) / "à moi" / "notes.txt"));
}

TEST(Originals, SansOriginauxKeepsNothingAndKeptFilesAreNeverPages) {
    test::TempDir dir;
    ecrire_pages(dir.path(), 3);
    ASSERT_EQ(cli({"detourer", "--silencieux", "--sans-originaux", dir.path()}).status, 0);
    EXPECT_FALSE(fs::exists(originaux(dir)));

    test::TempDir autre;
    ecrire_pages(autre.path(), 3);
    ASSERT_EQ(cli({"nettoyer", "--silencieux", autre.path()}).status, 0);
    const fs::path run = executions_gardees(autre.path()).at(0).dossier;
    const Execution dossier = cli({"nettoyer", run.string()});
    EXPECT_EQ(dossier.status, 2);
    EXPECT_NE(dossier.erreurs.find("Aucun fichier à traiter"), std::string::npos)
        << dossier.erreurs;
    const Execution fichier = cli({"detourer", (run / "page_1.png").string()});
    EXPECT_EQ(fichier.status, 2);
    EXPECT_NE(fichier.erreurs.find("est un original gardé"), std::string::npos) << fichier.erreurs;
    const Execution liste = cli({"originaux", autre.path()});
    EXPECT_NE(liste.sortie.find("Nettoyage du "), std::string::npos) << liste.sortie;
    EXPECT_EQ(cli({"originaux", "--purger", autre.path()}).status, 0);
    EXPECT_FALSE(fs::exists(originaux(autre)));
}

}  // namespace
}  // namespace vellumor::faults
