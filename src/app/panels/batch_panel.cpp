#include "app/panels/batch_panel.h"

#include <QTreeWidget>
#include <new>
#include <optional>

#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/originaux_menu.h"
#include "app/panels/window_batch_run.h"
#include "batch/originaux.h"
#include "imagelist/image_list.h"
#include "imagelist/repartition_parite.h"

namespace vellumor::app {
namespace {

constexpr int kMarge = 30;

}  // namespace

DescriptionLot decrire_lot(const DescriptionOperation& operation, int bouton_depart) {
    DescriptionLot d;
    d.bouton_depart = bouton_depart;
    d.titre_erreur = texte_utf8(operation.titre_boite_erreur);
    d.titre_dialogue = texte_utf8(operation.titre_dialogue_fichiers);
    d.texte_fin = operation.texte_fin;
    d.evenement_verification = int(operation.evenement_controle);
    d.lots = constantes_lots(operation);
    d.originaux = operation.originaux;
    return d;
}

PanneauLot::PanneauLot(FenetrePrincipale& f, DescriptionLot d, bool enchaine)
    : Panneau(f), d_(std::move(d)), enchaine_(enchaine) {
    fond_barre = d_.fond_barre;
}

void PanneauLot::construire() {
    disposer();
    QWidget* bouton = control(d_.bouton_depart);
    QWidget* annuler = control(kAnnuler);
    QWidget* barre = control(kBarreBas);
    if (bouton && annuler && barre) {
        parent_depart_ = bouton->parentWidget();
        geometrie_depart_ = bouton->geometry();
        bouton->setParent(barre);
        bouton->setGeometry(kMarge, annuler->y(), bouton->width(), annuler->height());
        bouton->setEnabled(true);
        bouton->show();
    }
}

void PanneauLot::ouvert() {
    if (d_.demarre_seul) poster_clic(d_.bouton_depart);
}

// Besides its start button, a processing panel leaves none of the operation controls 19 to 36 and
// none of the reconstitution buttons 37 to 39 behind it.
void PanneauLot::rendre() {
    for (int n = kPremierControleOperation; n <= kDernierControleOperation; ++n)
        retirer_controle(n);
    for (int n = kPremierBoutonReconstitution; n <= kDernierBoutonReconstitution; ++n)
        montrer(n, false);
    if (QWidget* bouton = control(d_.bouton_depart)) {
        bouton->hide();
        if (parent_depart_) {
            bouton->setParent(parent_depart_);
            bouton->setGeometry(geometrie_depart_);
            bouton->hide();
        }
    }
}

void PanneauLot::traiter(int numero, TypeEvenement type) {
    if (numero == d_.bouton_depart) {
        if (!en_cours()) demarrer();
    } else {
        Panneau::traiter(numero, type);
    }
}

void PanneauLot::demarrer() {
    activer(d_.bouton_depart, false);
    activer(kAnnuler, false);
    if (!preparer_liste()) {
        reactiver();
        return;
    }
    lancer_travailleurs();
}

// Every row waiting, or, with an empty list, the files the user selects; false when none.
bool PanneauLot::preparer_liste() {
    if (!GLB_Fichiers_Images().empty()) {
        QTreeWidget* l = f_.liste();
        const int n = l ? l->topLevelItemCount() : 0;
        for (int i = 0; i < n; ++i) definir_icone_ligne(f_, i, kIconeAttente);
        if (l) l->viewport()->repaint();
        return true;
    }
    if (d_.efface_liste_vide) effacer_liste(f_);
    selectionner_images(f_, d_.titre_dialogue);
    ajuster_premiere_colonne();
    return !GLB_Fichiers_Images().empty();
}

void PanneauLot::lancer_travailleurs() {
    std::optional<Repartition> r;
    try {
        r = repartir_par_parite(GLB_Fichiers_Images(), d_.lots);
    } catch (const std::bad_alloc&) {
        reactiver();
        Boite_Message(f_.dialogs(),
                      QStringLiteral(" Impossible d'allouer de la mémoire\n pour les structures"),
                      QString(), kIconeErreur, &f_, d_.titre_erreur);
        return;
    }
    if (d_.originaux) {
        std::vector<std::filesystem::path> pages;
        for (const EntreeImage& e : GLB_Fichiers_Images()) pages.push_back(e.Fichier);
        // Replacing the pages without keeping them, when keeping was asked, is not an option.
        if (const auto refus = Originaux::refus_avant_execution(pages)) {
            reactiver();
            boite_simple(f_.dialogs(), d_.titre_erreur, QString::fromStdString(*refus),
                         kIconeErreur);
            return;
        }
    }
    desactiver_boutons_geres(f_);
    activer_options(false);
    if (!r->lots) {
        afficher_message(f_.dialogs(), *r->message, &f_);
        reactiver();
        return;
    }
    if (!lancer(std::make_unique<ExecutionLotFenetre>(
            f_, std::move(*r->lots), d_.evenement_verification, d_.travail(), d_.originaux))) {
        reactiver();
        boite_simple(f_.dialogs(), d_.titre_erreur,
                     QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                     kIconeErreur);
    }
}

void PanneauLot::execution_terminee() {
    if (!enchaine_)
        annoncer_fin(
            f_, std::string(d_.texte_fin) + texte_fin_originaux(originaux_gardes_).toStdString());
    reactiver();
    if (enchaine_) poster_clic(kAnnuler);
}

void PanneauLot::reactiver() {
    activer_selon_liste(f_);
    activer(d_.bouton_depart, true);
    activer(kAnnuler, true);
    activer_options(true);
}

}  // namespace vellumor::app
