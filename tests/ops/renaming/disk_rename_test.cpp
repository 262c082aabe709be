#include "ops/renaming/disk_rename.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <regex>

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
    // Old and new names in the list's folder, the hidden name each file goes through and its
    // identity.
    const std::string list = files["renommage-annuler.txt"];
    const std::regex format(
        "\xEF\xBB\xBF; Annulation d'un renommage : vellumor-cli renommer --annuler FICHIER\r\n"
        "; nom d'origine : a\\.png"
        "\r\n; nom temporaire : \\.vellumor-renommage-[0-9]+-0\\.tmp\r\n; fichier : [0-9]+ "
        "[0-9]+\r\n"
        "b\\.png\r\n; nom d'origine : b\\.png"
        "\r\n; nom temporaire : \\.vellumor-renommage-[0-9]+-1\\.tmp\r\n; fichier : [0-9]+ "
        "[0-9]+\r\n"
        "a\\.png\r\n");
    EXPECT_TRUE(std::regex_match(list, format)) << list;
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

// The undo list brings every file back from any state an interruption can leave, its own runs
// included: any mix of temporary names with new names, or of temporary names with old names.
TEST(DiskRenaming, UndoFromEveryPointOfAnInterruption) {
    // A cycle of three and a shift into a free name.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"a.png", "b.png"}, {"b.png", "c.png"}, {"c.png", "a.png"}, {"d.png", "e.png"}};
    const std::size_t n = names.size();
    for (int other : {0, 1})  // files not at a temporary name are at: 0 new names, 1 old names
        for (unsigned hidden = 0; hidden < (1u << n); ++hidden) {
            TempDir dir;
            std::vector<EntreeAnnulation> entries;
            for (std::size_t i = 0; i < n; ++i) {
                write_bytes(dir / names[i].first, names[i].first);
                struct stat st {};
                ::stat((dir / names[i].first).c_str(), &st);
                entries.push_back({{dir / names[i].first, dir / names[i].second},
                                   ".vellumor-renommage-1-" + std::to_string(i) + ".tmp",
                                   std::uint64_t(st.st_dev),
                                   std::uint64_t(st.st_ino)});
            }
            const auto before = folder_contents(dir.path());
            for (std::size_t i = 0; i < n; ++i)
                fs::rename(dir / names[i].first, dir / entries[i].temporaire);
            for (std::size_t i = 0; i < n; ++i)
                if (!(hidden >> i & 1))
                    fs::rename(dir / entries[i].temporaire,
                               other ? dir / names[i].first : dir / names[i].second);
            write_bytes(dir / "u.txt", contenu_liste_annulation(entries));
            const auto r = annuler_renommage(dir / "u.txt");
            ASSERT_TRUE(r.ok) << r.message << " at " << other << "/" << hidden;
            EXPECT_EQ(folder_contents(dir.path()), before) << other << "/" << hidden;
        }
}

TEST(DiskRenaming, ListsNeverReplaceEachOtherAndAStopUndoesEverything) {
    TempDir dir;
    for (const char* f : {"a.png", "b.png", "c.png"}) write_bytes(dir / f, f);
    write_bytes(dir / "renommage-annuler.txt", "une liste plus ancienne");
    auto r = appliquer_renommage({{dir / "a.png", dir / "x.png"}}, dir / "renommage-annuler.txt");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.liste, dir / "renommage-annuler-2.txt");
    EXPECT_EQ(read_bytes(dir / "renommage-annuler.txt"), "une liste plus ancienne");

    const auto before = folder_contents(dir.path());
    const std::atomic<bool> stop{true};
    r = appliquer_renommage({{dir / "b.png", dir / "c.png"}, {dir / "c.png", dir / "b.png"}},
                            dir / "renommage-annuler.txt", &stop);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.interrompu);
    EXPECT_EQ(r.message, "Renommage interrompu : aucun fichier n'a été renommé");
    EXPECT_EQ(folder_contents(dir.path()), before);

    // Two hard links of one file are one file.
    fs::create_hard_link(dir / "b.png", dir / "lien.png");
    EXPECT_NE(
        appliquer_renommage({{dir / "b.png", dir / "y.png"}, {dir / "lien.png", dir / "z.png"}}, {})
            .message.find("figure deux fois"),
        std::string::npos);
}

TEST(DiskRenaming, RelativePathsOfAnUndoListAreTakenFromItsFolder) {
    TempDir dir;
    fs::create_directory(dir / "pages");
    write_bytes(dir / "pages" / "b.png", "A");
    write_bytes(dir / "pages" / "liste.txt", "\xEF\xBB\xBF; nom d'origine : a.png\r\nb.png\r\n");
    const fs::path here = fs::current_path();
    fs::current_path(dir.path());
    write_bytes(dir / "b.png", "piège");  // what the current folder holds under that name
    const auto r = annuler_renommage("pages/liste.txt");
    fs::current_path(here);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(read_bytes(dir / "pages" / "a.png"), "A");
    EXPECT_EQ(read_bytes(dir / "b.png"), "piège");
}

TEST(DiskRenaming, NamesThatLookLikeCommentsOrBlanksRoundTripThroughTheUndoList) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> noms = {
        {"a.png", "; b.png"}, {"c.png", "  "}, {" d.png", "e.png "}};
    for (const auto& [ancien, nouveau] : noms) write_bytes(dir / ancien, ancien);
    std::vector<Renommage> plan;
    for (const auto& [ancien, nouveau] : noms) plan.push_back({dir / ancien, dir / nouveau});
    const auto before = folder_contents(dir.path());
    const auto r = appliquer_renommage(plan, dir / "renommage-annuler.txt");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(read_bytes(dir / "; b.png"), "a.png");
    const auto back = annuler_renommage(r.liste);
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(folder_contents(dir.path()), before);
}

}  // namespace
}  // namespace vellumor::renaming
