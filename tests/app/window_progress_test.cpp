#include "app/window_progress.h"

#include <QElapsedTimer>
#include <atomic>

#include "app/list_helpers.h"
#include "batch/batch_run.h"
#include "imagelist/repartition_parite.h"
#include "support/waits.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

class WindowProgress : public FenetreTest {
  protected:
    PaireLots lots() {
        Repartition r = repartir_par_parite(
            GLB_Fichiers_Images(),
            {"GLB_Fichier_Pair_Essai", "GLB_Fichier_ImPair_Essai", 0x10003, 0x10004});
        return *r.lots;
    }
    // Lets the window handle posted reports until done() or two seconds have passed.
    template <class Fini>
    static void attendre(Fini done) {
        QElapsedTimer montre;
        montre.start();
        while (!done() && montre.elapsed() < 2000) QCoreApplication::processEvents();
    }
};

TEST_F(WindowProgress, WorkerReportsReachTheListBeforeTheirDoneEvents) {
    lister_pages(5);
    const LignesFixes lignes = lignes_de_la_liste(*fenetre);
    ASSERT_EQ(lignes.nombre_lignes(), 5);
    EXPECT_EQ(lignes.texte_ligne(4), "p5.png");
    ProgressionFenetre progression(*fenetre);
    int fins = 0;
    std::vector<int> icones_a_la_fin;
    for (int evenement : {0x10003, 0x10004})
        fenetre->sur_evenement(evenement, [&] {
            ++fins;
            for (int i = 0; i < 5; ++i) icones_a_la_fin.push_back(icone(i));
        });
    {
        ExecutionLot run(lots(), {&lignes, &progression, 5, texte_progression});
        ASSERT_TRUE(run.demarrer([](Travailleur& t) {
            {
                auto verrou = t.verrou();
                t.debuter_entete(verrou);
            }
            for (std::size_t i = 0; i < t.lot().Fichiers.size(); ++i) {
                auto verrou = t.verrou();
                t.icone(verrou, t.ligne_du_fichier(verrou, i), kIconeFait);
                t.compter_fichier(verrou);
            }
            t.poster_fin();
        }));
        attendre([&] { return fins == 2; });
    }
    ASSERT_EQ(fins, 2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(icone(i), kIconeFait) << i;
    // When the second done event is handled every row already shows its final icon.
    ASSERT_EQ(icones_a_la_fin.size(), 10u);
    for (int i = 5; i < 10; ++i) EXPECT_EQ(icones_a_la_fin[i], kIconeFait);
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 5 fichiers (Fichiers traités : 5/5)"));
}

TEST_F(WindowProgress, MessagesAndRowTextsAreShownOnTheMainThread) {
    lister_pages(2);
    liste().setColumnCount(3);
    ProgressionFenetre progression(*fenetre);
    std::thread fil([&] {
        progression.texte_ligne(1, 2, "Img__2.png");
        progression.texte_ligne(7, 2, "hors de la liste");
        progression.message({Message::Kind::BoiteMessage, "Erreur", "\nsans page", "", 0x10});
    });
    fil.join();
    EXPECT_TRUE(dialogs.appels.empty());
    traiter_evenements();
    EXPECT_EQ(liste().topLevelItem(1)->text(2), QStringLiteral("Img__2.png"));
    ASSERT_EQ(dialogs.appels.size(), 1u);
    EXPECT_EQ(dialogs.appels[0].tache.corps, QStringLiteral("sans page"));
}

TEST_F(WindowProgress, ShutdownStopsARunAfterThePageBeingWritten) {
    lister_pages(6);
    const LignesFixes lignes = lignes_de_la_liste(*fenetre);
    ProgressionFenetre progression(*fenetre);
    std::atomic<int> pages_finies{0};
    std::atomic<bool> page_entamee{false};
    ExecutionLot run(lots(), {&lignes, &progression, 6, texte_progression});
    ASSERT_TRUE(run.demarrer([&](Travailleur& t) {
        for (std::size_t i = 0; i < t.lot().Fichiers.size() && !t.arret_demande(); ++i) {
            page_entamee = true;
            // The page is being written until the shutdown asks the run to stop.
            vellumor::test::attendre_que([&] { return t.arret_demande(); });
            ++pages_finies;
        }
        t.poster_fin();
    }));
    const int attente = fenetre->a_l_arret([&] {
        run.arreter();
        run.attendre();
    });
    EXPECT_GT(attente, 0);
    ASSERT_TRUE(vellumor::test::attendre_que([&] { return page_entamee.load(); }));
    fenetre->attendre_les_travaux();
    EXPECT_TRUE(run.attendre_pour(std::chrono::milliseconds(0)));
    EXPECT_GE(pages_finies.load(), 1);
    EXPECT_LT(pages_finies.load(), 6);

    int appels = 0;
    fenetre->retirer_attente(fenetre->a_l_arret([&] { ++appels; }));
    fenetre->attendre_les_travaux();
    EXPECT_EQ(appels, 0);
}

}  // namespace
}  // namespace vellumor::app::test
