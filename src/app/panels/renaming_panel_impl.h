#pragma once

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/panels/launchers.h"
#include "app/panels/panel.h"
#include "ops/renaming/renaming_constants.h"
#include "ops/renaming/sequence.h"

// The renaming window's class, shared by its layout (renaming_panel_layout.cpp) and its events
// (renaming_panel.cpp).
namespace vellumor::app {

// The file-number test of the image list: its message, and the clipboard replaced by its findings.
// True when it found nothing to report.
bool executer_test_numeros(FenetrePrincipale& f);

inline constexpr Couleur kFondBarreRenommage = 0x0092DAF4;
inline constexpr Couleur kTexteEtiquetteOrigine = 0x00FF0000;      // blue on white
inline constexpr Couleur kFondChampOrigine = 0x00F55858;           // white on blue
inline constexpr Couleur kTexteEtiquetteRenommee = 0x000000FF;     // red on white
inline constexpr Couleur kFondChampRenomme = 0x004E4EE9;           // white on red
inline constexpr Couleur kFondExemple = 0x00E04C30;                // white on blue
inline constexpr Couleur kFondSourcesPairesImpaires = 0x0000FFFF;  // yellow
inline constexpr Couleur kTexteDernierNumero = 0x00FF0000;         // blue
inline constexpr Couleur kTexteAucunDernierNumero = 0x000000FF;    // red

// A control's text and background colours.
void colorer_controle(QWidget* w, Couleur texte, Couleur fond);

// The renaming window: the list shrunk to the top of the body, the original and renamed name
// patterns under it, the sources and sequence frames at its right.
class FenetreRenommage : public Panneau {
  public:
    FenetreRenommage(FenetrePrincipale& f, ModeRenommage mode) : Panneau(f), mode_(mode) {
        fond_barre = kFondBarreRenommage;
        boutons_barre = {kAnnuler, kRenommer, kTesterNumerotation};
    }

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;

  private:
    QLabel* etiquette(int numero, std::string_view texte, int x, int y);
    QLineEdit* champ(int numero, const std::string& texte, const QLabel& voisin, Couleur fond);
    QSpinBox* compteur(int numero, const QLabel& voisin, int largeur, int mini, int maxi);
    QRadioButton* option(int numero, std::string_view texte, int x, int y, QButtonGroup& groupe);
    void construire_motifs(const QRect& liste);
    void construire_cadres_droits(const QRect& liste);
    void appliquer_mode();

    std::optional<std::int64_t> premier_numero_saisi() const;
    std::optional<renaming::ParametresRenommage> parametres_saisis() const;
    std::int64_t dernier_numero_suite(std::int64_t premier) const;
    void sur_premier_numero();
    void afficher_dernier_numero();
    void calculer_exemple();
    void renommer();

    ModeRenommage mode_;
    int hauteur_ligne_ = 20;
    // The source pages and the step are two choices: one option of each is always selected.
    QButtonGroup sources_;
    QButtonGroup pas_suite_;
};

}  // namespace vellumor::app
