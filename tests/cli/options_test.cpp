#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/page_run.h"
#include "support/temp_dir.h"

namespace vellumor::cli {
namespace {

struct Banc {
    bool drapeau = false;
    std::optional<std::int64_t> entier, libre;
    std::optional<std::string> texte;
    int choix = 0;
    TableOptions table;
    Banc() {
        table.drapeau({"--drapeau", "-d"}, "un drapeau", drapeau)
            .entier({"--entier"}, "MM", "un entier", {-10, 10, "millimètres"}, entier, 0)
            .entier({"--libre"}, "N", "jugé ailleurs", {5, 6, ""}, libre, std::nullopt, false)
            .texte({"--texte"}, "T", "un texte\nsur deux lignes", texte)
            .choix<int>({"--choix"}, "C", "un choix", {{"un", 1}, {"deux", 2}, {"trois", 3}},
                        "Choix inconnu", choix);
    }
};

TEST(TableOptions, ReadsOptionsOperandsAndRefusesWithAReason) {
    struct Cas {
        std::vector<std::string> args;
        std::string erreur;
    } cas[] = {
        {{"a", "--entier", "-10", "-d", "--", "--texte", "-"}, ""},
        {{"--entier", "+7", "--libre", "99", "--choix", "deux", "--texte", ""}, ""},
        {{"--entier", "11"},
         "L'option --entier attend un nombre entier de millimètres de -10 à 10 : « 11 »"},
        {{"--entier", "3mm"}, "L'option --entier attend un nombre entier de millimètres"},
        {{"--entier", "++3"}, "L'option --entier attend"},
        {{"--libre", "x"}, "L'option --libre attend un nombre entier de 5 à 6 : « x »"},
        {{"--entier", "1", "--entier", "2"}, "L'option --entier n'est acceptée qu'une fois"},
        {{"--texte"}, "L'option --texte attend une valeur"},
        {{"--choix", "quatre"}, "Choix inconnu : « quatre » (un, deux ou trois)"},
        {{"-x"}, "Option inconnue : -x"},
    };
    for (const Cas& c : cas) {
        Banc b;
        const Arguments a = analyser(c.args, b.table);
        EXPECT_EQ(a.erreur.substr(0, c.erreur.size()), c.erreur) << c.args[0];
        if (!c.erreur.empty()) {
            EXPECT_FALSE(a.erreur.empty());
        }
    }
    Banc b;
    Arguments a = analyser({"a", "--entier", "-10", "-d", "--", "--texte", "-"}, b.table);
    EXPECT_EQ(a.operandes, (std::vector<std::string>{"a", "--texte", "-"}));
    EXPECT_TRUE(b.drapeau);
    EXPECT_EQ(b.entier, -10);
    EXPECT_FALSE(b.texte);
    Banc c;
    a = analyser({"--libre", "99", "--choix", "trois", "-h"}, c.table);
    EXPECT_TRUE(a.aide);
    EXPECT_EQ(c.libre, 99);  // verified by the operation, not by the table
    EXPECT_EQ(c.choix, 3);
}

TEST(TableOptions, HelpListsEveryOptionAlignedWithRangesThenTheExitStatuses) {
    Banc b;
    const DescriptionCommande d{
        "essai", "[OPTIONS] FICHIER...", "Fait un essai.", "Remarque.", "réussi", "raté"};
    EXPECT_EQ(texte_aide(d, b.table),
              "Utilisation : vellumor-cli essai [OPTIONS] FICHIER...\n\n"
              "Fait un essai.\n\n"
              "Options :\n"
              "  --drapeau, -d         un drapeau\n"
              "  --entier MM           un entier (-10 à 10, 0 par défaut)\n"
              "  --libre N             jugé ailleurs (5 à 6)\n"
              "  --texte T             un texte\n"
              "                        sur deux lignes\n"
              "  --choix C             un choix\n"
              "  --aide, --help, -h    affiche cette aide\n\n"
              "Remarque.\n\n"
              "Codes de sortie :\n"
              "  0  réussi\n"
              "  1  raté\n"
              "  2  erreur d'utilisation (option inconnue ou refusée, aucun fichier)\n");
}

TEST(DevelopperDossiers, AFolderGivesItsPngFilesSortedOtherPathsStay) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "pages" / "sous.png");
    for (const char* f : {"p_2.png", "p_10.PNG", "notes.txt", "p_1.png"})
        test::write_bytes(dir / "pages" / f, "x");
    const auto r =
        developper_dossiers({dir / "absent_3.png", dir / "pages", dir / "pages" / "sous.png"});
    EXPECT_EQ(r, (std::vector<std::filesystem::path>{
                     dir / "absent_3.png", dir / "pages" / "p_1.png", dir / "pages" / "p_10.PNG",
                     dir / "pages" / "p_2.png", dir / "pages" / "sous.png"}));
}

TEST(TexteInterruption, CountsWhatWasProcessed) {
    EXPECT_EQ(texte_interruption(0, 12), "Traitement interrompu : 0 fichier traité sur 12");
    EXPECT_EQ(texte_interruption(1, 1), "Traitement interrompu : 1 fichier traité sur 1");
    EXPECT_EQ(texte_interruption(7, 60), "Traitement interrompu : 7 fichiers traités sur 60");
}

}  // namespace
}  // namespace vellumor::cli
