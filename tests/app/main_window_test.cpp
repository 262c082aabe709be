#include <QLabel>
#include <QPixmap>

#include "app/controls.h"
#include "app/themed_button.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using MainWindow = FenetreTest;

TEST_F(MainWindow, ClientAreaIsFixedAtTenEightyBySixSixtySevenWithoutMaximise) {
    EXPECT_EQ(fenetre->size(), QSize(1080, 667));
    EXPECT_EQ(fenetre->minimumSize(), fenetre->maximumSize());
    EXPECT_FALSE(fenetre->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(fenetre->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(::vellumor::app::fenetre(1), fenetre.get());
}

TEST_F(MainWindow, ContainersStackBannerBodyAndBottomBar) {
    EXPECT_EQ(control(0)->geometry(), QRect(0, 1, 1080, 70));
    EXPECT_EQ(control(1)->geometry(), QRect(0, 72, 1080, 505));
    EXPECT_EQ(control(2)->geometry(), QRect(0, 577, 1080, 90));
    EXPECT_EQ(control(1)->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(control(2)->palette().color(QPalette::Window), QColor(0xB9, 0xC1, 0xDE));
}

TEST_F(MainWindow, OperationButtonsStandInOneColumnFortyFivePixelsApart) {
    const int y[] = {24, 69, 114, 159, 204, 249, 294, 339, 384, 429};
    const char* legendes[] = {"Tester numéros des fichiers",
                              "Net - Dét - Col",
                              "Nettoyage",
                              "Détourage",
                              "Coloriser",
                              "Reconstituer  les  images",
                              "Numéroter  les  Pages",
                              "Renommer  les  fichiers",
                              "Enregistrer  la  liste",
                              "Effacer  la  liste"};
    for (int n = 4; n <= 13; ++n) {
        auto* b = control_as<BoutonTheme>(n);
        ASSERT_NE(b, nullptr) << n;
        EXPECT_EQ(b->parentWidget(), control(1));
        EXPECT_EQ(b->geometry(), QRect(50, y[n - 4], 250, 31)) << n;
        EXPECT_EQ(b->text(), QString::fromUtf8(legendes[n - 4]));
        EXPECT_EQ(b->objectName(), QString::number(n));
        EXPECT_TRUE(b->isVisible());
    }
    EXPECT_EQ(fenetre->GLB_Boutons(), (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    for (int n : {14, 15, 16}) {
        EXPECT_EQ(control(n)->geometry(), QRect(50, 429, 250, 31));
        EXPECT_FALSE(control(n)->isVisible());
    }
    EXPECT_EQ(control_as<QPushButton>(15)->text(), QStringLiteral(" Coloriser les images "));
}

TEST_F(MainWindow, ListAndStatusLineSitRightOfTheButtons) {
    EXPECT_EQ(control(17)->geometry(), QRect(330, 64, 721, 416));
    EXPECT_EQ(control(18)->geometry(), QRect(330, 26, 721, 40));
    EXPECT_EQ(texte_controle(18), QStringLiteral("  Dossier : "));
    EXPECT_EQ(control(18)->palette().color(QPalette::Window), QColor(0x00, 0x37, 0x58));
    EXPECT_EQ(liste().columnCount(), 2);
    EXPECT_EQ(titre_colonne(), QStringLiteral("Nombre de fichiers : "));
    EXPECT_EQ(liste().headerItem()->text(1), QStringLiteral("Bits par pixel - nombre de couleurs"));
    EXPECT_EQ(liste().columnWidth(1), 150);
}

TEST_F(MainWindow, BottomBarShowsOnlyQuitAtTheRight) {
    const QRect quitter = control(3)->geometry();
    EXPECT_EQ(quitter.y(), 25);
    EXPECT_EQ(quitter.size(), QSize(100, 40));
    const int largeur = mesurer_texte(ressources.police(2), QStringLiteral("Quitter")).largeur;
    EXPECT_EQ(quitter.x(), 1080 - (largeur + 40) - 20);
    EXPECT_TRUE(control(3)->isVisible());
    for (int n : {60, 37, 38, 39, 61, 62}) {
        ASSERT_NE(control(n), nullptr) << n;
        EXPECT_FALSE(control(n)->isVisible()) << n;
        EXPECT_EQ(control(n)->geometry().y(), 25);
    }
    EXPECT_EQ(control(60)->x(), quitter.x());
    EXPECT_EQ(control(38)->x(), control(37)->geometry().right() + 1 + 50);
    EXPECT_EQ(control(39)->x(), control(38)->geometry().right() + 1 + 30);
    EXPECT_EQ(control(61)->geometry().right() + 1, control(60)->x() - 20);
}

TEST_F(MainWindow, EmptyListDisablesSaveAndClearOnly) {
    for (int n = 4; n <= 11; ++n) EXPECT_TRUE(control(n)->isEnabled()) << n;
    EXPECT_FALSE(control(12)->isEnabled());
    EXPECT_FALSE(control(13)->isEnabled());
}

TEST_F(MainWindow, ButtonsCarryTheirGradientColours) {
    const Style_Bouton& s = control_as<BoutonTheme>(10)->style_bouton();
    EXPECT_EQ(s.normal_haut, 0xAE1EE3u);
    EXPECT_EQ(s.normal_bas, 0xD88FF3u);
    EXPECT_EQ(s.chaud_texte, 0xAE1EE3u);
    EXPECT_EQ(s.presse_haut, 0xFFFFFFu);
    EXPECT_EQ(s.direction, 1);
    EXPECT_EQ(s.alpha_normal, 255);
    const Style_Bouton& quitter = control_as<BoutonTheme>(3)->style_bouton();
    EXPECT_EQ(quitter.chaud_texte, 0x4C3924u);
    EXPECT_EQ(quitter.presse_texte, 0x583700u);
    EXPECT_EQ(control_as<BoutonTheme>(62)->style_bouton().normal_texte, 0xFF0707u);
}

TEST_F(MainWindow, BannerRunsFromDarkToLightMauveUnderItsTitle) {
    const QPixmap affiche = control_as<QLabel>(97)->pixmap();
    ASSERT_EQ(affiche.size(), QSize(1080, 70));
    const QImage image = affiche.toImage();
    const QColor debut = image.pixelColor(0, 0);
    const QColor fin = image.pixelColor(1079, 69);
    EXPECT_NEAR(debut.red(), 0x57, 3);
    EXPECT_NEAR(debut.blue(), 0x5D, 3);
    EXPECT_NEAR(fin.red(), 0xB1, 3);
    EXPECT_NEAR(fin.blue(), 0xC9, 3);
    // White title pixels start at (30, 16), not above or left of it.
    bool blanc_dans_le_titre = false;
    for (int y = 16; y < 50; ++y)
        for (int x = 30; x < 200; ++x)
            if (image.pixelColor(x, y) == QColor(Qt::white)) blanc_dans_le_titre = true;
    EXPECT_TRUE(blanc_dans_le_titre);
    for (int x = 0; x < 1080; ++x) EXPECT_NE(image.pixelColor(x, 10), QColor(Qt::white));
}

TEST_F(MainWindow, GrabbedWindowShowsTheColumnOfGradientButtons) {
    const QImage image = fenetre->grab().toImage();
    // Button 4, normal state: dark green at its top, pale green at its bottom.
    const QColor haut = image.pixelColor(60, 72 + 24 + 4);
    const QColor bas = image.pixelColor(60, 72 + 24 + 26);
    EXPECT_GT(haut.green(), haut.red());
    EXPECT_LT(haut.green(), bas.green());
    EXPECT_EQ(image.pixelColor(5, 600), QColor(0xB9, 0xC1, 0xDE));
}

// Closing during a run asks first: No keeps the window; Yes lets the pages being written finish
// and says how many were done. Without a run nothing is asked.
TEST_F(MainWindow, ClosingDuringARunAsksFirstAndCountsThePagesDone) {
    lister_pages(3);
    for (int i : {0, 2}) definir_icone_ligne(*fenetre, i, kIconeFait);
    bool attendu = false;
    fenetre->a_l_arret([&] { attendu = true; });
    dialogs.reponses_tache = {Reponse::Non, Reponse::Oui};
    EXPECT_FALSE(fenetre->close());
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_TRUE(fenetre->close());
    fenetre->attendre_les_travaux();
    EXPECT_TRUE(attendu);
    const auto taches = dialogs.de_genre(DialogsScriptes::Appel::Genre::Tache);
    ASSERT_EQ(taches.size(), 3u);
    EXPECT_EQ(taches[0].tache.instruction, QStringLiteral(" Un traitement est en cours… "));
    EXPECT_TRUE(taches[0].tache.oui_non);
    EXPECT_TRUE(taches[2].tache.corps.startsWith(QStringLiteral("2 pages sur 3 ont été traitées")))
        << taches[2].tache.corps.toStdString();
}

TEST_F(MainWindow, ClosingWithoutARunAsksNothing) {
    EXPECT_TRUE(fenetre->close());
    fenetre->attendre_les_travaux();
    EXPECT_TRUE(dialogs.appels.empty());
}

}  // namespace
}  // namespace vellumor::app::test
