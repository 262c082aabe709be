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

TEST(CliDossier, TesterAndRenommerGivenAFolderAnswerAsGivenItsFiles) {
    TempDir dir;
    std::filesystem::create_directories(dir / "pages12");
    for (const char* name : {"p_1.png", "p_2.png", "q_2.png", "p_4.png", "notes.txt"})
        write_bytes(dir / "pages12" / name, "x");
    const std::string fichiers = "pages12/p_1.png pages12/p_2.png pages12/q_2.png pages12/p_4.png";
    for (const std::string commande : {"tester", "renommer --premier 3", "renommer --pas 2"}) {
        const Sortie dossier = lancer(dir.path(), commande + " pages12");
        const Sortie un_par_un = lancer(dir.path(), commande + " " + fichiers);
        EXPECT_EQ(dossier.code, un_par_un.code) << commande;
        EXPECT_EQ(dossier.texte, un_par_un.texte) << commande;
        EXPECT_EQ(dossier.texte.find("notes.txt"), std::string::npos) << dossier.texte;
    }
    EXPECT_EQ(lancer(dir.path(), "tester pages12").code, 1);  // two files numbered 2
    EXPECT_NE(lancer(dir.path(), "renommer pages12").texte.find("p_4.png -> p_4.png\n"),
              std::string::npos);
}

TEST(CliAide, EveryCommandListsItsOptionsAndTheExitStatusesInOneLayout) {
    TempDir dir;
    for (const char* commande : {"nettoyer", "detourer", "coloriser", "net-det-col", "numeroter",
                                 "reconstituer", "tester", "renommer", "pdf"}) {
        const Sortie s = lancer(dir.path(), std::string(commande) + " --aide");
        EXPECT_EQ(s.code, 0) << commande;
        EXPECT_TRUE(s.texte.starts_with(std::string("Utilisation : vellumor-cli ") + commande))
            << s.texte;
        EXPECT_NE(s.texte.find("\nOptions :\n"), std::string::npos) << commande;
        EXPECT_NE(s.texte.find("  --aide, --help, -h "), std::string::npos) << commande;
        EXPECT_NE(s.texte.find("\nCodes de sortie :\n  0  "), std::string::npos) << commande;
        EXPECT_NE(s.texte.find("\n  1  "), std::string::npos) << commande;
        EXPECT_TRUE(
            s.texte.ends_with("\n  2  erreur d'utilisation (option inconnue ou refusée, "
                              "aucun fichier)\n"))
            << commande;
        const Sortie inconnue = lancer(dir.path(), std::string(commande) + " --inconnue");
        EXPECT_EQ(inconnue.code, 2) << commande;
        EXPECT_EQ(inconnue.texte, std::string("Option inconnue : --inconnue\n« vellumor-cli ") +
                                      commande + " --aide » décrit les options.\n");
    }
}

}  // namespace
}  // namespace vellumor::tester_renommer_test
