// Lists used from another folder, files far larger than what they hold, and what the user reads
// when the system refuses something: tried on the real program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;

TEST(ListsAndMessages, ARelativeListUsedFromAnotherFolderCropsTheFilesBesideIt) {
    test::TempDir dir;
    fs::create_directory(dir / "scans");
    fs::create_directory(dir / "ailleurs");
    test::write_png_file(dir / "scans" / "p_1.png", page_avec_marges(200, 260, 1));
    test::write_png_file(dir / "ailleurs" / "p_1.png", page_avec_marges(200, 260, 2));
    const std::string elsewhere = test::read_bytes(dir / "ailleurs" / "p_1.png");
    const std::string scan = test::read_bytes(dir / "scans" / "p_1.png");
    test::write_bytes(dir / "scans" / "liste.txt", "\xEF\xBB\xBFp_1.png\r\n");
    Lancement l = avec_arguments({"detourer", "--liste", (dir / "scans" / "liste.txt").string()});
    l.dossier_courant = dir / "ailleurs";
    const Execution r = executer_cli(l);
    EXPECT_EQ(r.status, 0) << r.erreurs;
    EXPECT_EQ(test::read_bytes(dir / "ailleurs" / "p_1.png"), elsewhere);
    EXPECT_NE(test::read_bytes(dir / "scans" / "p_1.png"), scan);
}

TEST(SlowListsAndMessages, A200MegabyteListOfEmptyLinesNeedsLittleMemory) {
    test::TempDir dir;
    {
        std::FILE* f = std::fopen((dir / "vide.txt").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("\xEF\xBB\xBF", f);
        const std::string block(1 << 20, '\n');
        for (int i = 0; i < 200; ++i) std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    const Execution r =
        executer_cli(avec_arguments({"detourer", "--liste", (dir / "vide.txt").string()}));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.erreurs.find("ucun fichier"), std::string::npos) << r.erreurs;
    std::printf("list of 200 MB of empty lines: %.2f s, peak %ld kB\n", r.secondes,
                r.pic_memoire_ko);
    EXPECT_LT(r.pic_memoire_ko, 64 * 1024);
}

// One 50 MB "path": refused as a line too long, never kept nor printed, in little memory.
TEST(ListsAndMessages, AListWithOneEnormousLineIsRefusedInLittleMemory) {
    test::TempDir dir;
    test::write_bytes(dir / "liste.txt", "\xEF\xBB\xBF/p/" + std::string(50 << 20, 'x') + ".png");
    const Execution r =
        executer_cli(avec_arguments({"detourer", "--liste", (dir / "liste.txt").string()}));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.erreurs.find("ligne trop longue"), std::string::npos) << r.erreurs.substr(0, 300);
    EXPECT_LT(r.sortie.size() + r.erreurs.size(), 4096u);
    // AddressSanitizer holds freed blocks back in quarantine: the peak says nothing there.
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(r.pic_memoire_ko, 64 * 1024);
#endif
}

TEST(ListsAndMessages, SystemRefusalsAreToldInFrenchAndNamesAreEscaped) {
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms(0777));
    const std::vector<std::string> names = {"autrui_1.png", "lecture_2.png",
                                            "a\x1b[2J\x1b]0;titre\x07\nb_3.png", "boucle_4.png"};
    for (std::size_t i = 0; i < 2; ++i)
        test::write_png_file(dir / names[i], page_avec_marges(200, 260, unsigned(i + 1)));
    test::write_bytes(dir / names[2], "pas une image");
    fs::permissions(dir / names[1], fs::perms(0444));
    fs::create_symlink(dir / names[3], dir / names[3]);  // a link to itself
    Lancement l = avec_arguments({"detourer"});
    for (const std::string& n : names) l.args.push_back((dir / n).string());
    // Another user runs it: the first page is the superuser's, readable but not his to change.
    l.sans_privileges = est_superutilisateur();
    if (l.sans_privileges) {
        for (std::size_t i = 1; i < 3; ++i)
            ASSERT_EQ(::chown((dir / names[i]).c_str(), kUtilisateurSansPrivileges,
                              kUtilisateurSansPrivileges),
                      0);
    }
    const Execution r = executer_cli(l);
    EXPECT_EQ(r.status, 1);
    const std::string all = r.erreurs + r.sortie;
    if (l.sans_privileges) {
        EXPECT_EQ(
            lignes_avec(all, {names[0], "ne peut pas être modifié (permission refusée)"}).size(),
            1u)
            << all;
        EXPECT_TRUE(lignes_avec(all, {names[0], "lecture seule"}).empty()) << all;
    }
    EXPECT_EQ(lignes_avec(all, {names[1], "est en lecture seule"}).size(), 1u) << all;
    EXPECT_EQ(lignes_avec(all, {"a\\x1B[2J\\x1B]0;titre\\x07\\x0Ab_3.png"}).size(), 1u) << all;
    EXPECT_EQ(all.find('\x1b'), std::string::npos);
    EXPECT_EQ(all.find('\x07'), std::string::npos);
    EXPECT_EQ(lignes_avec(all, {names[3]}).size(), 1u) << all;
    EXPECT_EQ(all.find("Too many"), std::string::npos) << all;
}

}  // namespace
}  // namespace vellumor::faults
