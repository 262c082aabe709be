#include "imagelist/number_test.h"

#include <gtest/gtest.h>

#include <set>

#include "common/message_text.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

ListeImages liste(std::initializer_list<const char*> paths) {
    ListeImages list;
    for (const char* p : paths) list.push_back(entree_pour(p));
    return list;
}

auto tous_presents = [](const std::filesystem::path&) { return true; };

TEST(FileNumberTest, EmptyListWarnsAndLeavesTheClipboard) {
    const auto r = tester_numeros({}, tous_presents);
    EXPECT_EQ(r.message, (Message{Message::Kind::BoiteMessage, " Aucun fichier sélectionné", "", "",
                                  kIconeAvertissement}));
    EXPECT_FALSE(r.presse_papier);
    EXPECT_FALSE(premier_numero({}));
    EXPECT_FALSE(dernier_numero({}));
}

TEST(FileNumberTest, DescendingNumbersStopBeforeAnyOtherCheck) {
    // Duplicates and missing files behind the bad bounds are not looked at.
    const auto r =
        tester_numeros(liste({"/p/page_12.png", "/p/x_5.png", "/p/y_5.png", "/p/p_3.png"}),
                       [](const std::filesystem::path&) { return false; });
    ASSERT_TRUE(r.message);
    EXPECT_EQ(*r.message,
              (Message{Message::Kind::BoiteMessage, " Erreur sur les indices des fichiers",
                       "L'indice mini de numéro du fichier doit être inférieur\rou égal à "
                       "l'indice maxi de numéro du fichier\nIndice mini : 12\rIndice maxi : 3",
                       "", kIconeErreur}));
    EXPECT_FALSE(r.presse_papier);
    // Negative numbers are compared as signed values.
    const std::string text =
        tester_numeros(liste({"/p/a-2.png", "/p/b-7.png"}), tous_presents).message->texte;
    EXPECT_TRUE(text.ends_with("\nIndice mini : -2\rIndice maxi : -7")) << text;
}

TEST(FileNumberTest, DuplicatesGiveOneLinePerPairAndHideMissingFiles) {
    int checks = 0;
    const auto r =
        tester_numeros(liste({"/p/a1.png", "/p/a2.png", "/p/b2.png", "/p/c2.png", "/p/a3.png"}),
                       [&](const std::filesystem::path&) { return ++checks, false; });
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(r.message,
              (Message{Message::Kind::BoiteMessage, " Résultat du test des noms de fichiers",
                       "\nCertains fichiers ont le même numéro\rLes fichiers ayant le même numéro "
                       "seront indiqués dans le presse-papier",
                       "", kIconeErreur}));
    const std::string line = "Plusieurs fichiers ont le même numéro : 2";
    EXPECT_EQ(r.presse_papier, line + "\r\n" + line + "\r\n" + line);

    // Pairs are named in list order of their first file: 5 (x2), then 4, then 5 again.
    EXPECT_EQ(tester_numeros(liste({"/a5", "/b4", "/c5", "/d4", "/e5", "/f6"}), tous_presents)
                  .presse_papier,
              "Plusieurs fichiers ont le même numéro : 5\r\n"
              "Plusieurs fichiers ont le même numéro : 5\r\n"
              "Plusieurs fichiers ont le même numéro : 4\r\n"
              "Plusieurs fichiers ont le même numéro : 5");
}

TEST(FileNumberTest, MissingFilesOnTheDisk) {
    test::TempDir dir;
    test::write_bytes(dir / "p_1.png", "x");
    test::write_bytes(dir / "p_3.png", "x");
    std::filesystem::create_directory(dir / "p_4.png");
    const std::string missing = (dir / "p_2.png").string();
    const std::string folder = (dir / "p_4.png").string();
    ListeImages list = {entree_pour(dir / "p_1.png"), entree_pour(missing),
                        entree_pour(dir / "p_3.png")};

    auto r = tester_numeros(list, fichier_existe);
    EXPECT_EQ(r.message,
              (Message{Message::Kind::Simple, "",
                       "\nDes fichiers n'existent pas sur le disque\rLa liste des fichiers "
                       "manquant sera copiée dans le presse-papier",
                       " Résultat du test des noms de fichiers", kIconeAvertissement}));
    EXPECT_EQ(r.presse_papier, "Fichier manquant : \r\n" + missing);

    list.push_back(entree_pour(folder));
    r = tester_numeros(list, fichier_existe);
    EXPECT_EQ(r.presse_papier, "Fichiers manquant : \r\n" + missing + "\r\n" + folder);

    // A complete list: no message, and the clipboard is emptied.
    list.erase(list.begin() + 1);
    list.pop_back();
    r = tester_numeros(list, fichier_existe);
    EXPECT_FALSE(r.message);
    EXPECT_EQ(r.presse_papier, "");
}

TEST(MessageText, TerminalLayout) {
    EXPECT_EQ(message_en_texte({Message::Kind::BoiteMessage, " Erreur", "a\rb\nc\r\nd", "", 0}),
              " Erreur\na\nb\nc\nd\n");
    EXPECT_EQ(message_en_texte({Message::Kind::Simple, "", "\n\nTexte\r", "Titre", 0}),
              "Titre\nTexte\n");
    EXPECT_EQ(message_en_texte({}), "");
}

}  // namespace
}  // namespace vellumor
