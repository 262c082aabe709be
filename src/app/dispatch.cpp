#include <QAbstractSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaObject>
#include <QTreeWidget>

#include "app/banner.h"
#include "app/colours.h"
#include "app/controls.h"
#include "app/events.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/list_saving.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/operations.h"
#include "app/startup.h"
#include "imagelist/image_list.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

struct Operation {
    int bouton;
    const char* titre_bandeau;
    bool icones_reinitialisees;
    void (*lancer)(FenetrePrincipale&);
};

constexpr Operation kOperations[] = {
    {4, "Tester les numéros des images", false, operation_tester_numeros},
    {5, "Coloriser/détourer/nettoyer les images", true, operation_net_det_col},
    {6, "Nettoyage des images", true, operation_nettoyage},
    {7, "Détourage des images", true, operation_detourage},
    {8, "Colorisation des images", true, operation_coloriser},
    {9, "Reconstitution des images", true, operation_reconstituer},
    {10, "Numérotation des pages", false, operation_numeroter},
    {11, "Renommage des fichiers", true, operation_renommer},
};

struct ChampNumerotation {
    int controle;
    std::int64_t Preferences::*valeur;
    std::int64_t borne_basse, borne_haute;
    int evenement_redessin;
};

constexpr ChampNumerotation kChamps[] = {
    {128, &Preferences::Offset_X__Impression_numero, 50, 600, kRedessinerPremierChamp},
    {130, &Preferences::Offset_Y__Impression_numero, 50, 600, kRedessinerPremierChamp + 1},
    {132, &Preferences::Frame_thickness__Img_numerotation, 5, 150, kRedessinerPremierChamp + 2},
    {134, &Preferences::Frame_To_Number_spacing__Img_numerotation, 5, 200,
     kRedessinerPremierChamp + 3},
    {136, &Preferences::Binding_Offset, 30, 500, kRedessinerPremierChamp + 4},
};

const ChampNumerotation* champ(int controle) {
    for (const ChampNumerotation& c : kChamps)
        if (c.controle == controle) return &c;
    return nullptr;
}

void colorer_texte(QWidget* w, Couleur c) {
    QWidget* cible = w;
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
        if (QLineEdit* e = s->findChild<QLineEdit*>()) cible = e;
    QPalette p = cible->palette();
    p.setColor(QPalette::Text, qcouleur(c));
    cible->setPalette(p);
}

void fond_barre_bas_initial() {
    if (QWidget* barre = control(2)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(kFondBarreBasAccueil));
        barre->setPalette(p);
    }
}

void fermer_fenetre_numerotation(FenetrePrincipale& f) {
    if (QTreeWidget* l = f.liste();
        l && l->columnCount() > 2 &&
        l->headerItem()->text(2) == QStringLiteral("Nouveau nom de fichier")) {
        l->setColumnCount(2);
        l->setColumnWidth(1, l->viewport()->width() - l->columnWidth(0));
    }
    restaurer_geometrie_liste(f);
    for (int n = 104; n <= 138; ++n)
        if (QWidget* w = control(n)) w->deleteLater();
    for (int n : {101, 102, 103})
        if (QWidget* w = control(n)) w->deleteLater();
    fond_barre_bas_initial();
    montrer(3, true);
    restaurer_etat_principal(f);
    activer_selon_liste(f);
}

}  // namespace

void FenetrePrincipale::poster(int numero) {
    poster_evenement(this, numero);
}

void FenetrePrincipale::traiter_controle(int numero, TypeEvenement type) {
    if (Intercepteur panneau = intercepteur_; panneau && panneau(numero, type)) return;
    for (const Operation& op : kOperations) {
        if (op.bouton != numero) continue;
        Dessiner_Bandeau(ressources_, QString::fromUtf8(op.titre_bandeau));
        if (op.icones_reinitialisees) reinitialiser_icones(*this);
        op.lancer(*this);
        return;
    }
    switch (numero) {
        case 3:
            close();
            return;
        case 12:
            enregistrer_liste(*this);
            return;
        case 13:
            effacer_liste(*this);
            return;
        case 60:
            restaurer_geometrie_liste(*this);
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return;
        case 101:
            fermer_fenetre_numerotation(*this);
            return;
        case 102:
            lancer_numerotation(*this);
            return;
        case 103:
            dialogs_.ouvrir_dossier(Dossier_Temporaire());
            return;
        case 107:
            mettre_a_jour_numero_fin(*this);
            return;
        default:
            break;
    }
    if (champ(numero)) changement_champ_numerotation(numero, type);
}

void FenetrePrincipale::changement_champ_numerotation(int numero, TypeEvenement type) {
    const ChampNumerotation& c = *champ(numero);
    QWidget* w = control(numero);
    if (!w) return;
    if (type == TypeEvenement::Changement) {
        const std::int64_t valeur = texte_controle(numero).trimmed().toLongLong();
        GLB_Preferences().*c.valeur = valeur;
        const bool borne = valeur == c.borne_basse || valeur == c.borne_haute;
        colorer_texte(w, borne ? 0x0000FF : 0x000000);
    } else if (type == TypeEvenement::FlecheHaut || type == TypeEvenement::FlecheBas) {
        w->setUpdatesEnabled(false);
        if (QWidget* l = control(17)) l->setFocus();
        poster(c.evenement_redessin);
    }
}

void FenetrePrincipale::traiter_menu(int item) {
    if (item == 0) {
        charger_liste(*this);
    } else if (item == 1) {
        if (GLB_Fichiers_Images().empty()) {
            effacer_liste(*this);
            selectionner_images(*this,
                                QStringLiteral("Sélectionner les fichiers pour la numérotation"));
        } else {
            remplacer_liste(*this,
                            QStringLiteral("Sélectionner les fichiers pour la numérotation "));
        }
        if (GLB_Fichiers_Images().empty()) {
            fond_barre_bas_initial();
            montrer(101, false);
            montrer(3, true);
            montrer(102, false);
            QWidget* effacer = control(13);
            if (effacer) effacer->setUpdatesEnabled(false);
            activer_selon_liste(*this);
            if (effacer) {
                effacer->setUpdatesEnabled(true);
                effacer->repaint();
            }
        } else {
            ajuster_colonne_0(*this);
        }
    } else {
        return;
    }
    mettre_a_jour_numero_fin(*this);
}

void FenetrePrincipale::customEvent(QEvent* event) {
    if (event->type() != EvenementVellumor::type_qt()) return QWidget::customEvent(event);
    traiter_evenement(static_cast<EvenementVellumor*>(event)->numero());
}

void FenetrePrincipale::traiter_evenement(int numero) {
    if (numero == kNumerotationPairTerminee || numero == kNumerotationImpairTerminee) {
        ++numerotations_terminees_;
        poster(kVerifierFinNumerotation);
        return;
    }
    if (numero == kVerifierFinNumerotation) {
        if (numerotations_terminees_ != 2) return;
        numerotations_terminees_ = 0;
        terminer_numerotation(*this);
        Boite_Message(dialogs_, QStringLiteral(" Info"),
                      QStringLiteral("\nLes opérations de numérotation sont terminées"),
                      kIconeInformation, this);
        reinitialiser_controles_numerotation(*this);
        return;
    }
    for (const ChampNumerotation& c : kChamps) {
        if (c.evenement_redessin != numero) continue;
        if (QWidget* w = control(c.controle)) {
            w->setUpdatesEnabled(true);
            w->update();
            w->repaint();
        }
        return;
    }
    if (auto it = actions_.find(numero); it != actions_.end() && it->second) it->second();
}

}  // namespace vellumor::app
