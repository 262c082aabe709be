#include "ops/renaming/disk_rename.h"

#include <gtest/gtest.h>

#include <map>

#include "imagelist/list_file.h"
#include "support/temp_dir.h"

namespace vellumor::renaming {
namespace {

using test::folder_contents;
using test::read_bytes;
using test::TempDir;
using test::write_bytes;
namespace fs = std::filesystem;

TEST(DiskRenaming, CycleRoundTripsThroughTheUndoList) {
    TempDir dir;
    write_bytes(dir / "a.png", "A");
    write_bytes(dir / "b.png", "B");
    write_bytes(dir / "c.png", "C");
    const fs::path undo = dir / "renommage-annuler.txt";
    const std::vector<Renommage> plan = {{dir / "a.png", dir / "b.png"},
                                         {dir / "b.png", dir / "a.png"},
                                         {dir / "c.png", dir / "c.png"}};

    const auto r = appliquer_renommage(plan, undo);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.renommes, 2u);
    auto files = folder_contents(dir.path());
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(files["b.png"], "A");
    EXPECT_EQ(files["a.png"], "B");
    EXPECT_EQ(files["c.png"], "C");
    EXPECT_EQ(files["renommage-annuler.txt"],
              "\xEF\xBB\xBF; Annulation d'un renommage : vellumor-cli renommer --annuler "
              "FICHIER\r\n; nom d'origine : a.png\r\n" +
                  (dir / "b.png").string() + "\r\n; nom d'origine : b.png\r\n" +
                  (dir / "a.png").string() + "\r\n");
    // The undo list is a list file naming the renamed files.
    const LectureListe listed = lire_fichier_liste(undo);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.fichiers, (std::vector<fs::path>{dir / "b.png", dir / "a.png"}));

    const auto back = annuler_renommage(undo);
    ASSERT_TRUE(back.ok) << back.message;
    files = folder_contents(dir.path());
    EXPECT_EQ(files,
              (std::map<std::string, std::string>{{"a.png", "A"}, {"b.png", "B"}, {"c.png", "C"}}));
}

TEST(DiskRenaming, SequenceOfPagesAndItsUndo) {
    TempDir dir;
    std::vector<fs::path> sources;
    for (int n : {3, 4, 5, 6}) {
        sources.push_back(dir / ("scan_" + std::to_string(n) + ".png"));
        write_bytes(sources.back(), "page " + std::to_string(n));
    }
    // Shifting by one: scan_3 -> scan_4, scan_4 -> scan_5 ... every new name but the last is taken
    // by a file of the list.
    const auto plan = plan_renommage(sources, {"scan_", ".png", 4, 1, 1});
    ASSERT_TRUE(appliquer_renommage(plan, dir / "renommage-annuler.txt").ok);
    EXPECT_EQ(read_bytes(dir / "scan_4.png"), "page 3");
    EXPECT_EQ(read_bytes(dir / "scan_7.png"), "page 6");
    EXPECT_FALSE(fs::exists(dir / "scan_3.png"));
    ASSERT_TRUE(annuler_renommage(dir / "renommage-annuler.txt").ok);
    EXPECT_EQ(folder_contents(dir.path()),
              (std::map<std::string, std::string>{{"scan_3.png", "page 3"},
                                                  {"scan_4.png", "page 4"},
                                                  {"scan_5.png", "page 5"},
                                                  {"scan_6.png", "page 6"}}));
}

TEST(DiskRenaming, RefusalsTouchNothing) {
    TempDir dir;
    write_bytes(dir / "a.png", "A");
    write_bytes(dir / "b.png", "B");
    write_bytes(dir / "autre.png", "X");
    fs::create_directory(dir / "sous");
    const auto before = folder_contents(dir.path());
    const fs::path undo = dir / "renommage-annuler.txt";
    const auto refused = [&](const std::vector<Renommage>& plan) {
        const auto r = appliquer_renommage(plan, undo);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(folder_contents(dir.path()), before);
        return r.message;
    };
    const std::string a = (dir / "a.png").string();
    EXPECT_EQ(refused({{dir / "a.png", dir / "c.png"}, {dir / "b.png", dir / "c.png"}}),
              "Deux fichiers prendraient le même nom « " + (dir / "c.png").string() + " »");
    EXPECT_EQ(refused({{dir / "a.png", dir / "autre.png"}}),
              "Le fichier « " + (dir / "autre.png").string() + " » existe déjà hors de la liste");
    EXPECT_EQ(refused({{dir / "a.png", dir / "sous"}}),
              "Le fichier « " + (dir / "sous").string() + " » existe déjà hors de la liste");
    EXPECT_EQ(refused({{dir / "absent.png", dir / "c.png"}}),
              "Le fichier « " + (dir / "absent.png").string() + " » n'existe pas");
    EXPECT_EQ(
        refused({{dir / "a.png", dir / "c.png"}, {dir / "." / "a.png", dir / "d.png"}}),
        "Le fichier « " + (dir / "." / "a.png").string() + " » figure deux fois dans la liste");
    EXPECT_EQ(refused({{dir / "a.png", dir / "sous" / "a.png"}}),
              "Le nouveau nom de « " + a + " » n'est pas un nom de fichier");
    EXPECT_EQ(refused({{dir / "a.png", dir / "x\ny.png"}}),
              "Le nom de « " + a + " » contient un saut de ligne");
    EXPECT_EQ(refused({{dir / "a.png", undo}}), "La liste d'annulation « " + undo.string() +
                                                    " » figure parmi les fichiers à renommer");
    // A pattern whose prefix holds a folder separator would move the file.
    EXPECT_FALSE(plan_renommage({dir / "a.png"}, {"sous/", ".png", 1, 1, 1}).empty());
    refused(plan_renommage({dir / "a.png"}, {"sous/", ".png", 1, 1, 1}));
}

TEST(DiskRenaming, FailedUndoListWriteRestoresTheNames) {
    TempDir dir;
    write_bytes(dir / "a.png", "A");
    write_bytes(dir / "b.png", "B");
    const auto r =
        appliquer_renommage({{dir / "a.png", dir / "b.png"}, {dir / "b.png", dir / "a.png"}},
                            dir / "absent" / "renommage-annuler.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(folder_contents(dir.path()),
              (std::map<std::string, std::string>{{"a.png", "A"}, {"b.png", "B"}}));
}

TEST(DiskRenaming, UndoListsAreChecked) {
    TempDir dir;
    write_bytes(dir / "b.png", "B");
    const std::string bom = "\xEF\xBB\xBF";
    const auto refused = [&](const std::string& bytes) {
        write_bytes(dir / "u.txt", bytes);
        const auto r = annuler_renommage(dir / "u.txt");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(fs::exists(dir / "b.png"));
        EXPECT_TRUE(fs::exists(dir / "u.txt"));
        return r.message;
    };
    const std::string b = (dir / "b.png").string();
    const std::string invalid = "La liste « " + (dir / "u.txt").string() +
                                " » n'est pas une liste d'annulation de renommage";
    EXPECT_EQ(refused(b + "\r\n"), invalid);
    EXPECT_EQ(refused(bom + b + "\r\n"), invalid);
    EXPECT_EQ(refused(bom + "; nom d'origine : a.png\r\n"), invalid);
    EXPECT_EQ(refused(bom + "; nom d'origine : ../a.png\r\n" + b + "\r\n"), invalid);
    EXPECT_EQ(refused(bom + std::string("; nom d'origine : a\0.png\r\n", 26) + b + "\r\n"),
              invalid);
    write_bytes(dir / "a.png", "autre");
    EXPECT_EQ(refused(bom + "; nom d'origine : a.png\r\n" + b + "\r\n"),
              "Le fichier « " + (dir / "a.png").string() + " » existe déjà hors de la liste");
    EXPECT_EQ(annuler_renommage(dir / "absent.txt").message,
              "Impossible de lire la liste d'annulation « " + (dir / "absent.txt").string() + " »");
}

}  // namespace
}  // namespace vellumor::renaming
