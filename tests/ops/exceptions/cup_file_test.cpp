#include "ops/exceptions/cup_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vellumor::exceptions {
namespace {

using test::read_bytes;
using test::TempDir;
using test::write_bytes;

const std::string kMm = "Page;Marge supérieure;Marge intérieure; Données en millimètres\r\n";
const std::string kPx = "Page;Marge supérieure;Marge intérieure; Données en pixels\r\n";

const Message kErreur1{Message::Kind::BoiteMessage, " Erreur 1 - sur le fichier de page",
                       "la 1ère ligne du fichier n'est pas au format correct\rLa lecture est est "
                       "impossible \n \r ",
                       "", kIconeErreur};

Message erreur2() {
    Message m = kErreur1;
    m.instruction = " Erreur 2 - sur le fichier de page";
    return m;
}

TEST(CupReader, HeaderCaseAndBlanksAreForgivenFieldsAreNot) {
    auto r = analyser_contenu_cup(
        "PAGE ; Marge Supérieure;marge intérieure;Données en pixels\n12;15;-3\n");
    ASSERT_FALSE(r.erreur);
    EXPECT_EQ(r.unite, "pixels");
    ASSERT_EQ(r.lignes.size(), 1u);
    EXPECT_EQ(r.lignes[0].cle, "12");
    EXPECT_EQ(r.lignes[0].exception, (PageException{12, -3, 15}));
    // Capitals with accents are lowered too.
    EXPECT_FALSE(analyser_contenu_cup("page;MARGE SUPÉRIEURE;MARGE INTÉRIEURE;DONNÉES EN "
                                      "MILLIMÈTRES")
                     .erreur);

    EXPECT_EQ(
        analyser_contenu_cup("Page;Marge supérieure;Marge intérieure;Données en pixels;x\n").erreur,
        kErreur1);
    EXPECT_EQ(analyser_contenu_cup("").erreur, kErreur1);
    EXPECT_EQ(analyser_contenu_cup("\r\n" + kPx).erreur, kErreur1);
    EXPECT_EQ(
        analyser_contenu_cup("Marge supérieure;Page;Marge intérieure; Données en pixels\n").erreur,
        erreur2());
    EXPECT_EQ(
        analyser_contenu_cup("Page;Marge supérieure;Marge intérieure; Données en pouces\n").erreur,
        erreur2());
    // A byte-order mark stays in front of "page".
    EXPECT_EQ(analyser_contenu_cup("\xEF\xBB\xBF" + kMm + "1;2;3\r\n").erreur, erreur2());
}

TEST(CupReader, ReadingStopsAtTheFirstLineWithoutExactlyTwoSemicolons) {
    auto r = analyser_contenu_cup(kMm + "1;2;3\r\n5;abc;-2\r4;4;4\n\r\n9;9;9\r\n");
    ASSERT_FALSE(r.erreur);
    EXPECT_EQ(r.unite, "millimètres");
    ASSERT_EQ(r.lignes.size(), 3u);
    EXPECT_EQ(r.lignes[1].exception, (PageException{5, -2, 0}));
    EXPECT_EQ(r.lignes[2].exception, (PageException{4, 4, 4}));

    r = analyser_contenu_cup(kMm + "1;2;3\r\n2;3;4;5\r\n3;3;3\r\n");
    EXPECT_EQ(r.lignes.size(), 1u);
    r = analyser_contenu_cup(kMm + "1;2;3");
    EXPECT_EQ(r.lignes.size(), 1u);
}

TEST(CupReader, HostileBytesAreReadSafely) {
    const std::string nul("7\0;1;2\r\n", 8);
    auto r = analyser_contenu_cup(kPx + nul + "\xFF\xFE;\xC3;9\r\n" + std::string(2 << 20, ';'));
    ASSERT_FALSE(r.erreur);
    ASSERT_EQ(r.lignes.size(), 2u);
    EXPECT_EQ(r.lignes[0].cle, std::string("7\0", 2));
    EXPECT_EQ(r.lignes[0].exception, (PageException{7, 2, 1}));
    EXPECT_EQ(r.lignes[1].exception, (PageException{0, 9, 0}));
    const std::string long_line = "3;" + std::string(1 << 20, '4') + ";5";
    r = analyser_contenu_cup(kPx + long_line);
    ASSERT_EQ(r.lignes.size(), 1u);
    EXPECT_EQ(r.lignes[0].exception, (PageException{3, 5, INT64_MAX}));
    EXPECT_EQ(analyser_contenu_cup(std::string(3 << 20, 'x')).erreur, kErreur1);
}

TEST(CupReader, AFileWithALineOverTheBoundIsRefusedUpToItIsRead) {
    TempDir dir;
    const struct {
        std::string contenu;
        std::size_t lignes;  // read; refused when none
    } cas[] = {
        {kPx + "1;2;3\r\n" + std::string(4092, '4') + ";5;6\r\n", 2},
        {kPx + "1;2;3\r\n" + std::string(4093, '4') + ";5;6\r\n7;7;7", 0},
        {kPx + std::string(50 << 20, '9'), 0},
    };
    for (const auto& c : cas) {
        write_bytes(dir / "pages.cup", c.contenu);
        const LectureCup r = lire_fichier_cup(dir / "pages.cup");
        EXPECT_EQ(r.lignes.size(), c.lignes);
        EXPECT_EQ(r.erreur.has_value(), c.lignes == 0);
        if (r.erreur) {
            EXPECT_NE(r.erreur->texte.find("ligne trop longue (ligne"), std::string::npos);
        }
    }
}

TEST(CupLoading, TableEmptiedFirstThenLinesOverwriteByKey) {
    TempDir dir;
    write_bytes(dir / "a.cup", kPx + "7;1;1\r\n007;2;2\r\n7;3;4\r\n");
    PageExceptionTable table;
    table.definir("99", {99, 0, 0});
    int asked = 0;
    auto oui = [&](const Message&) { return ++asked, true; };

    auto r = charger_fichier_cup(dir / "a.cup", "pixels", oui, table);
    EXPECT_TRUE(r.charge);
    EXPECT_FALSE(r.basculer_unite);
    EXPECT_FALSE(r.message);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(*table.trouver("7"), (PageException{7, 4, 3}));
    EXPECT_EQ(*table.trouver("007"), (PageException{7, 2, 2}));

    // A refused header leaves the table empty.
    write_bytes(dir / "b.cup", "Page;Marge;x\r\n1;1;1\r\n");
    r = charger_fichier_cup(dir / "b.cup", "pixels", oui, table);
    EXPECT_FALSE(r.charge);
    EXPECT_EQ(r.message, kErreur1);
    EXPECT_TRUE(table.empty());

    // A missing file, or an unreadable one, leaves it as it was.
    table.definir("1", {1, 1, 1});
    r = charger_fichier_cup(dir / "absent.cup", "pixels", oui, table);
    EXPECT_FALSE(r.charge);
    EXPECT_FALSE(r.message);
    r = charger_fichier_cup(dir.path(), "pixels", oui, table);
    EXPECT_EQ(r.message, (Message{Message::Kind::BoiteMessage, "Aucun fichier chargé",
                                  "Impossible de lire le fichier\rErreur système\r ",
                                  "Charger les pages d'exception", kIconeAvertissement}));
    EXPECT_EQ(table.size(), 1u);
}

TEST(CupLoading, UnitQuestion) {
    TempDir dir;
    write_bytes(dir / "mm.cup", kMm + "3;4;5\r\n");
    write_bytes(dir / "px.cup", kPx + "3;4;5\r\n");
    PageExceptionTable table;
    std::vector<Message> asked;
    auto non = [&](const Message& m) { return asked.push_back(m), false; };
    auto oui = [&](const Message& m) { return asked.push_back(m), true; };

    table.definir("1", {1, 1, 1});
    auto r = charger_fichier_cup(dir / "mm.cup", "pixels", non, table);
    EXPECT_FALSE(r.charge);
    EXPECT_FALSE(r.message);
    EXPECT_TRUE(table.empty());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], (Message{Message::Kind::Simple, "",
                                 "Les données utilisées sont en pixels\rCelles du fichier à "
                                 "charger sont en millimètres\rModifier la sélection en "
                                 "millimètres ?",
                                 "Unités différentes!", kIconeAvertissement | kBoutonsOuiNon}));

    r = charger_fichier_cup(dir / "px.cup", "millimètres", oui, table);
    EXPECT_TRUE(r.charge);
    EXPECT_TRUE(r.basculer_unite);
    EXPECT_EQ(asked[1].texte,
              "Les données utilisées sont en millimètres\rCelles du fichier à charger sont en "
              "pixels\rModifier la sélection en pixels ?");
    // The values are never converted.
    EXPECT_EQ(*table.trouver("3"), (PageException{3, 5, 4}));
    EXPECT_FALSE(question_unites("pixels", "pixels"));
}

TEST(CupSaving, NamesAlwaysGoIntoTheSettingsFolder) {
    const std::filesystem::path d = "/prefs/Vellumor";
    EXPECT_EQ(nom_fichier_cup(d, "/ailleurs/pages.txt"), d / "pages.cup");
    EXPECT_EQ(nom_fichier_cup(d, "/ailleurs/pages"), d / "pages.cup");
    EXPECT_EQ(nom_fichier_cup(d, "pages.CUP"), d / "pages.CUP");
    EXPECT_EQ(nom_fichier_cup(d, "C:\\x\\pages.Cup"), d / "pages.Cup");
    EXPECT_EQ(nom_fichier_cup(d, "a.b.docx"), d / "a.b.cup");
    EXPECT_EQ(nom_fichier_cup(d, "pages."), d / "pages.cup");
    EXPECT_FALSE(nom_fichier_cup(d, "/ailleurs/"));
}

TEST(CupSaving, RoundTripAndItsMessages) {
    TempDir dir;
    PageExceptionTable table;
    table.definir("12", {12, -3, 15});
    table.definir("2", {2, 0, 7});
    table.definir("-1", {-1, 4, -4});
    const PageExceptionList list = reconstruire_liste(table);
    auto jamais = [](const Message&) -> bool { throw std::logic_error("no question expected"); };

    auto m = enregistrer_fichier_cup(dir.path(), "/tmp/pages.txt", list, "millimètres", jamais);
    const std::string path = (dir / "pages.cup").string();
    EXPECT_EQ(m, (Message{Message::Kind::BoiteMessage, "Fichier enregistré",
                          "Le fichier \r" + path + "\r a été enregistré avec succès",
                          "Enregistrer les pages d'exception", kIconeInformation}));
    EXPECT_EQ(read_bytes(path), kMm + "-1;-4;4\r\n2;7;0\r\n12;15;-3\r\n");

    PageExceptionTable back;
    auto r = charger_fichier_cup(path, "millimètres", jamais, back);
    ASSERT_TRUE(r.charge);
    EXPECT_EQ(reconstruire_liste(back), list);

    // An existing file is replaced only on Yes.
    int questions = 0;
    auto non = [&](const Message& q) {
        EXPECT_EQ(q, (Message{Message::Kind::Simple, "", "Le fichier existe déjà\rL'écraser ?",
                              "Information", kIconeAvertissement | kBoutonsOuiNon}));
        return ++questions, false;
    };
    EXPECT_FALSE(enregistrer_fichier_cup(dir.path(), "pages", {{1, 1, 1}}, "pixels", non));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(read_bytes(path), kMm + "-1;-4;4\r\n2;7;0\r\n12;15;-3\r\n");
    auto oui = [](const Message&) { return true; };
    EXPECT_EQ(enregistrer_fichier_cup(dir.path(), "pages", {{1, 1, 1}}, "pixels", oui)->instruction,
              "Fichier enregistré");
    EXPECT_EQ(read_bytes(path), kPx + "1;1;1\r\n");
}

TEST(CupSaving, Refusals) {
    TempDir dir;
    auto oui = [](const Message&) { return true; };
    const Message dossier{Message::Kind::BoiteMessage, " Erreur sur le dossier de sauvegarde",
                          "Impossible de trouver le dossier de sauvegarde\r La variable n'est pas "
                          "initialisée !\n \r ",
                          "", kIconeErreur};
    EXPECT_EQ(verifier_dossier_sauvegarde(""), dossier);
    EXPECT_EQ(verifier_dossier_sauvegarde(dir / "absent"), dossier);
    EXPECT_FALSE(verifier_dossier_sauvegarde(dir.path()));
    EXPECT_EQ(enregistrer_fichier_cup(dir / "absent", "p", {{1, 1, 1}}, "pixels", oui), dossier);

    auto warning = [](const std::string& text) {
        return Message{Message::Kind::BoiteMessage, "Aucun fichier enregistré", text,
                       "Enregistrer les pages d'exception", kIconeAvertissement};
    };
    EXPECT_EQ(enregistrer_fichier_cup(dir.path(), "p", {}, "pixels", oui),
              warning("La liste des pages est vide\r \r "));
    EXPECT_EQ(enregistrer_fichier_cup(dir.path(), "", {{1, 1, 1}}, "pixels", oui), warning(""));
    EXPECT_EQ(message_aucun_fichier_cup_enregistre(), warning(""));
    std::filesystem::create_directory(dir / "dossier.cup");
    EXPECT_EQ(enregistrer_fichier_cup(dir.path(), "dossier", {{1, 1, 1}}, "pixels", oui),
              warning("Impossible de créer le fichier\rErreur système\r "));
}

}  // namespace
}  // namespace vellumor::exceptions
