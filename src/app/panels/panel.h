#pragma once

#include <QEventLoop>
#include <QObject>
#include <QRect>
#include <QString>
#include <memory>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "app/panels/run.h"
#include "app/texte.h"
#include "batch/image.h"

namespace vellumor::app {

// The bottom bar's background (container 2).
void colorer_barre_bas(Couleur fond);

// How a panel was left.
enum class IssuePanneau {
    Termine,  // a run went to its end, then the panel was left
    Quitte,   // left without a completed run
    Ferme,    // window 1 was closed while the panel was open
};

// What every operation window shares: it takes over window 1's body and bottom bar (bar colour,
// managed buttons hidden, its bottom-bar buttons shown in place of "Quitter", controls 17 and 18
// moved), runs its own loop until it is left, drives at most one run at a time, and gives window 1
// back as it found it. A window derives from it, describes its controls in construire() and handles
// their events in traiter().
class Panneau : public QObject, private EcouteurExecution {
  public:
    explicit Panneau(FenetrePrincipale& f);
    ~Panneau() override;

    // Opens the panel and runs its loop until it is left or window 1 is closed.
    IssuePanneau executer();

  protected:
    // The bottom bar's background while the panel is open.
    Couleur fond_barre = 0xACF4F3;
    // The bottom-bar buttons shown while the panel is open ("Annuler" unless the window says
    // otherwise); "Quitter" is hidden meanwhile.
    std::vector<int> boutons_barre;

    // Places 17 and 18 (their geometry is saved first) and builds the panel's own controls. By
    // default placer_liste() makes 17 20 pixels taller than it was.
    virtual void construire();
    // Once the panel is on screen (a panel that starts by itself posts its first click here); a
    // window that has nothing to show may leave from here.
    virtual void ouvert() {}
    // An event of a control while the panel is open; by default "Annuler" leaves it when no run
    // is in progress. Every event is the panel's while it is open.
    virtual void traiter(int numero, TypeEvenement type);
    // Gives back what the panel took beyond its own controls, when it is left or window 1 closes.
    virtual void rendre() {}
    // A run went to its end, or ended without its done events.
    virtual void execution_terminee() {}
    virtual void execution_abandonnee() {}

    // A control of the panel: registered under numero, owned by the body, removed with deleteLater
    // when the panel is left.
    template <class W, class... Args>
    W* creer(int numero, Args&&... args) {
        auto* w = new W(std::forward<Args>(args)..., corps());  // owned by the body
        adopter(numero, w);
        return w;
    }
    void adopter(int numero, QWidget* w);
    // Clicks on button reach traiter() as events of control numero.
    void relayer_clics(QObject* bouton, int numero);
    QWidget* corps() const;

    // Starts run and follows it until its workers have reported; false when it could not start.
    // Should the program end meanwhile, the pages being written finish first.
    bool lancer(std::unique_ptr<Execution> run);
    bool en_cours() const { return execution_ != nullptr; }
    void arreter_execution();
    // Leaves the panel: window 1 gets its body and bottom bar back, the loop ends.
    void quitter();
    void poster_clic(int numero);
    // 18 at (30, y), as wide as the body less 60 (or largeur when given), and 17 right below it,
    // as wide as 18 and hauteur high. False, and nothing moved, when the body, 17 or 18 is missing.
    bool placer_liste(int hauteur, int largeur = 0, int y = 10);
    // The first column of 17 fits its header and its names, and at least fills what the second
    // column and a scroll bar leave of the list.
    void ajuster_premiere_colonne();

    FenetrePrincipale& f_;
    QRect liste_sauvee_;  // 17 before the panel moved it
    QRect statut_sauve_;  // 18 before the panel moved it
    bool execution_finie_ = false;
    // Where the run that ended kept the pages it replaced.
    std::vector<std::filesystem::path> originaux_gardes_;

  private:
    void entrer();
    bool intercepter(int numero, TypeEvenement type);
    void liberer_controles();
    void sur_fermeture();
    void travailleurs_termines() override;
    void abandon_signale() override;
    void oublier_execution();

    QEventLoop boucle_;
    std::shared_ptr<Execution> execution_;
    int attente_ = 0;           // the run's wait at shutdown
    std::vector<int> propres_;  // the panel's own controls
    bool ouvert_ = false;
    IssuePanneau issue_ = IssuePanneau::Quitte;
};

}  // namespace vellumor::app
