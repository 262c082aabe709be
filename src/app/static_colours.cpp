#include "app/static_colours.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <initializer_list>

#include "app/colours.h"
#include "app/controls.h"

namespace vellumor::app {
namespace {

bool coloriage_installe = false;
bool reconstitution_active = false;

bool parmi(int n, std::initializer_list<int> liste) {
    return std::find(liste.begin(), liste.end(), n) != liste.end();
}

CouleurStatique colore(Couleur c) {
    return {CouleurStatique::Traitement::FondBlanc, true, c};
}

constexpr Couleur kRouge = 0x0000FF;
constexpr Couleur kBleu = 0xFF0000;
constexpr Couleur kGris = 0x808080;

}  // namespace

CouleurStatique couleur_statique(int n, int valeur, bool reconstitution) {
    if (parmi(n, {40, 41})) return {};
    if (n == 36) return colore(0x70180B);
    if (n == 28) return colore(kRouge);
    if (n == 35) return colore(kBleu);
    if (parmi(n, {24, 96, 67, 68, 69, 70})) return colore(reconstitution ? 0xFF6A6A : kBleu);
    if (parmi(n, {25, 75, 76, 77, 78, 105, 117, 126}))
        return colore(reconstitution ? 0x6969FF : kRouge);
    if (parmi(n, {137, 138, 127, 129, 131, 133, 135})) return colore(valeur == 1 ? kBlack : kGris);
    if (n == 106) return colore(valeur == 1 ? kBleu : kGris);
    if (n == 108) return colore(valeur == 1 ? kRouge : kGris);
    if ((n >= 19 && n <= 39) || (n >= 63 && n <= 95) || n == 104 || (n >= 110 && n <= 114) ||
        (n >= 122 && n <= 125))
        return {CouleurStatique::Traitement::FondBlanc, false, kBlack};
    return {};
}

void installer_coloriage_statique() {
    coloriage_installe = true;
}
bool coloriage_statique_installe() {
    return coloriage_installe;
}

void definir_reconstitution_en_cours(bool en_cours) {
    reconstitution_active = en_cours;
    for (int n : {24, 96, 67, 68, 69, 70, 25, 75, 76, 77, 78, 105, 117, 126})
        appliquer_couleur_statique(control(n));
}

bool reconstitution_en_cours() {
    return reconstitution_active;
}

void appliquer_couleur_statique(QWidget* w) {
    if (!w || !coloriage_installe || qobject_cast<QPushButton*>(w)) return;
    const bool statique = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                          qobject_cast<QGroupBox*>(w);
    if (!statique) return;
    const int n = numero_de(w);
    const CouleurStatique c = couleur_statique(n, valeur_affichage(n), reconstitution_active);
    if (c.traitement == CouleurStatique::Traitement::Defaut) return;
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(w->backgroundRole(), Qt::white);  // check and option boxes fill with Button
    if (c.texte_colore) {
        p.setColor(QPalette::WindowText, qcouleur(c.texte));
        p.setColor(QPalette::ButtonText, qcouleur(c.texte));
    }
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

}  // namespace vellumor::app
