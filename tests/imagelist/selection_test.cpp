#include "imagelist/selection.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace vellumor::test {
namespace {

void toucher(const std::filesystem::path& f) {
    std::filesystem::create_directories(f.parent_path());
    std::ofstream(f) << "x";
}

TEST(PagesDeposees, FilesStandForThemselvesFoldersForTheirPngFiles) {
    TempDir d;
    for (const char* f : {"a/p_7.png", "a/p_3.PNG", "a/notes.txt", "a/sous/p_1.png", "p_5.png",
                          "p_2.png", "lisez.txt"})
        toucher(d / f);
    std::filesystem::create_directories(d / "a/dossier.png");
    const auto pages =
        pages_deposees({d / "p_5.png", d / "a", d / "lisez.txt", d / "absent.png", d / "p_2.png"});
    EXPECT_EQ(pages, (std::vector<std::filesystem::path>{d / "p_5.png", d / "a/p_3.PNG",
                                                         d / "a/p_7.png", d / "p_2.png"}));

    // Dropped on a list that holds page 4 and page 5 already: page 5 is not listed twice.
    const ListeImages liste =
        liste_completee(liste_selectionnee({d / "p_5.png", d / "q_4.png"}), pages);
    std::vector<std::filesystem::path> chemins;
    for (const auto& e : liste) chemins.push_back(e.Fichier);
    EXPECT_EQ(chemins,
              (std::vector<std::filesystem::path>{d / "p_2.png", d / "a/p_3.PNG", d / "q_4.png",
                                                  d / "p_5.png", d / "a/p_7.png"}));
}

}  // namespace
}  // namespace vellumor::test
