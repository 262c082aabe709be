#pragma once

#include <QWidget>

namespace vellumor::app {

// The program names its windows, controls and tool bars by small numbers; a number means the same
// object everywhere. Each registry maps a number to the object that holds it now and forgets it
// when the object is destroyed, so that a call on a control that does not exist finds nullptr.
QWidget* control(int numero);
QWidget* fenetre(int numero);
QWidget* barre_outils(int numero);

template <class T>
T* control_as(int numero) {
    return qobject_cast<T*>(control(numero));
}

// Registers w under numero; a control's objectName becomes its number written in decimal.
void enregistrer_controle(int numero, QWidget* w);
void enregistrer_fenetre(int numero, QWidget* w);
void enregistrer_barre_outils(int numero, QWidget* w);

// Removes a control when it exists: its number is free at once (control(numero) finds nullptr), the
// widget is hidden and goes with deleteLater, so that none of its signals is cut short.
void retirer_controle(int numero);

// The number w is registered under as a control, or -1.
int numero_de(const QWidget* w);

// Shows or hides, enables or disables a control when it exists; nothing otherwise.
void montrer(int numero, bool visible);
void activer(int numero, bool actif);

// The text of a label, a field or a spin box (empty when the control does not exist), and setting
// it.
QString texte_controle(int numero);
void definir_texte_controle(int numero, const QString& texte);

// The display value a window attaches to a control: 1 enabled look, 2 disabled look, 0 none.
int valeur_affichage(int numero);
void definir_valeur_affichage(int numero, int valeur);

}  // namespace vellumor::app
