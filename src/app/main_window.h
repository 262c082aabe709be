#pragma once

#include <QFont>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "app/dialogs.h"
#include "app/resources.h"

namespace vellumor::app {

inline constexpr int kLargeurClient = 1080;
inline constexpr int kHauteurClient = 667;  // 1080 divided by the golden ratio, rounded
inline constexpr const char* kTitreAccueil = "Coloriser/détourer/nettoyer les images";
inline constexpr const char* kTitreTraitementEnCours = " Un traitement est en cours… ";

// What a control reports to the dispatcher.
enum class TypeEvenement { Clic, Changement, FlecheHaut, FlecheBas };

// Window 1: banner, operation buttons, file list, status line and bottom bar. Its dispatcher
// starts the operations; operation panels find here what they share with the main state.
class FenetrePrincipale : public QWidget {
    Q_OBJECT
  public:
    FenetrePrincipale(Ressources& ressources, Dialogs& dialogs, const QString& titre);

    Ressources& ressources() { return ressources_; }
    Dialogs& dialogs() { return dialogs_; }
    // The control numbers enabled, disabled, hidden and shown together: 4 to 13 after the build.
    std::vector<int>& GLB_Boutons() { return boutons_; }
    QTreeWidget* liste() const;  // control 17, or nullptr

    const QFont& police_liste() const { return police_liste_; }
    const QFont& police_liste_soulignee() const { return police_liste_soulignee_; }

    // A control of this window or of an operation panel reports an event.
    void traiter_controle(int numero, TypeEvenement type = TypeEvenement::Clic);
    // Runs action when event numero is posted to this window (the done events of a run); an empty
    // action forgets the event; an action may forget or replace its own event while it runs.
    void sur_evenement(int numero, std::function<void()> action);
    void poster(int numero);

    // Called at shutdown, after the preferences are written and before any widget goes: each one
    // stops its run's workers once the page being written is finished (ExecutionLot::arreter,
    // then attendre). A run that ends first withdraws its wait with the number it was given.
    int a_l_arret(std::function<void()> attendre);
    void retirer_attente(int numero);
    // While an operation panel runs its own loop, it sees the controls' events first (true: it
    // took the event). Returns the previous one, which the panel puts back when it is left.
    using Intercepteur = std::function<bool(int numero, TypeEvenement type)>;
    Intercepteur intercepter_controles(Intercepteur panneau);
    // At shutdown: lets every run finish its pages being written; when the window was closed
    // during a run, says how many rows were done.
    void attendre_les_travaux();
    bool fermeture_demandee() const { return fermeture_demandee_; }

  signals:
    // Window 1 was closed: the main loop ends and the shutdown follows.
    void ferme();

  protected:
    void customEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void construire();
    void construire_bandeau();
    void construire_corps();
    void construire_liste(QWidget* corps);
    void construire_barre_bas();
    void traiter_evenement(int numero);

    Ressources& ressources_;
    Dialogs& dialogs_;
    std::vector<int> boutons_;
    QFont police_liste_;
    QFont police_liste_soulignee_;
    std::map<int, std::function<void()>> actions_;
    std::map<int, std::function<void()>> attentes_;
    int prochaine_attente_ = 0;
    Intercepteur intercepteur_;
    bool fermeture_demandee_ = false;
};

}  // namespace vellumor::app
