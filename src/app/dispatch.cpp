#include <QMetaObject>
#include <string_view>

#include "app/banner.h"
#include "app/events.h"
#include "app/list_helpers.h"
#include "app/list_saving.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/panels/launchers.h"
#include "app/texte.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/numbering/numbering_constants.h"
#include "ops/reconstitution/reconstitution_constants.h"
#include "ops/renaming/sequence.h"

namespace vellumor::app {
namespace {

// A button of the left column and the window it opens, with the banner title set first; the
// launcher returns once its window is left.
struct Lanceur {
    int bouton;
    std::string_view titre_bandeau;
    bool icones_reinitialisees;
    void (*lancer)(FenetrePrincipale&);
};

constexpr Lanceur kLanceurs[] = {
    {kTesterNumeros, renaming::kTitreBandeauTest, false,
     [](FenetrePrincipale& f) { lancer_renommage(f, ModeRenommage::Test); }},
    {kNetDetCol, kTitreAccueil, true, [](FenetrePrincipale& f) { lancer_chaine(f); }},
    {kNettoyage, cleaning::kDescription.titre_bandeau, true,
     [](FenetrePrincipale& f) { lancer_nettoyage(f, false); }},
    {kDetourage, cropping::kDescription.titre_bandeau, true,
     [](FenetrePrincipale& f) { lancer_detourage(f, false); }},
    {kColoriser, colourising::kDescription.titre_bandeau, true,
     [](FenetrePrincipale& f) { lancer_colorisation(f); }},
    {kReconstituerImages, reconstitution::kDescription.titre_bandeau, true,
     [](FenetrePrincipale& f) { lancer_reconstitution(f); }},
    {kNumeroterPages, numbering::kDescription.titre_bandeau, false, ouvrir_numerotation},
    {kRenommerFichiers, renaming::kTitreBandeauRenommage, true,
     [](FenetrePrincipale& f) { lancer_renommage(f, ModeRenommage::Renommage); }},
};

}  // namespace

void FenetrePrincipale::poster(int numero) {
    poster_evenement(this, numero);
}

void FenetrePrincipale::traiter_controle(int numero, TypeEvenement type) {
    if (Intercepteur panneau = intercepteur_; panneau && panneau(numero, type)) return;
    for (const Lanceur& l : kLanceurs) {
        if (l.bouton != numero) continue;
        Dessiner_Bandeau(ressources_, texte_utf8(l.titre_bandeau));
        if (l.icones_reinitialisees) reinitialiser_icones(*this);
        l.lancer(*this);
        return;
    }
    switch (numero) {
        case kQuitter:
            close();
            return;
        case kEnregistrerListe:
            enregistrer_liste(*this);
            return;
        case kEffacerListe:
            effacer_liste(*this);
            return;
        case kAnnuler:  // reached only when no operation window runs its loop, 17 and 18 in place
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return;
        default:
            return;
    }
}

void FenetrePrincipale::customEvent(QEvent* event) {
    if (event->type() != EvenementVellumor::type_qt()) return QWidget::customEvent(event);
    traiter_evenement(static_cast<EvenementVellumor*>(event)->numero());
}

// A copy runs, so that the action may forget its event (a run that ends goes with its own).
void FenetrePrincipale::traiter_evenement(int numero) {
    if (auto it = actions_.find(numero); it != actions_.end() && it->second) {
        const std::function<void()> action = it->second;
        action();
    }
}

}  // namespace vellumor::app
