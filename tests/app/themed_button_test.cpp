#include "app/themed_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QWidget>

#include "app/colours.h"
#include "event_waits.h"

namespace vellumor::app::test {
namespace {

class ThemedButton : public ::testing::Test {
  protected:
    void SetUp() override {
        parent.resize(400, 200);
        bouton = creer_bouton(42, 10, 10, 200, 31, QStringLiteral("Essai"), &parent,
                              QFont(QStringLiteral("Arial")));
        ReglageCouleurs r;
        r.couleurs = {0x000011, 0x000022, 0x000033, 0x000044, 0x000055,
                      0x000066, 0x000077, 0x000088, 0x000099};
        r.direction = 1;
        r.alphas = {10, 20, 30};
        definir_couleurs_bouton(42, r);
        parent.show();
    }
    void entrer() {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
        QApplication::sendEvent(bouton, &e);
    }
    void sortir() {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(bouton, &e);
    }

    QWidget parent;
    BoutonTheme* bouton = nullptr;
};

TEST_F(ThemedButton, SettingOnlyTheHotColoursChangesOnlyThemAndTheDirection) {
    ReglageCouleurs r;
    r.couleurs = {-1, -1, -1, -1, -1, -1, 0xA4E8AA, 0xA4E8AA, 0x327538};
    r.direction = 0;
    Style_Bouton attendu = bouton->style_bouton();
    definir_couleurs_bouton(42, r);
    attendu.direction = 0;
    attendu.chaud_haut = 0xA4E8AA;
    attendu.chaud_bas = 0xA4E8AA;
    attendu.chaud_texte = 0x327538;
    const Style_Bouton& s = bouton->style_bouton();
    EXPECT_EQ(s.normal_haut, 0x000011u);
    EXPECT_EQ(s.presse_texte, 0x000066u);
    EXPECT_EQ(s.chaud_haut, 0xA4E8AAu);
    EXPECT_EQ(s.chaud_texte, 0x327538u);
    EXPECT_EQ(s.direction, 0);
    EXPECT_EQ(s.alpha_normal, 10);
    EXPECT_EQ(s.alpha_chaud, 30);
    EXPECT_EQ(s, attendu);
}

TEST_F(ThemedButton, SettingColoursOfSomethingElseDoesNothing) {
    QWidget autre(&parent);
    definir_couleurs_bouton(43, ReglageCouleurs{});  // no such control
    EXPECT_EQ(bouton->style_bouton().direction, 1);
}

TEST_F(ThemedButton, StatesPickTheirGradientWithItsAlpha) {
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Normal);
    EXPECT_EQ(bouton->couleurs_etat().haut, couleur_alpha(0x000011, 10));
    EXPECT_EQ(bouton->couleurs_etat().texte, couleur_alpha(0x000033, 255));
    entrer();
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Chaud);
    EXPECT_EQ(bouton->couleurs_etat().bas, couleur_alpha(0x000088, 30));
    bouton->setDown(true);
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Presse);
    EXPECT_EQ(bouton->couleurs_etat().haut, couleur_alpha(0x000044, 20));
    bouton->setDown(false);
    bouton->setEnabled(false);
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Desactive);
    EXPECT_EQ(bouton->couleurs_etat().haut, bouton->couleurs_etat().bas);
}

TEST_F(ThemedButton, HotColoursStayAfterTheMouseLeavesUntilTheHoldEnds) {
    entrer();
    QElapsedTimer montre;
    montre.start();
    sortir();
    EXPECT_TRUE(bouton->style_bouton().chaud);  // the hold ends on its timer, never at once
    ASSERT_TRUE(attendre_evenements([&] { return !bouton->style_bouton().chaud; }));
    // A coarse timer may fire up to 5 % early.
    EXPECT_GE(montre.elapsed(), BoutonTheme::kMaintienChaudMs * 9 / 10);
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Normal);

    // Coming back before the hold ends keeps the button hot: a timer started after the hold's and
    // four times as long fires after the hold's would have.
    entrer();
    sortir();
    entrer();
    bool plus_tard = false;
    QTimer::singleShot(4 * BoutonTheme::kMaintienChaudMs, [&] { plus_tard = true; });
    ASSERT_TRUE(attendre_evenements([&] { return plus_tard; }));
    EXPECT_TRUE(bouton->style_bouton().chaud);
    EXPECT_EQ(bouton->etat(), BoutonTheme::Etat::Chaud);
}

TEST_F(ThemedButton, PaintingFillsTheContentWithTheStatesGradient) {
    ReglageCouleurs r;
    r.couleurs = {0xFF0000, 0xFF0000, 0xFFFFFF, -1, -1, -1, -1, -1, -1};
    r.alphas = {255, 255, 255};
    definir_couleurs_bouton(42, r);
    bouton->setText(QString());
    const QImage image = bouton->grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 15), QColor(0, 0, 255));
}

TEST_F(ThemedButton, CaptionFollowsTheButtonsAlignment) {
    ReglageCouleurs r;
    r.couleurs = {0xFF0000, 0xFF0000, 0xFFFFFF, -1, -1, -1, -1, -1, -1};
    r.alphas = {255, 255, 255};
    definir_couleurs_bouton(42, r);
    auto etendue = [&] {
        const QImage image = bouton->grab().toImage();
        int gauche = image.width(), droite = -1;
        // Caption pixels: reddish on the blue gradient, away from the frame.
        for (int y = 6; y < 25; ++y)
            for (int x = 4; x < 196; ++x)
                if (image.pixelColor(x, y).red() > 128) {
                    gauche = std::min(gauche, x);
                    droite = std::max(droite, x);
                }
        return std::pair(gauche, droite);
    };
    const auto [g_centre, d_centre] = etendue();
    EXPECT_NEAR(g_centre, 200 - 1 - d_centre, 4);
    bouton->definir_alignement(Qt::AlignLeft);
    EXPECT_LT(etendue().second, 100);
    bouton->definir_alignement(Qt::AlignRight);
    EXPECT_GT(etendue().first, 100);
}

TEST(ColourAlpha, RearrangesBgrWordAsArgb) {
    EXPECT_EQ(couleur_alpha(0x00112233, 0x80), 0x80332211u);
    EXPECT_EQ(couleur_alpha(0xFFFFFF, 255), 0xFFFFFFFFu);
    EXPECT_EQ(qcouleur(0x583700), QColor(0x00, 0x37, 0x58));
}

TEST(TextMeasure, MeasuresInTheFontOrFallsBackToTwoHundredByTwentyFive) {
    const QFont police(QStringLiteral("Arial"), 12);
    const Mesure court = mesurer_texte(&police, QStringLiteral("Quitter"));
    const Mesure long_ = mesurer_texte(&police, QStringLiteral("Quitter Quitter"));
    EXPECT_TRUE(court.ok);
    EXPECT_GT(court.largeur, 0);
    EXPECT_GT(long_.largeur, court.largeur);
    EXPECT_EQ(court.hauteur, long_.hauteur);
    const Mesure rate = mesurer_texte(nullptr, QStringLiteral("Quitter"));
    EXPECT_FALSE(rate.ok);
    EXPECT_EQ(taille_ou_defaut(rate), QSize(200, 25));
    EXPECT_EQ(taille_ou_defaut(court), QSize(court.largeur, court.hauteur));
}

}  // namespace
}  // namespace vellumor::app::test
