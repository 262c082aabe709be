#include "app/panels/panel.h"

#include <QCheckBox>
#include <QPointer>
#include <memory>

#include "app/main_window_ids.h"
#include "panel_fixture.h"

namespace vellumor::app::test {
namespace {

// What the panel asked of a run, and whether the run is still alive.
struct Journal {
    bool demarre = false, arret = false, attendu = false, detruit = false;
};

// A run whose workers the test plays: it reports when told to.
class ExecutionJouee : public Execution {
  public:
    ExecutionJouee(std::shared_ptr<Journal> j, bool demarrable) : j_(j), demarrable_(demarrable) {}
    ~ExecutionJouee() override { j_->detruit = true; }
    bool demarrer() override {
        j_->demarre = true;
        return demarrable_;
    }
    void demander_arret() override { j_->arret = true; }
    void attendre() override { j_->attendu = true; }
    void finir() { signaler_fin(); }
    void abandonner() { signaler_abandon(); }

  private:
    std::shared_ptr<Journal> j_;
    bool demarrable_;
};

constexpr int kBoite = kPremierControleOperation;

// A window on the panel pattern: one check box of its own, a run started by the test.
class PanneauEssai : public Panneau {
  public:
    explicit PanneauEssai(FenetrePrincipale& f) : Panneau(f) {
        fond_barre = 0x123456;
        boutons_barre = {kAnnuler, kReconstituer};
    }
    ExecutionJouee* demarrer(bool demarrable = true) {
        auto e = std::make_unique<ExecutionJouee>(journal, demarrable);
        ExecutionJouee* r = e.get();
        return lancer(std::move(e)) ? r : nullptr;
    }
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    std::vector<std::string> recu;
    bool quitter_a_l_ouverture = false;

  protected:
    void construire() override {
        Panneau::construire();
        auto* b = creer<QCheckBox>(kBoite, QStringLiteral("Essai"));
        relayer_clics(b, kBoite);
        b->show();
    }
    void traiter(int numero, TypeEvenement type) override {
        if (numero == kBoite) recu.push_back("boite");
        Panneau::traiter(numero, type);
    }
    void ouvert() override {
        if (quitter_a_l_ouverture) quitter();
    }
    void execution_terminee() override { recu.push_back("terminee"); }
    void execution_abandonnee() override { recu.push_back("abandonnee"); }
};

using PanneauBase = PanneauTest;

TEST_F(PanneauBase, TakesOverWindowOneAndGivesItBackAsItWas) {
    const QRect liste = control(kListeFichiers)->geometry();
    const QRect statut = control(kStatutDossier)->geometry();
    PanneauEssai p(*fenetre);
    QPointer<QWidget> boite;
    Scenario s;
    s.quand([] { return control(kBoite) != nullptr; },
            [&] {
                boite = control(kBoite);
                EXPECT_EQ(fond_barre(), qcouleur(0x123456));
                for (int n = kPremierBoutonColonne; n <= kDernierBoutonColonne; ++n)
                    EXPECT_FALSE(control(n)->isVisible()) << n;
                EXPECT_TRUE(control(kAnnuler)->isVisible());
                EXPECT_TRUE(control(kReconstituer)->isVisible());
                EXPECT_FALSE(control(kQuitter)->isVisible());
                EXPECT_EQ(control(kStatutDossier)->geometry(), QRect(30, 10, 1020, 40));
                EXPECT_EQ(control(kListeFichiers)->geometry(),
                          QRect(30, 50, 1020, liste.height() + 20));
                cliquer(kBoite);
                cliquer(kAnnuler);
            });
    IssuePanneau issue{};
    s.pendant(*fenetre, [&] { issue = p.executer(); });
    EXPECT_EQ(issue, IssuePanneau::Quitte);
    EXPECT_EQ(p.recu, std::vector<std::string>{"boite"});
    EXPECT_EQ(control(kBoite), nullptr);  // its number is free at once
    ASSERT_FALSE(boite.isNull());         // the widget goes with deleteLater
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(boite.isNull());
    EXPECT_EQ(control(kListeFichiers)->geometry(), liste);
    EXPECT_EQ(control(kStatutDossier)->geometry(), statut);
    EXPECT_TRUE(control(kQuitter)->isVisible());
    EXPECT_FALSE(control(kAnnuler)->isVisible());
    EXPECT_FALSE(control(kReconstituer)->isVisible());
    EXPECT_EQ(fond_barre(), qcouleur(kFondBarreBasAccueil));
}

// A run that reports its end or its abandonment goes at once; "Annuler" leaves only without a run.
TEST_F(PanneauBase, ARunGoesWhenItReportsAndTheIssueSaysHowItEnded) {
    struct Cas {
        bool abandon;
        const char* recu;
        IssuePanneau issue;
    };
    for (const Cas& c : {Cas{false, "terminee", IssuePanneau::Termine},
                         Cas{true, "abandonnee", IssuePanneau::Quitte}}) {
        PanneauEssai p(*fenetre);
        Scenario s;
        s.quand([] { return control(kBoite) != nullptr; },
                [&] {
                    ExecutionJouee* e = p.demarrer();
                    ASSERT_NE(e, nullptr);
                    cliquer(kAnnuler);  // a run is going on: the panel stays
                    EXPECT_NE(control(kBoite), nullptr);
                    c.abandon ? e->abandonner() : e->finir();
                    EXPECT_TRUE(p.journal->detruit);
                    cliquer(kAnnuler);
                });
        IssuePanneau issue{};
        s.pendant(*fenetre, [&] { issue = p.executer(); });
        EXPECT_EQ(p.recu, std::vector<std::string>{c.recu}) << c.recu;
        EXPECT_EQ(issue, c.issue) << c.recu;
        fenetre->attendre_les_travaux();
        EXPECT_FALSE(p.journal->attendu) << "the shutdown no longer waits for it";
    }
}

TEST_F(PanneauBase, APanelThatLeavesAsItOpensReturnsAtOnce) {
    PanneauEssai p(*fenetre);
    p.quitter_a_l_ouverture = true;
    EXPECT_EQ(p.executer(), IssuePanneau::Quitte);
    EXPECT_EQ(control(kBoite), nullptr);
    EXPECT_TRUE(control(kQuitter)->isVisible());
}

TEST_F(PanneauBase, ARunThatCannotStartIsNotKept) {
    PanneauEssai p(*fenetre);
    Scenario s;
    s.quand([] { return control(kBoite) != nullptr; },
            [&] {
                EXPECT_EQ(p.demarrer(false), nullptr);
                EXPECT_TRUE(p.journal->detruit);
                cliquer(kAnnuler);
            });
    s.pendant(*fenetre, [&] { p.executer(); });
    EXPECT_TRUE(p.recu.empty());
}

// Closing window 1 during a run asks it to stop; the shutdown then waits for its workers.
TEST_F(PanneauBase, ClosingWindowOneStopsTheRunAndTheShutdownWaitsForIt) {
    PanneauEssai p(*fenetre);
    ExecutionJouee* e = nullptr;
    Scenario s;
    s.quand([] { return control(kBoite) != nullptr; },
            [&] {
                e = p.demarrer();
                fenetre->close();
            });
    IssuePanneau issue{};
    s.pendant(*fenetre, [&] { issue = p.executer(); });
    EXPECT_EQ(issue, IssuePanneau::Ferme);
    EXPECT_TRUE(p.journal->arret);
    EXPECT_FALSE(p.journal->detruit);
    ASSERT_NE(e, nullptr);
    e->finir();  // a late report reaches no panel
    EXPECT_TRUE(p.recu.empty());
    fenetre->attendre_les_travaux();
    EXPECT_TRUE(p.journal->attendu);
    EXPECT_TRUE(p.journal->detruit);
}

// 18 at (30, y) as wide as the body less 60 or as asked, 17 right below it as wide as 18.
TEST_F(PanneauBase, PlacesTheFolderLineAndTheListBelowIt) {
    struct Placeur : Panneau {
        using Panneau::Panneau;
        using Panneau::placer_liste;
    } p(*fenetre);
    struct Cas {
        int hauteur, largeur, y;
        QRect statut, liste;
    };
    for (const Cas& c : {Cas{200, 0, 10, {30, 10, 1020, 40}, {30, 50, 1020, 200}},
                         Cas{150, 720, 10, {30, 10, 720, 40}, {30, 50, 720, 150}},
                         Cas{90, 0, 26, {30, 26, 1020, 40}, {30, 66, 1020, 90}}}) {
        EXPECT_TRUE(p.placer_liste(c.hauteur, c.largeur, c.y));
        EXPECT_EQ(control(kStatutDossier)->geometry(), c.statut) << c.hauteur;
        EXPECT_EQ(control(kListeFichiers)->geometry(), c.liste) << c.hauteur;
    }
}

}  // namespace
}  // namespace vellumor::app::test
