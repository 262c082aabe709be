#include "cli/page_options.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "cli/terminal_progress.h"
#include "imagelist/list_file.h"
#include "support/temp_dir.h"

namespace vellumor::cli {
namespace {

TEST(AnalyseOptions, MaskFromNumberOrPatternListKeptToSevenBits) {
    EXPECT_EQ(analyser_options({"a.png"}, true).options.masque, 1u);
    EXPECT_EQ(analyser_options({"--masque", "127", "a.png"}, true).options.masque, 127u);
    EXPECT_EQ(analyser_options({"--masque", "200"}, true).options.masque, 200u & 0x7F);
    EXPECT_EQ(analyser_options({"--masque", "0"}, true).options.masque, 0u);
    EXPECT_EQ(analyser_options({"--motifs", "1,2,7"}, true).options.masque, 1u | 2u | 64u);
    EXPECT_EQ(analyser_options({"--motifs", "4"}, true).options.masque, 8u);
    for (const char* faux : {"0", "8", "1,,2", "1,", "x", "-1", ""})
        EXPECT_FALSE(analyser_options({"--motifs", faux}, true).erreur.empty()) << faux;
    for (const char* faux : {"-3", "12a", "", "0x10"})
        EXPECT_FALSE(analyser_options({"--masque", faux}, true).erreur.empty()) << faux;
    EXPECT_FALSE(analyser_options({"--masque", "1", "--motifs", "2"}, true).erreur.empty());
    EXPECT_FALSE(analyser_options({"--masque"}, true).erreur.empty());
    // Commands without a mask refuse the options.
    EXPECT_FALSE(analyser_options({"--masque", "3"}, false).erreur.empty());
}

// Help text and exit status of vellumor-cli with these arguments.
std::pair<std::string, int> aide_et_statut(const std::string& args) {
    const std::string command = "'" VELLUMOR_CLI_PATH "' " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pipe ? ::pclose(pipe) : -1;
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Only the commands that replace their pages keep originals, and offer to keep none.
TEST(AnalyseOptions, WithoutOriginalsOnlyWhereThePagesAreReplaced) {
    const struct {
        const char* commande;
        bool offerte;
    } cas[] = {{"nettoyer", true},   {"detourer", true},   {"reconstituer", true},
               {"coloriser", false}, {"numeroter", false}, {"pdf", false}};
    for (const auto& c : cas) {
        const std::string commande = c.commande;
        EXPECT_EQ(aide_et_statut(commande + " --aide").first.find("--sans-originaux") !=
                      std::string::npos,
                  c.offerte)
            << commande;
        if (!c.offerte) {
            EXPECT_EQ(aide_et_statut(commande + " --sans-originaux /nulle/part.png").second, 2)
                << commande;
        }
    }
}

TEST(AnalyseOptions, FilesFlagsAndEndOfOptions) {
    const AnalyseOptions a =
        analyser_options({"p2.png", "--silencieux", "--liste", "l.txt", "--", "--p1.png"}, false);
    EXPECT_TRUE(a.erreur.empty());
    EXPECT_TRUE(a.options.silencieux);
    EXPECT_EQ(a.options.liste, std::filesystem::path("l.txt"));
    EXPECT_EQ(a.options.fichiers, (std::vector<std::filesystem::path>{"p2.png", "--p1.png"}));
    EXPECT_TRUE(analyser_options({"--aide"}, false).options.aide);
    EXPECT_TRUE(analyser_options({"--help"}, true).options.aide);
    EXPECT_EQ(analyser_options({"--inconnue"}, false).erreur, "Option inconnue : --inconnue");
    EXPECT_FALSE(analyser_options({"--liste", "a", "--liste", "b"}, false).erreur.empty());
}

TEST(ConstruireListe, ListFileFirstInItsOrderThenArgumentsByTrailingNumber) {
    test::TempDir dir;
    test::write_bytes(dir / "l.txt", "\xEF\xBB\xBF; pages\r\n" + (dir / "z_9.png").string() +
                                         "\r\n  " + (dir / "z_3.png").string() + "  \r\n\r\n");
    OptionsPages o;
    o.liste = dir / "l.txt";
    o.fichiers = {dir / "p10.png", dir / "p2.png", dir / "p1.png"};
    const ListeOuErreur l = construire_liste(o);
    ASSERT_TRUE(l.erreur.empty()) << l.erreur;
    ASSERT_EQ(l.liste.size(), 5u);
    EXPECT_EQ(l.liste[0].Fichier, dir / "z_9.png");
    EXPECT_EQ(l.liste[1].Fichier, dir / "z_3.png");
    EXPECT_EQ(l.liste[2].Fichier, dir / "p1.png");
    EXPECT_EQ(l.liste[3].Fichier, dir / "p2.png");
    EXPECT_EQ(l.liste[4].Fichier, dir / "p10.png");
    EXPECT_EQ(l.liste[4].Numero, 10);
}

TEST(ConstruireListe, AListSavedByTheWindowIsReadBack) {
    test::TempDir dir;
    const std::vector<std::filesystem::path> pages = {dir / "z_9.png", dir / "é_2.png"};
    enregistrer_fichier_liste((dir / "l.txt").string(), pages);
    OptionsPages o;
    o.liste = dir / "l.txt";
    const ListeOuErreur l = construire_liste(o);
    ASSERT_TRUE(l.erreur.empty()) << l.erreur;
    ASSERT_EQ(l.liste.size(), 2u);
    EXPECT_EQ(l.liste[0].Fichier, pages[0]);
    EXPECT_EQ(l.liste[1].Fichier, pages[1]);
    EXPECT_EQ(l.liste[1].Numero, 2);
}

TEST(ConstruireListe, FolderStandsForItsPngFilesInPageOrder) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "pages");
    for (const char* n : {"s_10.png", "s_9.PNG", "notes.txt", "s_3.png.tmp", "s_1.png"})
        test::write_bytes(dir / "pages" / n, "x");
    std::filesystem::create_directory(dir / "pages" / "sous_2.png");
    OptionsPages o;
    o.fichiers = {dir / "pages", dir / "s_4.png"};
    const ListeOuErreur l = construire_liste(o);
    ASSERT_TRUE(l.erreur.empty()) << l.erreur;
    std::vector<std::string> noms;
    for (const EntreeImage& e : l.liste) noms.push_back(e.Fichier.filename().string());
    EXPECT_EQ(noms, (std::vector<std::string>{"s_1.png", "s_4.png", "s_9.PNG", "s_10.png"}));
}

TEST(ConstruireListe, RefusalsAreFrenchAndRelativePathsBecomeAbsolute) {
    test::TempDir dir;
    test::write_bytes(dir / "sans_bom.txt", "/a/p1.png\n");
    OptionsPages o;
    o.liste = dir / "sans_bom.txt";
    EXPECT_NE(construire_liste(o).erreur.find("UTF8 avec BOM"), std::string::npos);

    test::write_bytes(dir / "doublon.txt", "\xEF\xBB\xBF/a/p1.png\n/A/P1.PNG\n");
    o.liste = dir / "doublon.txt";
    EXPECT_NE(construire_liste(o).erreur.find("1 doublon détecté"), std::string::npos);

    OptionsPages deux;
    deux.fichiers = {dir / "p1.png", dir / "." / "p1.png"};
    EXPECT_NE(construire_liste(deux).erreur.find("plusieurs fois"), std::string::npos);

    EXPECT_EQ(construire_liste(OptionsPages{}).erreur, "Aucun fichier à traiter");

    OptionsPages relatif;
    relatif.fichiers = {"page_4.png"};
    const ListeOuErreur l = construire_liste(relatif);
    ASSERT_EQ(l.liste.size(), 1u);
    EXPECT_TRUE(l.liste[0].Fichier.is_absolute());
    EXPECT_EQ(l.liste[0].Fichier.filename(), "page_4.png");
}

TEST(ProgressionTerminal, TimeLeftAndOneLineMessages) {
    EXPECT_EQ(texte_temps_restant(41.6), "reste 42 s");
    EXPECT_EQ(texte_temps_restant(185), "reste 3 min 05 s");
    EXPECT_EQ(texte_temps_restant(3720), "reste 1 h 02 min");
    EXPECT_EQ(texte_temps_restant(-5), "reste 0 s");
    Message m;
    m.titre = "Erreur";
    m.instruction = " Le fichier n'est pas au format UTF8 avec BOM";
    m.texte = "ligne 1\r\nligne 2";
    EXPECT_EQ(message_sur_une_ligne(m),
              "Erreur : Le fichier n'est pas au format UTF8 avec BOM : ligne 1  ligne 2");
}

TEST(ProgressionTerminal, ControlCharactersOfNamesAreEscaped) {
    const struct {
        std::string brut, affiche;
    } cases[] = {
        {"page_1.png", "page_1.png"},
        {"é\x1b[2Jx", "é\\x1B[2Jx"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x7f\xc2\x9b"
         "31m",
         "\\x7F\\xC2\\x9B31m"},
        {"C:\\x1B", "C:\\\\x1B"},
    };
    for (const auto& c : cases) EXPECT_EQ(texte_affichable(c.brut), c.affiche) << c.affiche;
    EXPECT_EQ(message_sur_une_ligne({Message::Kind::Simple, "", "a\r\nb\tc", "T", 0}),
              "T : a  b\\x09c");
}

TEST(ProgressionTerminal, FailureLinesOnErrUnwrittenOnOutHeaderKept) {
    test::TempDir dir;
    std::FILE* out = std::fopen((dir / "out").c_str(), "w");
    std::FILE* err = std::fopen((dir / "err").c_str(), "w");
    {
        ProgressionTerminal p(out, err, 3, false, false);
        p.fichier_commence("/d/p1.png");
        p.fichier_fini("/d/p1.png", IssueFichier::Echec, "Fichier PNG endommagé");
        p.fichier_fini("/d/p2.png", IssueFichier::NonEcrit, "page blanche");
        p.fichier_fini("/d/p3.png", IssueFichier::Ecrit, "");
        p.texte_entete(" 3 fichiers (Fichiers traités : 2/3)");
        EXPECT_EQ(p.echecs(), 1);
        EXPECT_EQ(p.dernier_entete(), " 3 fichiers (Fichiers traités : 2/3)");
        ProgressionTerminal muet(out, err, 1, true, true);
        muet.fichier_fini("/d/p4.png", IssueFichier::NonEcrit, "page blanche");
        muet.fichier_fini("/d/p5.png", IssueFichier::Echec, "illisible");
    }
    std::fclose(out);
    std::fclose(err);
    // Without a terminal no bar is drawn; silent mode keeps only the failures.
    EXPECT_EQ(test::read_bytes(dir / "err"),
              "Échec : /d/p1.png : Fichier PNG endommagé\nÉchec : /d/p5.png : illisible\n");
    EXPECT_EQ(test::read_bytes(dir / "out"), "Non écrit : /d/p2.png : page blanche\n");
}

}  // namespace
}  // namespace vellumor::cli
