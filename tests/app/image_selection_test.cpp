#include "app/image_selection.h"

#include <QFontMetrics>

#include "app/controls.h"
#include "app/list_helpers.h"
#include "settings/preferences.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

class ImageSelection : public FenetreTest {
  protected:
    QString chemin(const char* nom) { return QString::fromStdString((dossier / nom).string()); }
    QString dossier_texte() { return QString::fromStdString(dossier.path().string()) + "/"; }
    void choisir(std::initializer_list<const char*> noms) {
        QStringList l;
        for (const char* n : noms) l << chemin(n);
        dialogs.choix_fichiers.push_back(l);
    }
};

TEST_F(ImageSelection, FilesAreListedInPageOrderWithTheCountAndTheFolder) {
    choisir({"p10.png", "p2.png", "p1.png"});
    GLB_Preferences().DossierImages = "/ailleurs/";
    effacer_liste(*fenetre);
    selectionner_images(*fenetre, QStringLiteral("Sélectionner les fichiers à détourer"));

    const auto ouverts = dialogs.de_genre(Genre::Ouvrir);
    ASSERT_EQ(ouverts.size(), 1u);
    EXPECT_EQ(ouverts[0].titre, QStringLiteral("Sélectionner les fichiers à détourer"));
    EXPECT_EQ(ouverts[0].texte, QStringLiteral("/ailleurs/"));
    EXPECT_EQ(ouverts[0].filtre, QStringLiteral("Fichiers images|*.png"));
    EXPECT_TRUE(ouverts[0].multiple);

    ASSERT_EQ(liste().topLevelItemCount(), 3);
    EXPECT_EQ(ligne(0), QStringLiteral("p1.png"));
    EXPECT_EQ(ligne(1), QStringLiteral("p2.png"));
    EXPECT_EQ(ligne(2), QStringLiteral("p10.png"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(icone(i), kIconeNeutre);
    ASSERT_EQ(GLB_Fichiers_Images().size(), 3u);
    EXPECT_EQ(GLB_Fichiers_Images()[2].Numero, 10);
    EXPECT_EQ(GLB_Fichiers_Images()[0].Fichier, dossier / "p1.png");
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 3 fichiers"));
    // The names are shown whole.
    EXPECT_GE(liste().columnWidth(0),
              QFontMetrics(liste().font()).horizontalAdvance(QStringLiteral("p10.png")) + 16);
    EXPECT_EQ(QString::fromStdString(GLB_Preferences().DossierImages), dossier_texte());
    EXPECT_EQ(texte_controle(18), "  " + dossier_texte());
    // The caller enables the buttons: selecting leaves them disabled.
    EXPECT_FALSE(control(4)->isEnabled());
    activer_selon_liste(*fenetre);
    for (int n = 4; n <= 13; ++n) EXPECT_TRUE(control(n)->isEnabled()) << n;
}

TEST_F(ImageSelection, OneFileIsCountedInTheSingular) {
    choisir({"scan_012.png"});
    selectionner_images(*fenetre, QStringLiteral("t"));
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 1 fichier"));
    EXPECT_EQ(GLB_Fichiers_Images()[0].Numero, 12);
}

TEST_F(ImageSelection, TheFolderIsTheSmallestNumbersFolder) {
    vellumor::test::TempDir autre;
    dialogs.choix_fichiers.push_back(
        {chemin("p5.png"), QString::fromStdString((autre / "p-3.png").string())});
    selectionner_images(*fenetre, QStringLiteral("t"));
    EXPECT_EQ(ligne(0), QStringLiteral("p-3.png"));
    EXPECT_EQ(GLB_Preferences().DossierImages, autre.path().string() + "/");
}

TEST_F(ImageSelection, CancellingLeavesAnEmptyListWithSaveAndClearDisabled) {
    choisir({"p1.png"});
    selectionner_images(*fenetre, QStringLiteral("t"));
    activer_selon_liste(*fenetre);
    ASSERT_TRUE(control(12)->isEnabled());

    effacer_liste(*fenetre);
    activer(12, true);
    activer(13, true);
    selectionner_images(*fenetre, QStringLiteral("t"));
    EXPECT_TRUE(GLB_Fichiers_Images().empty());
    EXPECT_EQ(liste().topLevelItemCount(), 0);
    EXPECT_FALSE(control(12)->isEnabled());
    EXPECT_FALSE(control(13)->isEnabled());
    EXPECT_TRUE(dialogs.de_genre(Genre::Tache).empty());
    EXPECT_TRUE(dialogs.de_genre(Genre::Simple).empty());
}

TEST_F(ImageSelection, ClearButtonEmptiesEverything) {
    choisir({"p1.png", "p2.png"});
    selectionner_images(*fenetre, QStringLiteral("t"));
    activer_selon_liste(*fenetre);
    control_as<QPushButton>(13)->click();
    EXPECT_TRUE(GLB_Fichiers_Images().empty());
    EXPECT_EQ(liste().topLevelItemCount(), 0);
    EXPECT_EQ(titre_colonne(), QStringLiteral("Nombre de fichiers : "));
    EXPECT_EQ(texte_controle(18), QStringLiteral("  Dossier : "));
    EXPECT_FALSE(control(12)->isEnabled());
    EXPECT_FALSE(control(13)->isEnabled());
    EXPECT_TRUE(control(11)->isEnabled());
}

TEST_F(ImageSelection, ReplacingAskesFirstAndNoKeepsTheRowsWithNeutralIcons) {
    choisir({"p1.png", "p2.png"});
    remplacer_liste(*fenetre, QStringLiteral("t"));
    ASSERT_TRUE(dialogs.de_genre(Genre::Simple).empty());  // empty list: no question
    definir_icone_ligne(*fenetre, 1, 2);

    dialogs.reponses_simples.push_back(kCodeNon);
    remplacer_liste(*fenetre, QStringLiteral("t"));
    const auto questions = dialogs.de_genre(Genre::Simple);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].titre, QStringLiteral("Liste des fichiers"));
    EXPECT_EQ(questions[0].texte,
              QStringLiteral("Effacer la liste des fichiers et\r\ncharger une nouvelle liste ?"));
    EXPECT_EQ(questions[0].style, 0x24u);
    ASSERT_EQ(liste().topLevelItemCount(), 2);
    EXPECT_EQ(icone(1), kIconeNeutre);

    dialogs.reponses_simples.push_back(kCodeOui);
    choisir({"q7.png"});
    remplacer_liste(*fenetre, QStringLiteral("t"));
    ASSERT_EQ(liste().topLevelItemCount(), 1);
    EXPECT_EQ(ligne(0), QStringLiteral("q7.png"));
}

TEST_F(ImageSelection, RowIconResetFollowsTheListContent) {
    reinitialiser_icones(*fenetre);
    EXPECT_FALSE(control(12)->isEnabled());
    choisir({"p1.png"});
    selectionner_images(*fenetre, QStringLiteral("t"));
    definir_icone_ligne(*fenetre, 0, 1);
    reinitialiser_icones(*fenetre);
    EXPECT_EQ(icone(0), kIconeNeutre);
    EXPECT_TRUE(control(12)->isEnabled());
    EXPECT_TRUE(control(13)->isEnabled());
}

}  // namespace
}  // namespace vellumor::app::test
