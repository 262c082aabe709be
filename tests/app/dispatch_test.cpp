#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include "app/controls.h"
#include "app/events.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/panels/numbering_ids.h"
#include "app/panels/reconstitution_ids.h"
#include "app/panels/renaming_ids.h"
#include "app/startup.h"
#include "app/static_colours.h"
#include "settings/preferences.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

class Dispatch : public FenetreTest {
  protected:
    void lister(int n) {
        lister_pages(n);
        activer_selon_liste(*fenetre);
    }
    QImage bandeau() { return control_as<QLabel>(97)->pixmap().toImage(); }
};

TEST_F(Dispatch, OperationButtonsRetitleTheBannerAndResetIconsWhenTheOperationWantsIt) {
    lister(2);
    definir_icone_ligne(*fenetre, 0, 2);
    const QImage accueil = bandeau();
    // The numbering window opens with the icons as they were; it is left at once.
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(icone(0), 2);
        EXPECT_NE(bandeau(), accueil);
        control_as<QPushButton>(101)->click();
    });
    control_as<QPushButton>(10)->click();
    // Renaming keeps the list when asked, resets the icons, and is left at once.
    dialogs.reponses_simples.push_back(kCodeNon);
    QTimer::singleShot(0, [] { control_as<QPushButton>(60)->click(); });
    control_as<QPushButton>(11)->click();
    EXPECT_EQ(icone(0), kIconeNeutre);
    restaurer_etat_principal(*fenetre);
    EXPECT_EQ(bandeau(), accueil);
}

TEST_F(Dispatch, QuitClosesWindowOne) {
    bool ferme = false;
    QObject::connect(fenetre.get(), &FenetrePrincipale::ferme, [&] { ferme = true; });
    control_as<QPushButton>(3)->click();
    EXPECT_TRUE(ferme);
    EXPECT_TRUE(fenetre->fermeture_demandee());
    EXPECT_FALSE(fenetre->isVisible());
}

TEST_F(Dispatch, CancelWithNoOperationWindowClosesTheWindowOnceItsEventsRun) {
    bool ferme = false;
    QObject::connect(fenetre.get(), &FenetrePrincipale::ferme, [&] { ferme = true; });
    fenetre->traiter_controle(60);
    EXPECT_TRUE(fenetre->isVisible());  // the close is posted
    EXPECT_FALSE(ferme);
    traiter_evenements();
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_TRUE(ferme);
}

TEST_F(Dispatch, PostedEventsReachTheHandlersOfTheirNumber) {
    int recus = 0;
    fenetre->sur_evenement(0x10003, [&] { ++recus; });
    fenetre->poster(0x10003);
    fenetre->poster(0x10004);
    EXPECT_EQ(recus, 0);
    traiter_evenements();
    EXPECT_EQ(recus, 1);
}

TEST_F(Dispatch, ManagedButtonsHideShowAndSkipTheOnesThatKeepTheirState) {
    masquer_boutons_geres(*fenetre);
    for (int n = 4; n <= 13; ++n) EXPECT_FALSE(control(n)->isVisible()) << n;
    auto* garde = new QPushButton(control(1));  // owned by the body
    enregistrer_controle(65, garde);
    auto* cache = new QPushButton(control(1));
    enregistrer_controle(79, cache);
    fenetre->GLB_Boutons().push_back(65);
    fenetre->GLB_Boutons().push_back(79);
    restaurer_etat_principal(*fenetre);
    for (int n = 4; n <= 13; ++n) EXPECT_TRUE(control(n)->isVisible()) << n;
    EXPECT_FALSE(cache->isVisible());

    lister(1);
    garde->setEnabled(false);
    activer_selon_liste(*fenetre);
    EXPECT_FALSE(garde->isEnabled());  // left as it is while there are rows
    EXPECT_TRUE(control(12)->isEnabled());
    garde->setEnabled(true);
    effacer_liste(*fenetre);
    activer_selon_liste(*fenetre);
    EXPECT_FALSE(garde->isEnabled());
    EXPECT_TRUE(cache->isEnabled());
}

TEST_F(Dispatch, RestoringTheMainStateClosesTheNumberingWindowsAndToolBars) {
    QWidget f4;
    enregistrer_fenetre(4, &f4);
    f4.show();
    auto* barre = new QWidget(control(1));  // owned by the body
    enregistrer_barre_outils(0, barre);
    restaurer_etat_principal(*fenetre);
    EXPECT_FALSE(f4.isVisible());
    traiter_evenements();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(barre_outils(0), nullptr);
}

// The numbers that window 1's helpers treat apart are those of the windows that use them.
TEST(NumerosGeres, AreTheNumbersOfTheirWindows) {
    using V = std::vector<int>;
    const struct {
        V fenetre_1, leurs;
    } cas[] = {
        {V(std::begin(kGeresCachesAuRetour), std::end(kGeresCachesAuRetour)),
         {kCadreFichiersOrigine, kCadreFichiersRenommes}},
        {V(std::begin(kGeresLaissesEnEtat), std::end(kGeresLaissesEnEtat)),
         {kCoinPairBasGauche, kCoinPairBasDroit, kCoinImpairBasGauche, kCoinImpairBasDroit}},
        {V(std::begin(kFenetresOutilsFermeesAuRetour), std::end(kFenetresOutilsFermeesAuRetour)),
         {kFenetreChargerListe, kFenetreChargerImages}},
        {V(std::begin(kBarresOutilsLibereesAuRetour), std::end(kBarresOutilsLibereesAuRetour)),
         {kBarreChargerListe, kBarreChargerImages}},
    };
    for (const auto& c : cas) EXPECT_EQ(c.fenetre_1, c.leurs);
}

TEST(StaticColours, ColoursFollowControlNumberAndDisplayValue) {
    using T = CouleurStatique::Traitement;
    EXPECT_EQ(couleur_statique(40, 0, false).traitement, T::Defaut);
    EXPECT_EQ(couleur_statique(36, 0, false), (CouleurStatique{T::FondBlanc, true, 0x70180B}));
    EXPECT_EQ(couleur_statique(28, 0, true).texte, 0x0000FFu);
    EXPECT_EQ(couleur_statique(24, 0, false).texte, 0xFF0000u);
    EXPECT_EQ(couleur_statique(24, 0, true).texte, 0xFF6A6Au);
    EXPECT_EQ(couleur_statique(126, 0, true).texte, 0x6969FFu);
    EXPECT_EQ(couleur_statique(137, 1, false).texte, 0x000000u);
    EXPECT_EQ(couleur_statique(137, 2, false).texte, 0x808080u);
    EXPECT_EQ(couleur_statique(106, 1, false).texte, 0xFF0000u);
    EXPECT_EQ(couleur_statique(108, 1, false).texte, 0x0000FFu);
    EXPECT_EQ(couleur_statique(108, 2, false).texte, 0x808080u);
    EXPECT_EQ(couleur_statique(127, 2, false).texte, 0x808080u);
    EXPECT_EQ(couleur_statique(19, 0, false), (CouleurStatique{T::FondBlanc, false, 0}));
    EXPECT_EQ(couleur_statique(112, 0, false).texte_colore, false);
    EXPECT_EQ(couleur_statique(112, 0, false).traitement, T::FondBlanc);
    EXPECT_EQ(couleur_statique(18, 0, false).traitement, T::Defaut);
    EXPECT_EQ(couleur_statique(115, 0, false).traitement, T::Defaut);
    EXPECT_EQ(couleur_statique(96, 0, false).texte, 0xFF0000u);
}

TEST(StaticColours, RegisteredLabelsAreRecolouredByDisplayValueAndReconstitution) {
    installer_coloriage_statique();
    QWidget parent;
    auto* gris = new QLabel(&parent);  // owned by parent
    enregistrer_controle(137, gris);
    definir_valeur_affichage(137, 2);
    EXPECT_EQ(gris->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
    definir_valeur_affichage(137, 1);
    EXPECT_EQ(gris->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(gris->palette().color(QPalette::Window), QColor(255, 255, 255));
    auto* bleu = new QLabel(&parent);
    enregistrer_controle(24, bleu);
    EXPECT_EQ(bleu->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    definir_reconstitution_en_cours(true);
    EXPECT_EQ(bleu->palette().color(QPalette::WindowText), QColor(0x6A, 0x6A, 0xFF));
    definir_reconstitution_en_cours(false);
    EXPECT_EQ(bleu->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

}  // namespace
}  // namespace vellumor::app::test
