#include "app/static_colours.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <iterator>

#include "app/colours.h"
#include "app/controls.h"
#include "app/main_window_ids.h"
#include "app/panels/numbering_ids.h"
#include "app/panels/reconstitution_ids.h"
#include "app/windows/exceptions_ids.h"
#include "app/panels/cleaning_ids.h"

namespace vellumor::app {
namespace {

bool coloriage_installe = false;
bool reconstitution_active = false;

CouleurStatique colore(Couleur c) {
    return {CouleurStatique::Traitement::FondBlanc, true, c};
}

constexpr Couleur kRouge = 0x0000FF;
constexpr Couleur kBleu = 0xFF0000;
constexpr Couleur kGris = 0x808080;

// The labels of each group, by window.
constexpr int kBleus[] = {kCadrePagesPaires,        kCadreOptionsNettoyage,
                          kTexteCoinPairHautGauche, kTexteCoinPairHautDroit,
                          kTexteCoinPairBasGauche,  kTexteCoinPairBasDroit};
constexpr int kRouges[] = {kCadrePagesImpaires,
                           kTexteCoinImpairHautGauche,
                           kTexteCoinImpairHautDroit,
                           kTexteCoinImpairBasGauche,
                           kTexteCoinImpairBasDroit,
                           kCadreDebutFin,
                           kCadreModeles,
                           kCadreParametres};
// From reconstitution's corner options through the renaming window's frames and options to the
// cleaning boxes.
constexpr int kDerniereCaseNettoyage = kCasesMotifs.back();
constexpr int kNoirsOuGris[] = {kTexteChargerListe, kTexteChargerImages,  kTexteOffsetX,
                                kTexteOffsetY,      kTexteEpaisseurCadre, kTexteEspacement,
                                kTexteOffsetReliure};

template <std::size_t N>
bool parmi(int n, const int (&liste)[N]) {
    return std::find(std::begin(liste), std::end(liste), n) != std::end(liste);
}

bool entre(int n, int premier, int dernier) {
    return n >= premier && n <= dernier;
}

}  // namespace

CouleurStatique couleur_statique(int n, int valeur, bool reconstitution) {
    if (n == kUniteOffsetReliure || n == kUniteOffsetSuperieur) return {};
    if (n == kNomImageVierge) return colore(0x70180B);
    if (n == kTexteFormat) return colore(kRouge);
    if (n == kTexteBleu) return colore(kBleu);
    if (parmi(n, kBleus)) return colore(reconstitution ? 0xFF6A6A : kBleu);
    if (parmi(n, kRouges)) return colore(reconstitution ? 0x6969FF : kRouge);
    if (parmi(n, kNoirsOuGris)) return colore(valeur == 1 ? kBlack : kGris);
    if (n == kTexteDebut) return colore(valeur == 1 ? kBleu : kGris);
    if (n == kTexteFin) return colore(valeur == 1 ? kRouge : kGris);
    if (entre(n, kPremierControleOperation, kDernierBoutonReconstitution) ||
        entre(n, kPremiereOptionReconstitution, kDerniereCaseNettoyage) || n == kCadrePosition ||
        entre(n, kNumeroReserve, kHautAuCentre) || entre(n, kModeleDisque, kModeleAnneau))
        return {CouleurStatique::Traitement::FondBlanc, false, kBlack};
    return {};
}

void installer_coloriage_statique() {
    coloriage_installe = true;
}

void definir_reconstitution_en_cours(bool en_cours) {
    reconstitution_active = en_cours;
    for (int n : kBleus) appliquer_couleur_statique(control(n));
    for (int n : kRouges) appliquer_couleur_statique(control(n));
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
