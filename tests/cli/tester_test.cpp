#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace vellumor::tester_renommer_test {

struct Sortie {
    int code = -1;
    std::string texte;  // stdout and stderr together
};

// Runs vellumor-cli with the given arguments (already quoted for the shell) from folder.
Sortie lancer(const std::filesystem::path& folder, const std::string& args) {
    const std::string command =
        "cd '" + folder.string() + "' && '" VELLUMOR_CLI_PATH "' " + args + " 2>&1";
    Sortie out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.texte.append(buffer, n);
    const int status = ::pclose(pipe);
    out.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

namespace {

using test::TempDir;
using test::write_bytes;

TEST(CliTester, WellNumberedPagesReportNothing) {
    TempDir dir;
    for (const char* name : {"p_10.png", "p_2.png", "p_1.png"}) write_bytes(dir / name, "x");
    const Sortie s = lancer(dir.path(), "tester p_10.png p_2.png p_1.png");
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.texte, "");
}

TEST(CliTester, DuplicatesMissingFilesAndDescendingLists) {
    TempDir dir;
    for (const char* name : {"p_1.png", "p_2.png", "q_2.png", "r_2.png", "p_3.png"})
        write_bytes(dir / name, "x");
    const std::string line = "Plusieurs fichiers ont le même numéro : 2\n";
    Sortie s = lancer(dir.path(), "tester p_1.png p_2.png q_2.png r_2.png p_3.png");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte,
              " Résultat du test des noms de fichiers\nCertains fichiers ont le même numéro\nLes "
              "fichiers ayant le même numéro seront indiqués dans le presse-papier\n\n"
              "Presse-papier :\n" +
                  line + line + line);

    s = lancer(dir.path(), "tester p_1.png absent_2.png");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte,
              " Résultat du test des noms de fichiers\nDes fichiers n'existent pas sur le "
              "disque\nLa liste des fichiers manquant sera copiée dans le presse-papier\n\n"
              "Presse-papier :\nFichier manquant : \n" +
                  (dir / "absent_2.png").string() + "\n");

    // A list file keeps its order: 12 before 3 is refused.
    write_bytes(dir / "liste.txt", "\xEF\xBB\xBF" + (dir / "p_12.png").string() + "\r\n" +
                                       (dir / "p_3.png").string() + "\r\n");
    s = lancer(dir.path(), "tester --liste liste.txt");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte,
              " Erreur sur les indices des fichiers\nL'indice mini de numéro du fichier doit être "
              "inférieur\nou égal à l'indice maxi de numéro du fichier\nIndice mini : 12\n"
              "Indice maxi : 3\n");
}

TEST(CliTester, RefusedListsAndUsage) {
    TempDir dir;
    write_bytes(dir / "liste.txt", "/p/a.png\r\n");
    Sortie s = lancer(dir.path(), "tester --liste liste.txt");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte, " Le fichier n'est pas au format UTF8 avec BOM\n");
    s = lancer(dir.path(), "tester");
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.texte, " Aucun fichier sélectionné\n");
    EXPECT_EQ(lancer(dir.path(), "tester --inconnue").code, 2);
    EXPECT_EQ(lancer(dir.path(), "tester --liste liste.txt a.png").code, 2);
    EXPECT_EQ(lancer(dir.path(), "tester --aide").code, 0);
}

}  // namespace
}  // namespace vellumor::tester_renommer_test
