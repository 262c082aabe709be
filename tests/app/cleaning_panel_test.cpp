#include <QCheckBox>
#include <QGroupBox>

#include "app/startup.h"
#include "app/static_colours.h"
#include "app/themed_button.h"
#include "panel_fixture.h"
#include "settings/preferences.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;
using vellumor::test::read_png_file;

class PanneauNettoyage : public PanneauTest {
  protected:
    static QCheckBox* boite(int n) { return control_as<QCheckBox>(n); }
    static std::vector<bool> cochees() {
        std::vector<bool> r;
        for (int n = 89; n <= 95; ++n) r.push_back(boite(n) && boite(n)->isChecked());
        return r;
    }
};

TEST_F(PanneauNettoyage, TheOptionsFrameStandsBesideTheNarrowedList) {
    installer_coloriage_statique();
    Scenario s;
    s.quand([] { return control(96) != nullptr; },
            [&] {
                EXPECT_EQ(fond_barre(), qcouleur(0xA5A1F2));
                EXPECT_EQ(control(18)->geometry(), QRect(30, 10, 1020, 40));
                EXPECT_EQ(control(17)->geometry(), QRect(30, 50, 720, 416 + 40 - 15));
                auto* cadre = control_as<QGroupBox>(96);
                ASSERT_NE(cadre, nullptr);
                EXPECT_EQ(cadre->title(), QStringLiteral(" Options de nettoyage "));
                EXPECT_EQ(cadre->geometry().topLeft(), QPoint(780, 101));
                EXPECT_EQ(cadre->width(), 1080 - 720 - 90);
                const char* legendes[] = {" Pixel isolé",
                                          " ligne de 2 Pixels H ou V",
                                          " ligne de 3 Pixels H ou V",
                                          " Carré de 4 Pixels ",
                                          " 2 lignes de 3 Pixels H ou V",
                                          " 2 lignes de 4 Pixels H ou V",
                                          " Carré de 9 Pixels "};
                const QFont& police = fenetre->police_liste();
                int y = -1;
                for (int n = 89; n <= 95; ++n) {
                    QCheckBox* b = boite(n);
                    ASSERT_NE(b, nullptr) << n;
                    EXPECT_EQ(b->text(), QString::fromUtf8(legendes[n - 89]));
                    const Mesure m = mesurer_texte(&police, b->text());
                    ASSERT_TRUE(m.ok);
                    if (y < 0) y = 101 + m.hauteur + 25;
                    EXPECT_EQ(b->geometry(), QRect(810, y, m.largeur + 30, m.hauteur)) << n;
                    EXPECT_TRUE(b->isVisible()) << n;
                    y += m.hauteur + 15;
                }
                EXPECT_EQ(cadre->geometry().bottom() + 1, boite(95)->geometry().bottom() + 1 + 25);
                EXPECT_EQ(cochees(),
                          (std::vector<bool>{true, false, false, false, false, false, false}));
                // Blue caption on the frame, the boxes on white like the body around them.
                EXPECT_EQ(cadre->palette().color(QPalette::WindowText), qcouleur(0xFF0000));
                const QImage image = boite(89)->grab().toImage();
                EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() / 2),
                          QColor(Qt::white));
                EXPECT_EQ(control(16)->parentWidget(), control(2));
                EXPECT_TRUE(control(16)->isVisible());
                cliquer(60);
            });
    operation(6, s);
    for (int n = 89; n <= 96; ++n) EXPECT_EQ(control(n), nullptr) << n;
    EXPECT_EQ(control(17)->geometry(), QRect(330, 64, 721, 416));
    EXPECT_EQ(control(18)->geometry(), QRect(330, 26, 721, 40));
    EXPECT_TRUE(infos().empty());  // cleaning waits for its button
}

TEST_F(PanneauNettoyage, OnlyTheTickedPatternsRunAndUntickedBoxesRewriteThePageUnchanged) {
    // An isolated pixel at (5, 5) and a two-pixel line at (12, 12)-(13, 12).
    const auto p1 = ecrire("p1.png", page(20, 20, {{5, 5}, {12, 12}, {13, 12}}));
    lister({p1});
    std::optional<vellumor::test::PngFile> apres_premier;
    Scenario s;
    s.quand([] { return control(96) && au_repos(); },
            [&] {
                cliquer(16);
                // The run has started: the options wait with the other controls.
                for (int n = 89; n <= 96; ++n) EXPECT_FALSE(control(n)->isEnabled()) << n;
                EXPECT_FALSE(control(16)->isEnabled());
                EXPECT_FALSE(control(60)->isEnabled());
            })
        .quand([&] { return infos().size() == 1 && au_repos(); },
               [&] {
                   for (int n = 89; n <= 96; ++n) EXPECT_TRUE(control(n)->isEnabled()) << n;
                   apres_premier = read_png_file(p1);
                   cliquer(89);
                   EXPECT_EQ(GLB_Preferences().Nettoyer_Img, 0);
                   vellumor::test::write_bytes(dossier / "trace", "");
                   cliquer(16);
               })
        .quand([&] { return infos().size() == 2 && au_repos(); }, [&] { cliquer(60); });
    operation(6, s);

    ASSERT_TRUE(apres_premier);
    EXPECT_TRUE(blanc(*apres_premier, 5, 5));
    EXPECT_TRUE(noir(*apres_premier, 12, 12));
    EXPECT_TRUE(noir(*apres_premier, 13, 12));
    const auto apres_second = read_png_file(p1);
    ASSERT_TRUE(apres_second);
    EXPECT_EQ(apres_second->samples, apres_premier->samples);
    EXPECT_GE(std::filesystem::last_write_time(p1),
              std::filesystem::last_write_time(dossier / "trace"));  // read and written again
    EXPECT_EQ(infos()[1].tache.corps,
              QStringLiteral("Les opérations de nettoyage sont terminées") + fin_originaux());
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 1 fichier (Fichier traité : 1/1)"));

    // The next opening ticks " Pixel isolé" again rather than show no pattern at all.
    Scenario encore;
    encore.quand([] { return control(96) != nullptr; },
                 [&] {
                     EXPECT_EQ(cochees(),
                               (std::vector<bool>{true, false, false, false, false, false, false}));
                     EXPECT_EQ(GLB_Preferences().Nettoyer_Img, 1);
                     cliquer(60);
                 });
    operation(6, encore);
}

TEST_F(PanneauNettoyage, TheBoxesFollowTheStoredMask) {
    GLB_Preferences().Nettoyer_Img = 64 | 4 | 2;
    Scenario s;
    s.quand(
        [] { return control(96) != nullptr; },
        [&] {
            EXPECT_EQ(cochees(), (std::vector<bool>{false, true, true, false, false, false, true}));
            cliquer(92);
            cliquer(90);
            EXPECT_EQ(GLB_Preferences().Nettoyer_Img, 64 | 8 | 4);
            cliquer(60);
        });
    operation(6, s);
}

TEST(PanneauNettoyageSession, TheMaskIsSavedWithThePreferencesAtTheEnd) {
    vellumor::test::TempDir appdata;
    DialogsScriptes dialogs;
    qputenv("APPDATA", appdata.path().string().c_str());
    auto session = Session::demarrer(dialogs, QString::fromStdString(appdata.path().string()));
    qunsetenv("APPDATA");
    ASSERT_NE(session, nullptr);
    Scenario s;
    s.quand([] { return control(96) != nullptr; },
            [&] {
                control_as<QCheckBox>(89)->click();
                control_as<QCheckBox>(93)->click();
                control_as<QAbstractButton>(60)->click();
            });
    s.pendant(session->fenetre(), [&] { control_as<QAbstractButton>(6)->click(); });
    EXPECT_TRUE(s.fini());
    session->fenetre().close();
    session->arreter();
    const std::string prefs = read_bytes(appdata / "Vellumor" / "Vellumor.prefs");
    EXPECT_NE(prefs.find("Nettoyer_Img = 16\r\n"), std::string::npos) << prefs;
    GLB_Preferences() = Preferences{};
    reprendre_boucles();
}

}  // namespace
}  // namespace vellumor::app::test
