// End-to-end fault tests of vellumor-cli on real files: read-only files and folders, full disks,
// files that are not pages, and a long run. Whatever happens, a source is either left byte for
// byte or replaced by its complete result, and every failure is told in French.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "batch/png_io.h"
#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;

using Contenus = std::map<std::string, std::string>;

Contenus contenus(const fs::path& folder, const std::vector<std::string>& names) {
    Contenus c;
    for (const std::string& n : names) c[n] = test::read_bytes(folder / n);
    return c;
}

std::vector<std::string> chemins(const fs::path& folder, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& n : names) paths.push_back((folder / n).string());
    return paths;
}

std::string entete(int traites, int total) {
    return std::to_string(total) + " fichiers (Fichiers traités : " + std::to_string(traites) +
           "/" + std::to_string(total) + ")";
}

// The page was cropped: a valid, smaller PNG.
void expect_detouree(const fs::path& page, const std::string& avant) {
    const std::string apres = test::read_bytes(page);
    EXPECT_NE(apres, avant) << page;
    const LoadResult r = load_png(page);
    ASSERT_TRUE(r) << r.message;
    EXPECT_LT(r.image->width(), 200) << page;
}

std::vector<std::string> ecrire_pages(const fs::path& folder, int count, int first = 1) {
    std::vector<std::string> names;
    for (int i = first; i < first + count; ++i) {
        names.push_back("page_" + std::to_string(i) + ".png");
        test::write_png_file(folder / names.back(), page_avec_marges(200, 260, unsigned(i)));
    }
    return names;
}

TEST(Faults, AReadOnlyFileIsReportedAndLeftAsItIs) {
    test::TempDir dir;
    const std::vector<std::string> names = ecrire_pages(dir.path(), 2);
    const Contenus avant = contenus(dir.path(), names);
    ASSERT_EQ(::chmod((dir / names[0]).c_str(), 0444), 0);

    const Execution run = executer_cli(
        avec_arguments({"detourer", (dir / names[0]).string(), (dir / names[1]).string()}));
    EXPECT_EQ(run.status, 1) << run.erreurs;
    const auto lines = lignes_avec(run.erreurs, {"Échec", names[0], "lecture seule"});
    EXPECT_EQ(lines.size(), 1u) << run.erreurs;
    EXPECT_EQ(test::read_bytes(dir / names[0]), avant.at(names[0]));
    struct stat st {};
    ASSERT_EQ(::stat((dir / names[0]).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    expect_detouree(dir / names[1], avant.at(names[1]));
    EXPECT_NE(run.sortie.find(entete(1, 2)), std::string::npos) << run.sortie;
    EXPECT_EQ(noms(dir.path()), names);
}

TEST(Faults, AReadOnlyFolderIsReportedAndNothingChanges) {
    test::TempDir dir;
    const fs::path folder = dir / "lecture_seule";
    fs::create_directory(folder);
    const std::vector<std::string> names = ecrire_pages(folder, 3);
    const Contenus avant = contenus(folder, names);
    // The unprivileged user may enter and read, and owns the pages, but may not write the folder.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    if (est_superutilisateur()) {
        for (const std::string& n : names)
            ASSERT_EQ(::chown((folder / n).c_str(), kUtilisateurSansPrivileges,
                              kUtilisateurSansPrivileges),
                      0);
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

    Lancement l = avec_arguments({"detourer"});
    for (const std::string& p : chemins(folder, names)) l.args.push_back(p);
    l.sans_privileges = true;
    const Execution run = executer_cli(l);
    ::chmod(folder.c_str(), 0755);
    if (run.status == 126 || run.status == 127)
        GTEST_SKIP() << "vellumor-cli ne peut pas être lancé sans privilèges ici";
    EXPECT_EQ(run.status, 1) << run.erreurs;
    for (const std::string& n : names) {
        const auto lines = lignes_avec(run.erreurs, {"Échec", n, "permission refusée"});
        EXPECT_EQ(lines.size(), 1u) << run.erreurs;
    }
    EXPECT_EQ(contenus(folder, names), avant);
    EXPECT_EQ(noms(folder), names);
    EXPECT_NE(run.sortie.find(entete(0, 3)), std::string::npos) << run.sortie;
}

TEST(Faults, FilesThatAreNotPagesAreReportedAndTheOthersStillProcessed) {
    test::TempDir dir;
    std::vector<std::string> good = ecrire_pages(dir.path(), 2);
    test::write_bytes(dir / "texte_3.png", "Ceci n'est pas une image.\n");
    test::write_bytes(dir / "vide_4.png", "");
    test::write_bytes(dir / "coupee_5.png",
                      test::encode_png(page_avec_marges(200, 260, 5)).substr(0, 400));
    test::write_png_file(dir / "large_6.png", test::blank_png(40000, 10, PNG_COLOR_TYPE_GRAY, 1));
    test::PngFile deep = test::blank_png(120, 90, PNG_COLOR_TYPE_GRAY, 16);
    for (int y = 10; y < 80; ++y)
        for (int x = 0; x < 120; ++x) deep.at(x, y) = y % 2 ? 0 : 65535;
    for (int x = 0; x < 120; ++x) deep.at(x, 0) = deep.at(x, 89) = 65535;
    test::write_png_file(dir / "profonde_7.png", deep);
    fs::create_directory(dir / "dossier_8.png");
    const std::vector<std::string> bad = {"texte_3.png", "vide_4.png", "coupee_5.png",
                                          "large_6.png"};
    const std::vector<std::string> all = noms(dir.path());
    std::vector<std::string> files = all;
    std::erase(files, "dossier_8.png");
    const Contenus avant = contenus(dir.path(), files);

    Lancement l = avec_arguments({"detourer"});
    for (const std::string& p : chemins(dir.path(), all)) l.args.push_back(p);
    const Execution run = executer_cli(l);
    EXPECT_EQ(run.status, 1) << run.erreurs;
    for (const std::string& n : bad) {
        EXPECT_EQ(lignes_avec(run.erreurs, {"Échec", n}).size(), 1u) << n << "\n" << run.erreurs;
        EXPECT_EQ(test::read_bytes(dir / n), avant.at(n)) << n;
    }
    EXPECT_EQ(lignes_avec(run.erreurs, {"Échec", "dossier_8.png"}).size(), 1u) << run.erreurs;
    EXPECT_TRUE(fs::is_directory(dir / "dossier_8.png"));
    for (const std::string& n : good) expect_detouree(dir / n, avant.at(n));

    // A 16-bit page is either cropped whole or reported and left as it was.
    int processed = 2;
    if (lignes_avec(run.erreurs, {"Échec", "profonde_7.png"}).empty()) {
        const LoadResult r = load_png(dir / "profonde_7.png");
        ASSERT_TRUE(r) << r.message;
        EXPECT_EQ(r.image->height(), 70);
        ++processed;
    } else {
        EXPECT_EQ(test::read_bytes(dir / "profonde_7.png"), avant.at("profonde_7.png"));
    }
    EXPECT_NE(run.sortie.find(entete(processed, 8)), std::string::npos) << run.sortie;
    EXPECT_EQ(noms(dir.path()), all) << "no file left behind";
}

TEST(Faults, OnAFullDiskSavesFailAndTheSourcesStayByteIdentical) {
    test::TempDir dir;
    DisqueMonte disque(dir / "disque", 512);
    if (!disque.monte())
        GTEST_SKIP() << "un tmpfs ne peut pas être monté ici (" << disque.raison() << ")";
    const fs::path folder = dir / "disque";
    const std::vector<std::string> names = ecrire_pages(folder, 4);
    const Contenus avant = contenus(folder, names);
    ASSERT_GT(remplir_disque(folder), 0u);

    Lancement l = avec_arguments({"detourer"});
    for (const std::string& p : chemins(folder, names)) l.args.push_back(p);
    const Execution plein = executer_cli(l);
    EXPECT_EQ(plein.status, 1) << plein.erreurs;
    for (const std::string& n : names)
        EXPECT_EQ(lignes_avec(plein.erreurs, {"Échec", n, "disque plein"}).size(), 1u)
            << plein.erreurs;
    EXPECT_EQ(contenus(folder, names), avant);
    EXPECT_NE(plein.sortie.find(entete(0, 4)), std::string::npos) << plein.sortie;
    std::vector<std::string> expected = names;
    expected.push_back("remplissage");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(noms(folder), expected) << "no temporary file left on the full disk";

    // Once there is room again, the same run goes through.
    fs::remove(folder / "remplissage");
    const Execution libre = executer_cli(l);
    EXPECT_EQ(libre.status, 0) << libre.erreurs;
    for (const std::string& n : names) expect_detouree(folder / n, avant.at(n));
}

TEST(Faults, AThousandSmallPagesInOneRunWithFlatMemory) {
    test::TempDir dir;
    std::vector<std::string> names;
    std::vector<std::string> variants;
    for (unsigned seed = 1; seed <= 10; ++seed)
        variants.push_back(test::encode_png(page_avec_marges(60, 80, seed)));
    for (int i = 1; i <= 1000; ++i) {
        names.push_back("p" + std::to_string(i) + ".png");
        test::write_bytes(dir / names.back(), variants[std::size_t(i) % variants.size()]);
    }
    // Freed memory must come back at once, even under AddressSanitizer.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::pair<std::string, std::string> sans_quarantaine = {
        "ASAN_OPTIONS", (asan ? std::string(asan) + ":" : std::string()) + "quarantine_size_mb=0"};
    const std::vector<std::string> first(names.begin(), names.begin() + 100);
    Lancement petit = avec_arguments({"detourer"});
    for (const std::string& p : chemins(dir.path(), first)) petit.args.push_back(p);
    petit.variables = {sans_quarantaine};
    const Execution cent = executer_cli(petit);
    ASSERT_EQ(cent.status, 0) << cent.erreurs;

    Lancement grand = avec_arguments({"detourer"});
    for (const std::string& p : chemins(dir.path(), names)) grand.args.push_back(p);
    grand.variables = {sans_quarantaine};
    const Execution mille = executer_cli(grand);
    EXPECT_EQ(mille.status, 0) << mille.erreurs;
    EXPECT_NE(mille.sortie.find(entete(1000, 1000)), std::string::npos) << mille.sortie;
    // The first hundred were cropped already and are left as they are; the others are cropped.
    EXPECT_EQ(lignes_avec(mille.sortie, {"Non écrit", "aucune marge"}).size(), 100u);
    for (int i = 101; i <= 1000; i += 111) {
        const LoadResult r = load_png(dir / names[std::size_t(i - 1)]);
        ASSERT_TRUE(r) << r.message;
        EXPECT_LT(r.image->width(), 60);
    }
    EXPECT_LT(mille.pic_memoire_ko - cent.pic_memoire_ko, 8 * 1024)
        << "100 pages: " << cent.pic_memoire_ko << " ko, 1000 pages: " << mille.pic_memoire_ko
        << " ko";
    RecordProperty("pic_100_ko", int(cent.pic_memoire_ko));
    RecordProperty("pic_1000_ko", int(mille.pic_memoire_ko));
    RecordProperty("secondes_1000", std::to_string(mille.secondes));
}

}  // namespace
}  // namespace vellumor::faults
