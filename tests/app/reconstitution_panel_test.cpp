#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "app/static_colours.h"
#include "batch/originaux.h"
#include "panel_fixture.h"
#include "settings/preferences.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;
using vellumor::test::read_png_file;

class PanneauReconstitution : public PanneauTest {
  protected:
    static QSpinBox* spin(int n) { return control_as<QSpinBox>(n); }
    static bool coche(int n) { return control_as<QAbstractButton>(n)->isChecked(); }
    // The panel is idle after a run: "Quitter" is back, "Reconstituer" enabled.
    static bool repos_apres_run() {
        QWidget* quitter = control(3);
        QWidget* lancer = control(37);
        return quitter && quitter->isVisible() && lancer && lancer->isEnabled() &&
               control(19) != nullptr;
    }
    // Opens the panel on the listed pages (kept: No to the question) and plays the steps.
    void ouvrir(Scenario& s, bool garder_liste = true) {
        if (garder_liste) dialogs.reponses_simples.push_back(kCodeNon);
        operation(9, s);
    }
    std::vector<std::filesystem::path> pages(const std::vector<std::string>& noms) {
        std::vector<std::filesystem::path> r;
        for (const std::string& n : noms) r.push_back(ecrire(n, page(30, 40, {{1, 1}})));
        return r;
    }
};

TEST_F(PanneauReconstitution, OpensWithItsDefaultsAndAStoredFormatOutside29To34Selects29) {
    for (std::int64_t stocke : {std::int64_t(0), std::int64_t(35), std::int64_t(29)}) {
        GLB_Preferences().Image_Vierge_Format = stocke;
        lister(pages({"p1.png"}));
        Scenario s;
        s.quand([] { return control(19) != nullptr; },
                [&] {
                    EXPECT_EQ(fond_barre(), qcouleur(0xB0ECBC));
                    EXPECT_FALSE(coche(19));
                    EXPECT_FALSE(coche(20));
                    EXPECT_FALSE(coche(21));
                    for (int n : {26, 27}) {
                        EXPECT_EQ(spin(n)->value(), 0);
                        EXPECT_FALSE(spin(n)->isEnabled());
                    }
                    EXPECT_TRUE(coche(29)) << stocke;
                    for (int n = 30; n <= 34; ++n) EXPECT_FALSE(coche(n));
                    EXPECT_EQ(texte_controle(36), QString());
                    EXPECT_EQ(control_as<QRadioButton>(31)->text(),
                              QStringLiteral(" Format A4 N/B 600 dpi "));
                    EXPECT_TRUE(control_as<QLabel>(28)->font().underline());
                    for (int n : {24, 25, 63, 66, 70, 74, 78})
                        EXPECT_FALSE(control(n)->isVisible());
                    EXPECT_TRUE(control(37)->isEnabled());
                    EXPECT_TRUE(control(38)->isEnabled());
                    EXPECT_FALSE(control(39)->isEnabled());
                    EXPECT_FALSE(control(3)->isVisible());
                    EXPECT_EQ(control(17)->height(), 416 / 2 - 40);
                    cliquer(60);
                });
        ouvrir(s);
        EXPECT_EQ(GLB_Preferences().Image_Vierge_Format, 29);
        EXPECT_EQ(control(19), nullptr);
        EXPECT_TRUE(control(3)->isVisible());
        EXPECT_FALSE(control(37)->isVisible());
    }
}

TEST_F(PanneauReconstitution, OpeningOnAnEmptyListAndCancellingLeavesTheMainWindowAsItWas) {
    const QRect liste = control(17)->geometry();
    Scenario s;
    s.pendant(*fenetre, [&] { cliquer(9); });
    EXPECT_EQ(control(19), nullptr);
    EXPECT_EQ(control(17)->geometry(), liste);
    EXPECT_TRUE(control(3)->isVisible());
    for (int n : {37, 38, 39, 60}) EXPECT_FALSE(control(n)->isVisible()) << n;
    EXPECT_EQ(fond_barre(), qcouleur(0xDEC1B9));
    const auto ouvrir = dialogs.de_genre(Genre::Ouvrir);
    ASSERT_EQ(ouvrir.size(), 1u);
    EXPECT_EQ(ouvrir[0].titre, QStringLiteral("Sélectionner les images à reconstituer"));
}

TEST_F(PanneauReconstitution, TypedOffsetsAreClampedAndTidiedAndTheBoxesFollowTheirCheckBoxes) {
    lister(pages({"p1.png"}));
    Scenario s;
    s.quand([] { return control(19) != nullptr; },
            [&] {
                cliquer(20);
                EXPECT_TRUE(spin(27)->isEnabled());
                EXPECT_EQ(GLB_Preferences().Reconstituer_Img_params, 1 | 32);
                cliquer(19);
                EXPECT_EQ(GLB_Preferences().Reconstituer_Img_params, 1 | 32 | 16);
                const struct {
                    const char* tape;
                    const char* reste;
                    int valeur;
                } cas[] = {{"0012", "12", 12},
                           {"5000", "1000", 1000},
                           {"-2000", "-1000", -1000},
                           {"7x", "7", 7},
                           {"-15", "-15", -15}};
                for (int n : {26, 27})
                    for (const auto& c : cas) {
                        spin(n)->findChild<QLineEdit*>()->setText(QString::fromUtf8(c.tape));
                        EXPECT_EQ(spin(n)->text(), QString::fromUtf8(c.reste)) << n << c.tape;
                        EXPECT_EQ(spin(n)->value(), c.valeur) << n << c.tape;
                    }
                EXPECT_EQ(GLB_Preferences().Reconstituer_Img_Decalage_Y, -15);
                spin(26)->setValue(8);
                cliquer(20);
                EXPECT_FALSE(spin(27)->isEnabled());
                EXPECT_EQ(GLB_Preferences().Reconstituer_Img_params, 1 | 16);
                cliquer(60);
            });
    ouvrir(s);
    EXPECT_EQ(GLB_Preferences().Reconstituer_Img_Decalage, 8);
}

TEST_F(PanneauReconstitution, ANameEndingInALetterRefusesTheWholeRun) {
    const auto fichiers = pages({"p1.png", "p2.png", "annexe.png"});
    std::vector<std::string> avant;
    for (const auto& f : fichiers) avant.push_back(read_bytes(f));
    lister(fichiers);
    Scenario s;
    s.quand([] { return control(19) != nullptr; }, [&] { cliquer(37); })
        .quand([] { return repos_apres_run(); }, [&] { cliquer(3); });
    ouvrir(s);
    for (std::size_t i = 0; i < fichiers.size(); ++i)
        EXPECT_TRUE(read_bytes(fichiers[i]) == avant[i]);
    const auto taches = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(taches.size(), 1u);
    EXPECT_EQ(taches[0].tache.instruction, QStringLiteral(" Erreur de nom de fichier "));
    EXPECT_TRUE(infos().empty());
}

TEST_F(PanneauReconstitution, OddPagesOnlyRunToTheEndAndEachFormatSavesItsDepth) {
    const struct {
        int format;
        int largeur;
        int couleur;
    } cas[] = {{29, 3780, PNG_COLOR_TYPE_GRAY}, {31, 4961, PNG_COLOR_TYPE_RGB}};
    for (const auto& c : cas) {
        const auto fichiers = pages({"p1.png", "p3.png"});
        lister(fichiers);
        Scenario s;
        s.quand([] { return control(19) != nullptr; },
                [&] {
                    cliquer(c.format);
                    cliquer(37);
                    EXPECT_FALSE(control(37)->isEnabled());
                    EXPECT_TRUE(reconstitution_en_cours());
                })
            .quand([&] { return infos().size() == 1 && repos_apres_run(); }, [&] { cliquer(3); });
        ouvrir(s);
        EXPECT_EQ(GLB_Preferences().Image_Vierge_Format, c.format);
        ASSERT_EQ(infos().size(), 1u);
        EXPECT_EQ(infos()[0].tache.corps,
                  QStringLiteral("Les opérations de reconstitution d'images sont terminées") +
                      fin_originaux());
        EXPECT_EQ(icones(), (std::vector<int>{2, 2}));
        EXPECT_EQ(titre_colonne(), QStringLiteral(" 2 fichiers :  (Fichiers traités : 2/2)"));
        for (const auto& f : fichiers) {
            const auto p = read_png_file(f);
            ASSERT_TRUE(p) << f;
            EXPECT_EQ(p->width, c.largeur);
            EXPECT_EQ(p->bit_depth, 8);
            if (c.couleur == PNG_COLOR_TYPE_RGB)
                EXPECT_EQ(p->colour_type, PNG_COLOR_TYPE_RGB);
            else
                EXPECT_NE(p->colour_type, PNG_COLOR_TYPE_RGB);
        }
        // The pages it replaced are kept, ready for a restore.
        const auto gardees = executions_gardees(fichiers[0].parent_path());
        ASSERT_FALSE(gardees.empty());
        EXPECT_EQ(gardees.back().operation, kOperationReconstitution);
        EXPECT_EQ(gardees.back().pages.size(), 2u);
        dialogs.appels.clear();
    }
}

TEST_F(PanneauReconstitution, AStopLetsTheCurrentPagesFinishAndLeavesTheOthersUntouched) {
    const auto fichiers = pages({"p1.png", "p3.png", "p5.png", "p7.png", "p2.png", "p4.png"});
    std::vector<std::string> avant;
    for (const auto& f : fichiers) avant.push_back(read_bytes(f));
    lister(fichiers);
    Scenario s;
    s.quand([] { return control(19) != nullptr; }, [&] { cliquer(37); })
        .quand([&] { return icone(0) == 2; },
               [&] {
                   cliquer(60);
                   EXPECT_FALSE(control(60)->isEnabled());
                   EXPECT_FALSE(control(38)->isEnabled());
               })
        .quand([&] { return infos().size() == 1 && repos_apres_run(); }, [&] { cliquer(3); });
    ouvrir(s);
    ASSERT_EQ(infos().size(), 1u);
    EXPECT_EQ(infos()[0].tache.corps,
              QStringLiteral("Les opérations de reconstitution d'images ont été arrêtées") +
                  fin_originaux());
    int intacts = 0;
    for (int i = 0; i < liste().topLevelItemCount(); ++i) {
        const auto f = dossier / ligne(i).toStdString();
        const auto k =
            std::size_t(std::find(fichiers.begin(), fichiers.end(), f) - fichiers.begin());
        ASSERT_LT(k, fichiers.size()) << f;
        const bool intact = read_bytes(f) == avant[k];
        if (icone(i) == 5) ++intacts;
        EXPECT_EQ(intact, icone(i) == 5) << f << " " << icone(i);
        EXPECT_TRUE(icone(i) == 5 || icone(i) == 2) << f;
    }
    EXPECT_GE(intacts, 2);
}

TEST_F(PanneauReconstitution, Format34AsksForTheBlankPageAndNoStopsTheRunBeforeAnyFile) {
    const auto fichiers = pages({"p1.png"});
    const std::string avant = read_bytes(fichiers[0]);
    const auto pas_png = dossier / "vierge.png";
    vellumor::test::write_bytes(pas_png, "pas une image");
    lister(fichiers);
    Scenario s;
    s.quand([] { return control(19) != nullptr; },
            [&] {
                choisir({pas_png});
                cliquer(34);
                QMetaObject::invokeMethod(barre_outils(99)->actions().first(), &QAction::trigger);
                EXPECT_EQ(texte_controle(36), QString());
                dialogs.reponses_tache.push_back(Reponse::Non);
                cliquer(37);
            })
        .quand([&] { return infos().size() == 1 && repos_apres_run(); }, [&] { cliquer(3); });
    ouvrir(s);
    const auto taches = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(taches.size(), 3u);
    EXPECT_EQ(taches[0].tache.instruction, QStringLiteral(" Le fichier n'est pas un Png valide"));
    EXPECT_EQ(taches[1].tache.instruction,
              QStringLiteral(" Le fichier de l'image vierge n'est pas défini"));
    EXPECT_EQ(taches[1].tache.titre, QStringLiteral(" Sélection de l'image vierge "));
    EXPECT_EQ(taches[2].tache.corps,
              QStringLiteral("Les opérations de reconstitution d'images ont été arrêtées"));
    EXPECT_TRUE(read_bytes(fichiers[0]) == avant);
    EXPECT_EQ(GLB_Preferences().ImgVierge, "");
}

// Closing window 1 while a page is being drawn: the page is finished before the program ends, the
// next ones are not started, and every file is either untouched or a whole reconstituted page.
TEST_F(PanneauReconstitution, ClosingTheMainWindowDuringARunLeavesNoHalfWrittenPage) {
    const auto fichiers = pages({"p1.png", "p2.png", "p3.png", "p4.png", "p5.png", "p6.png"});
    lister(fichiers);
    Scenario s;
    s.quand([] { return control(19) != nullptr; }, [&] { cliquer(37); })
        .quand([&] { return icone(0) == 3 || icone(1) == 3; }, [&] { fenetre->close(); });
    ouvrir(s);
    fenetre->attendre_les_travaux();
    int ecrits = 0;
    for (const auto& f : fichiers) {
        const auto p = read_png_file(f);
        ASSERT_TRUE(p) << f;
        EXPECT_TRUE(p->width == 30 || p->width == 3780) << f;
        ecrits += p->width == 3780;
    }
    EXPECT_LT(ecrits, 6);
}

// The refusal's sentence and its first names show without unfolding the details.
TEST_F(PanneauReconstitution, ARefusedRunShowsItsSentenceAndFirstNames) {
    const struct {
        std::vector<std::string> refuses;
        const char* nombre;
        const char* cache;
    } cas[] = {{{"annexe.png"}, "Ce fichier ne se termine pas", nullptr},
               {{"a_Col.png", "b_Col.png", "c_Col.png", "d_Col.png", "e_Col.png", "f_Col.png"},
                "6 fichiers ne se terminent pas",
                "f_Col.png"}};
    for (const auto& c : cas) {
        std::vector<std::string> noms = c.refuses;
        noms.push_back("p1.png");
        lister(pages(noms));
        Scenario s;
        s.quand([] { return control(19) != nullptr; }, [&] { cliquer(37); })
            .quand([] { return repos_apres_run(); }, [&] { cliquer(3); });
        ouvrir(s);
        const QString corps = dialogs.de_genre(Genre::Tache).back().tache.corps;
        EXPECT_TRUE(corps.startsWith("L'opération de reconstitution d'images n'aura pas lieu"));
        EXPECT_TRUE(corps.contains(QString::fromUtf8(c.nombre))) << corps.toStdString();
        EXPECT_TRUE(corps.contains(QString::fromStdString(c.refuses.front())));
        if (c.cache) {
            EXPECT_FALSE(corps.contains(QString::fromUtf8(c.cache)));
        }
    }
}

}  // namespace
}  // namespace vellumor::app::test
