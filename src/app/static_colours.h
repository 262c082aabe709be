#pragma once

#include <QWidget>
#include <cstdint>

#include "batch/image.h"

namespace vellumor::app {

// How a label-like control is coloured, chosen from its number and its display value.
struct CouleurStatique {
    enum class Traitement {
        Defaut,    // the toolkit's own colours
        FondBlanc  // white background; the text colour is set when texte_colore
    };
    Traitement traitement = Traitement::Defaut;
    bool texte_colore = false;
    Couleur texte = kBlack;
    bool operator==(const CouleurStatique&) const = default;
};

// The colouring of control numero showing valeur_affichage; the light variants of the blue and red
// labels apply while a reconstitution runs.
CouleurStatique couleur_statique(int numero, int valeur_affichage, bool reconstitution_en_cours);

// The colouring is installed once at start when the stamp font loads; before that (or without that
// font) labels keep the toolkit's colours.
void installer_coloriage_statique();

// The reconstitution window sets this while its run goes on; registered labels are recoloured.
void definir_reconstitution_en_cours(bool en_cours);
bool reconstitution_en_cours();

// Colours w (a numbered label, check box, option button or frame) by the rule above.
void appliquer_couleur_statique(QWidget* w);

}  // namespace vellumor::app
