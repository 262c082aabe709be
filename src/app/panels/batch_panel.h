#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <string_view>

#include "app/panels/panel.h"
#include "batch/batch_run.h"
#include "ops/description.h"

namespace vellumor::app {

// What sets one batch operation's panel apart from the others.
struct DescriptionLot {
    int bouton_depart = 0;          // 16, 14 or 15, moved into the bottom bar
    Couleur fond_barre = 0xACF4F3;  // bottom bar while the panel is open
    QString titre_erreur;           // window title of the panel's error boxes
    QString titre_dialogue;         // file dialog shown when the list is empty
    std::string_view texte_fin;     // body of the completion message (a constant of the core)
    int evenement_verification = 0;
    ConstantesLots lots;
    bool demarre_seul = false;       // posts a click on its start button when it opens
    bool efface_liste_vide = false;  // clears the list before selecting into an empty one
    std::function<ExecutionLot::Travail()> travail;  // the workers' body, made at each start
    // Names the run folders that keep the pages it replaces (kOperationNettoyage); none when
    // it writes other files.
    const char* originaux = nullptr;
};

// The panel of operation, started by bouton_depart; the caller sets the rest.
DescriptionLot decrire_lot(const DescriptionOperation& operation, int bouton_depart);

// The processing panel shared by cleaning, cropping and colourising: the operation's start button
// in the bottom bar, the image list split by parity between the two workers, their reports painted
// on the file list, the completion message (or, chained, leaving at once).
class PanneauLot : public Panneau {
  public:
    PanneauLot(FenetrePrincipale& f, DescriptionLot d, bool enchaine);

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;
    void execution_terminee() override;
    // Places 18 and 17 and builds the operation's own controls (cleaning: its options frame).
    virtual void disposer() { Panneau::construire(); }
    // Enables or disables the panel's own options with the other controls.
    virtual void activer_options(bool) {}

  private:
    void demarrer();
    bool preparer_liste();
    void lancer_travailleurs();
    void reactiver();

    DescriptionLot d_;
    bool enchaine_;
    QWidget* parent_depart_ = nullptr;
    QRect geometrie_depart_;
};

}  // namespace vellumor::app
