#include <QLabel>
#include <QScrollBar>

#include "app/panels/batch_panel.h"
#include "batch/mutex_registry.h"
#include "batch/originaux.h"
#include "panel_fixture.h"
#include "support/temp_dir.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;
using vellumor::test::read_png_file;

class PanneauDetourage : public PanneauTest {};

TEST_F(PanneauDetourage, AnEmptyListIsSelectedThenCroppedWithEveryOutcomeOnItsRow) {
    const auto p2 = ecrire("page_2.png", page(40, 30, {{5, 4}, {9, 7}}));
    const auto p3 = ecrire("page_3.png", page(40, 30));
    const auto p4 = ecrire("page_4.png", page(40, 30, {{0, 0}, {39, 29}}));
    const auto p5 = ecrire("page_5.png", page(40, 30, {{12, 20}}));
    const std::string blanche = read_bytes(p3), pleine = read_bytes(p4);
    choisir({p5, p3, p2, p4});

    Scenario s;
    s.quand([&] { return !infos().empty() && au_repos(); },
            [&] {
                EXPECT_EQ(icones(), (std::vector<int>{2, 4, 8, 2}));
                EXPECT_EQ(titre_colonne(), QStringLiteral(" 4 fichiers (Fichiers traités : 4/4)"));
                EXPECT_EQ(fond_barre(), qcouleur(0xACF4F3));
                EXPECT_EQ(control(17)->geometry(), QRect(30, 50, 1020, 436));
                EXPECT_EQ(control(18)->geometry(), QRect(30, 10, 1020, 40));
                QWidget* depart = control(14);
                EXPECT_EQ(depart->parentWidget(), control(2));
                EXPECT_EQ(depart->geometry(),
                          QRect(30, control(60)->y(), 250, control(60)->height()));
                EXPECT_TRUE(depart->isVisible());
                EXPECT_TRUE(depart->isEnabled());
                EXPECT_FALSE(control(3)->isVisible());
                for (int n = 4; n <= 13; ++n) {
                    EXPECT_FALSE(control(n)->isVisible()) << n;
                    EXPECT_TRUE(control(n)->isEnabled()) << n;
                }
                EXPECT_GE(liste().columnWidth(0), 700);  // the progress text shows whole
                EXPECT_TRUE(GLB_Liste_Mutex().empty());
                cliquer(60);
            });
    operation(7, s);

    const auto ouverts = dialogs.de_genre(Genre::Ouvrir);
    ASSERT_EQ(ouverts.size(), 1u);
    EXPECT_EQ(ouverts[0].titre, QStringLiteral("Sélectionner les fichiers à détourer"));
    ASSERT_EQ(infos().size(), 1u);
    const DialogueTache fin = infos()[0].tache;
    // The pages left as they were are named in the details, with why, in row order.
    EXPECT_EQ(fin.details, QStringLiteral("Non écrit : ") + q(p3) +
                               QStringLiteral(" : page blanche, rien n'est écrit\nNon écrit : ") +
                               q(p4) +
                               QStringLiteral(" : aucune marge à retirer, rien n'est écrit"));
    EXPECT_EQ(fin.corps,
              QStringLiteral("Les opérations de détourage sont terminées") + fin_originaux() +
                  QStringLiteral("\n\n2 pages n'ont pas été écrites (voir les détails)"));
    EXPECT_EQ(fin.icone, Bouclier::Jaune);
    EXPECT_EQ(fin.titre, fenetre->windowTitle());
    EXPECT_EQ(dialogs.appels.size(), 2u);  // nothing else was shown

    const auto coupee = read_png_file(p2);
    ASSERT_TRUE(coupee);
    EXPECT_EQ(std::pair(coupee->width, coupee->height), std::pair(5, 4));
    EXPECT_TRUE(noir(*coupee, 0, 0));
    EXPECT_TRUE(noir(*coupee, 4, 3));
    EXPECT_TRUE(blanc(*coupee, 1, 1));
    const auto point = read_png_file(p5);
    ASSERT_TRUE(point);
    EXPECT_EQ(std::pair(point->width, point->height), std::pair(1, 1));
    EXPECT_TRUE(noir(*point, 0, 0));
    EXPECT_EQ(read_bytes(p3), blanche);
    EXPECT_EQ(read_bytes(p4), pleine);
}

TEST_F(PanneauDetourage, LeavingPutsWindowOneBackAsItWas) {
    lister({ecrire("p1.png", page(8, 8, {{2, 2}}))});
    const QRect liste_avant = control(17)->geometry(), statut_avant = control(18)->geometry();
    const QRect depart_avant = control(14)->geometry();
    QWidget* corps = control(14)->parentWidget();
    Scenario s;
    s.quand(au_repos, [&] { cliquer(60); });
    operation(7, s);

    EXPECT_EQ(control(17)->geometry(), liste_avant);
    EXPECT_EQ(control(18)->geometry(), statut_avant);
    EXPECT_EQ(control(14)->parentWidget(), corps);
    EXPECT_EQ(control(14)->geometry(), depart_avant);
    EXPECT_FALSE(control(14)->isVisible());
    EXPECT_FALSE(control(60)->isVisible());
    EXPECT_TRUE(control(3)->isVisible());
    EXPECT_EQ(fond_barre(), qcouleur(0xDEC1B9));
    for (int n = 4; n <= 13; ++n) {
        EXPECT_TRUE(control(n)->isVisible()) << n;
        EXPECT_TRUE(control(n)->isEnabled()) << n;
    }
    // The main loop has "Annuler" back: it closes the window.
    cliquer(60);
    traiter_evenements();
    EXPECT_FALSE(fenetre->isVisible());
}

TEST_F(PanneauDetourage, AFileThatDoesNotLoadIsCrossedAndNotCounted) {
    std::vector<std::filesystem::path> fichiers;
    for (int i = 1; i <= 30; ++i)
        fichiers.push_back(ecrire("p" + std::to_string(i) + ".png", page(12, 12, {{3, 3}})));
    vellumor::test::write_bytes(fichiers[25], "pas une image");
    lister(fichiers);
    Scenario s;
    s.quand([&] { return !infos().empty(); }, [&] { cliquer(60); });
    operation(7, s);

    const std::vector<int> i = icones();
    for (int r = 0; r < 30; ++r) EXPECT_EQ(i[r], r == 25 ? 1 : 2) << r;
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 30 fichiers (Fichiers traités : 29/30)"));
    EXPECT_EQ(read_bytes(fichiers[25]), "pas une image");
    EXPECT_GT(liste().verticalScrollBar()->value(), 0);  // the rows being processed were shown
    ASSERT_EQ(infos().size(), 1u);

    // The command line's line for the file, over its row and in the completion box's details.
    const QString raison = QStringLiteral("Échec : ") + q(fichiers[25]) +
                           QStringLiteral(" : Le fichier « ") + q(fichiers[25]) +
                           QStringLiteral(" » n'est pas une image PNG.");
    for (int r = 0; r < 30; ++r)
        for (int colonne : {0, 1})
            EXPECT_EQ(liste().topLevelItem(r)->toolTip(colonne), r == 25 ? raison : QString()) << r;
    EXPECT_EQ(infos()[0].tache.details, raison);
    // The failure shows in the visible text, with the warning icon, and its row is in view.
    EXPECT_EQ(infos()[0].tache.corps,
              QStringLiteral("Les opérations de détourage sont terminées") + fin_originaux() +
                  QStringLiteral("\n\n1 page n'a pas été écrite (voir les détails)"));
    EXPECT_EQ(infos()[0].tache.icone, Bouclier::Jaune);
    EXPECT_TRUE(liste().viewport()->rect().contains(
        liste().visualItemRect(liste().topLevelItem(25)).center()));
}

TEST_F(PanneauDetourage, NoFileChosenLeavesThePanelIdleWithTheListEmpty) {
    Scenario s;
    s.quand([&] { return !dialogs.de_genre(Genre::Ouvrir).empty() && au_repos(); },
            [&] {
                EXPECT_TRUE(control(14)->isEnabled());
                EXPECT_FALSE(control(12)->isEnabled());
                EXPECT_FALSE(control(13)->isEnabled());
                EXPECT_TRUE(control(4)->isEnabled());
                EXPECT_EQ(titre_colonne(), QStringLiteral("Nombre de fichiers : "));
                cliquer(60);
            });
    operation(7, s);
    EXPECT_TRUE(infos().empty());
    EXPECT_TRUE(GLB_Liste_Mutex().empty());
}

// A processing panel leaves none of the operation controls 19 to 36 and none of the
// reconstitution buttons 37 to 39 behind it, whoever left them there.
TEST_F(PanneauDetourage, LeavesNoOperationControlNorReconstitutionButtonBehind) {
    enregistrer_controle(25, new QLabel(control(1)));  // owned by the body
    montrer(38, true);
    Scenario s;
    s.quand([&] { return !dialogs.de_genre(Genre::Ouvrir).empty() && au_repos(); },
            [&] { cliquer(60); });
    operation(7, s);
    EXPECT_EQ(control(25), nullptr);
    EXPECT_FALSE(control(38)->isVisible());
}

}  // namespace
}  // namespace vellumor::app::test
