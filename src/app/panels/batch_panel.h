#pragma once

#include <QEventLoop>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

#include "app/main_window.h"
#include "batch/batch_run.h"
#include "batch/image.h"

namespace vellumor::app {

// A text of the core (UTF-8) as the widgets show it.
inline QString texte_utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// What sets one operation's panel apart from the others.
struct DescriptionLot {
    int bouton_depart = 0;          // 16, 14 or 15, moved into the bottom bar
    Couleur fond_barre = 0xACF4F3;  // bottom bar while the panel is open
    QString titre_erreur;           // window title of the panel's error boxes
    QString titre_dialogue;         // file dialog shown when the list is empty
    QString texte_fin;              // body of the completion message
    int evenement_verification = 0;
    ConstantesLots lots;
    bool demarre_seul = false;       // posts a click on its start button when it opens
    bool efface_liste_vide = false;  // clears the list before selecting into an empty one
    std::function<ExecutionLot::Travail()> travail;  // the workers' body, made at each start
};

// The description of an operation from its constants; the caller sets the rest.
DescriptionLot decrire_lot(int bouton_depart, std::string_view titre_erreur,
                           std::string_view titre_dialogue, std::string_view texte_fin,
                           int evenement_verification, ConstantesLots lots);

// How a panel was left.
enum class IssuePanneau {
    Termine,  // a run went to its end, then the panel was left
    Quitte,   // left by "Annuler" without a completed run
    Ferme,    // window 1 was closed while the panel was open
};

// The processing panel shared by cleaning, cropping and colourising: it takes over window 1's body
// and bottom bar, runs the operation's two workers while the window stays responsive (its own
// loop), paints their reports on the file list, and gives window 1 back when it is left.
class PanneauLot : public QObject {
  public:
    PanneauLot(FenetrePrincipale& f, DescriptionLot d, bool enchaine);
    ~PanneauLot() override;

    // Opens the panel and runs its loop until it is left.
    IssuePanneau executer();

  protected:
    // Places 18 and 17 (and any options) once the geometry of both has been saved.
    virtual void disposer();
    // Enables or disables the panel's own options with the other controls.
    virtual void activer_options(bool) {}
    // Destroys the panel's own controls when it is left.
    virtual void detruire_options() {}
    // A click on a control that is neither the start button nor "Annuler".
    virtual void traiter_autre(int) {}

    FenetrePrincipale& f_;
    QRect liste_sauvee_;
    QRect statut_sauve_;

  private:
    struct Execution;
    void entrer();
    bool traiter(int numero);
    void demarrer();
    bool preparer_liste();
    void lancer_travailleurs();
    void sur_evenement(int numero);
    void terminer();
    void reactiver();
    void quitter_jusqu_aux_controles();
    void quitter();
    void sur_fermeture();
    void poster_clic(int numero);
    void ajuster_premiere_colonne();

    DescriptionLot d_;
    bool enchaine_;
    QEventLoop boucle_;
    std::shared_ptr<Execution> execution_;
    int attente_ = 0;  // the run's wait at shutdown
    int fins_ = 0;     // workers that have posted their done event
    bool run_termine_ = false;
    bool ouvert_ = false;
    IssuePanneau issue_ = IssuePanneau::Quitte;
    QWidget* parent_depart_ = nullptr;
    QRect geometrie_depart_;
};

}  // namespace vellumor::app
