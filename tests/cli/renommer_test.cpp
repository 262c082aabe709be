#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/temp_dir.h"

namespace vellumor::tester_renommer_test {

struct Sortie {
    int code = -1;
    std::string texte;
};
Sortie lancer(const std::filesystem::path& folder, const std::string& args);

namespace {

using test::folder_contents;
using test::read_bytes;
using test::TempDir;
using test::write_bytes;
namespace fs = std::filesystem;

TEST(CliRenommer, PrintsTheSequenceAndRenamesNothingByDefault) {
    TempDir dir;
    std::string args = "renommer";
    for (int n = 12; n >= 1; --n) {
        char name[32];
        std::snprintf(name, sizeof name, "page_%03d.png", n);
        write_bytes(dir / name, name);
        args += std::string(" ") + name;
    }
    const auto before = folder_contents(dir.path());
    Sortie s = lancer(dir.path(), args);
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(s.texte.starts_with("page_001.png -> page_01.png\npage_002.png -> page_02.png\n"))
        << s.texte;
    EXPECT_TRUE(s.texte.ends_with("page_012.png -> page_12.png\n"));
    EXPECT_EQ(folder_contents(dir.path()), before);

    s = lancer(dir.path(), args + " --pas 2 --chiffres 4 --prefixe 'livre ' --suffixe .PNG");
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(s.texte.ends_with("page_012.png -> livre 0023.PNG\n")) << s.texte;
    s = lancer(dir.path(), "renommer page_001.png page_002.png page_003.png --premier -5");
    EXPECT_EQ(s.texte,
              "page_001.png -> page_-5.png\npage_002.png -> page_-4.png\npage_003.png -> "
              "page_-3.png\n");

    EXPECT_EQ(lancer(dir.path(), args + " --chiffres 1").code, 2);
    EXPECT_EQ(lancer(dir.path(), args + " --pas 3").code, 2);
    EXPECT_EQ(lancer(dir.path(), args + " --premier 2000000").code, 2);
    EXPECT_EQ(lancer(dir.path(), args + " --premier x").code, 2);
    EXPECT_EQ(lancer(dir.path(), "renommer").code, 2);
    EXPECT_EQ(folder_contents(dir.path()), before);
}

TEST(CliRenommer, ATwentyDigitFirstNameIsNamedUnlessAFirstNumberIsGiven) {
    TempDir dir;
    write_bytes(dir / "scan_99999999999999999999.png", "a");
    write_bytes(dir / "scan_99999999999999999998.png", "b");
    Sortie s = lancer(dir.path(),
                      "renommer scan_99999999999999999999.png "
                      "scan_99999999999999999998.png");
    EXPECT_EQ(s.code, 2);
    EXPECT_NE(s.texte.find("« scan_99999999999999999999.png »"), std::string::npos) << s.texte;
    EXPECT_EQ(s.texte.find("Le premier numéro doit"), std::string::npos) << s.texte;
    s = lancer(dir.path(),
               "renommer --premier 1 scan_99999999999999999998.png "
               "scan_99999999999999999999.png");
    EXPECT_EQ(s.code, 0) << s.texte;
    EXPECT_NE(s.texte.find("-> scan_2.png"), std::string::npos) << s.texte;
}

TEST(CliRenommer, ApplyAndUndoRoundTripAFolderWithACycle) {
    TempDir dir;
    // Numbered 1 to 4 by their names, renamed from 2 with step 1: 1 -> 2, 2 -> 3, 3 -> 4, 4 -> 5.
    // With a list in the order b_2, a_1 the renaming swaps the two names.
    for (const char* name : {"scan_1.png", "scan_2.png", "scan_3.png", "scan_4.png"})
        write_bytes(dir / name, std::string("contenu de ") + name);
    const auto before = folder_contents(dir.path());

    Sortie s = lancer(dir.path(), "renommer scan_*.png --premier 2 --appliquer");
    ASSERT_EQ(s.code, 0) << s.texte;
    auto after = folder_contents(dir.path());
    EXPECT_EQ(after.size(), 5u);
    EXPECT_EQ(after["scan_2.png"], "contenu de scan_1.png");
    EXPECT_EQ(after["scan_5.png"], "contenu de scan_4.png");
    EXPECT_TRUE(after.count("renommage-annuler.txt"));
    s = lancer(dir.path(), "renommer --annuler renommage-annuler.txt");
    ASSERT_EQ(s.code, 0) << s.texte;
    EXPECT_EQ(folder_contents(dir.path()), before);

    write_bytes(dir / "liste.txt", "\xEF\xBB\xBF" + (dir / "scan_2.png").string() + "\r\n" +
                                       (dir / "scan_1.png").string() + "\r\n");
    s = lancer(dir.path(), "renommer --liste liste.txt --premier 1 --appliquer");
    ASSERT_EQ(s.code, 0) << s.texte;
    EXPECT_EQ(read_bytes(dir / "scan_1.png"), "contenu de scan_2.png");
    EXPECT_EQ(read_bytes(dir / "scan_2.png"), "contenu de scan_1.png");
    ASSERT_EQ(lancer(dir.path(), "renommer --annuler renommage-annuler.txt").code, 0);
    auto files = folder_contents(dir.path());
    files.erase("liste.txt");
    EXPECT_EQ(files, before);
}

TEST(CliRenommer, RefusesClashesAndTouchesNothing) {
    TempDir dir;
    for (const char* name : {"a_1.png", "a_2.png", "b_3.png"}) write_bytes(dir / name, name);
    const auto before = folder_contents(dir.path());
    // a_1 -> b_3 would take the name of a file outside the list.
    Sortie s = lancer(dir.path(), "renommer a_1.png a_2.png --prefixe b_ --premier 3 --appliquer");
    EXPECT_EQ(s.code, 1);
    EXPECT_NE(s.texte.find("existe déjà hors de la liste"), std::string::npos) << s.texte;
    // One file named twice.
    s = lancer(dir.path(), "renommer a_1.png ./a_1.png --prefixe c --appliquer");
    EXPECT_EQ(s.code, 1) << s.texte;
    EXPECT_NE(s.texte.find("figure deux fois dans la liste"), std::string::npos) << s.texte;
    EXPECT_EQ(folder_contents(dir.path()), before);
    EXPECT_EQ(lancer(dir.path(), "renommer --annuler absent.txt").code, 1);
}

TEST(CliRenommer, ANameThatIsNoFileIsRefusedBeforeAnyPlan) {
    TempDir dir;
    write_bytes(dir / "a_1.png", "x");
    for (const std::string args : {"renommer pages12", "renommer a_1.png a_2.png"}) {
        const Sortie s = lancer(dir.path(), args);
        EXPECT_EQ(s.code, 1) << args;
        EXPECT_EQ(s.texte.find(" -> "), std::string::npos) << s.texte;
        EXPECT_NE(s.texte.find("n'existe pas"), std::string::npos) << s.texte;
    }
}

TEST(CliRenommer, NamesReachTheTerminalEscapedAndBeforeTheRefusal) {
    TempDir dir;
    write_bytes(dir / "a_1.png", "1");
    write_bytes(dir / "x\x1B[2Jy_2.png", "2");
    write_bytes(dir / "z\xFF_3.png", "3");
    write_bytes(dir / "b_4.png", "hors liste");
    // a_1 -> b_4 is refused: a file outside the list holds that name.
    const Sortie s = lancer(dir.path(),
                            "renommer a_1.png x*_2.png z*_3.png --prefixe b_ "
                            "--premier 4 --appliquer");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte.find('\x1B'), std::string::npos) << s.texte;
    EXPECT_EQ(s.texte.find('\xFF'), std::string::npos) << s.texte;
    EXPECT_NE(s.texte.find("x\\x1B[2Jy_2.png -> "), std::string::npos) << s.texte;
    EXPECT_NE(s.texte.find("z\\xFF_3.png -> "), std::string::npos) << s.texte;
    EXPECT_LT(s.texte.rfind(" -> "), s.texte.find("Renommage refusé")) << s.texte;
}

}  // namespace
}  // namespace vellumor::tester_renommer_test
