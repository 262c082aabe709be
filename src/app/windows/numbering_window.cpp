#include "app/windows/numbering_window.h"

#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "app/colours.h"
#include "app/controls.h"
#include "app/events.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/operations.h"
#include "app/startup.h"
#include "app/windows/numbering_ids.h"
#include "imagelist/image_list.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/parameters.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

using numbering::kPlagesNumerotation;

// A parameter field with its range (from the numbering parameters, in the same order) and the
// preference it stores.
struct ChampNumerotation {
    int controle;
    std::int64_t Preferences::*valeur;
};

constexpr ChampNumerotation kChamps[] = {
    {kOffsetX, &Preferences::Offset_X__Impression_numero},
    {kOffsetY, &Preferences::Offset_Y__Impression_numero},
    {kEpaisseurCadre, &Preferences::Frame_thickness__Img_numerotation},
    {kEspacement, &Preferences::Frame_To_Number_spacing__Img_numerotation},
    {kOffsetReliureNumero, &Preferences::Binding_Offset},
};
static_assert(std::size(kChamps) == std::size(kPlagesNumerotation));

constexpr Couleur kTexteBorne = 0x0000FF;  // red
constexpr Couleur kTexteNormal = 0x000000;

// The texts of the window that the numbering core does not hold.
constexpr const char* kColonneNouveauNom = "Nouveau nom de fichier";
constexpr const char* kTitreSelection = "Sélectionner les fichiers pour la numérotation";

void colorer_texte(QWidget* w, Couleur c) {
    QWidget* cible = w;
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
        if (QLineEdit* e = s->findChild<QLineEdit*>()) cible = e;
    QPalette p = cible->palette();
    p.setColor(QPalette::Text, qcouleur(c));
    cible->setPalette(p);
}

void fond_barre_bas_initial() {
    if (QWidget* barre = control(kBarreBas)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(kFondBarreBasAccueil));
        barre->setPalette(p);
    }
}

void activer_element_barre(int barre, int item) {
    auto* outils = qobject_cast<QToolBar*>(barre_outils(barre));
    if (!outils) return;
    for (QAction* a : outils->actions())
        if (a->data().isValid() && a->data().toInt() == item) a->setEnabled(true);
}

void fermer(FenetrePrincipale& f) {
    if (QTreeWidget* l = f.liste();
        l && l->columnCount() > 2 &&
        l->headerItem()->text(2) == QString::fromUtf8(kColonneNouveauNom)) {
        l->setColumnCount(2);
        l->setColumnWidth(1, l->viewport()->width() - l->columnWidth(0));
    }
    restaurer_geometrie_liste(f);
    for (int n = kPremierControleNumerotation; n <= kDernierControleNumerotation; ++n)
        retirer_controle(n);
    for (int n : {kAnnulerNumerotation, kNumeroterImages, kOuvrirDossierTemporaire})
        retirer_controle(n);
    fond_barre_bas_initial();
    montrer(kQuitter, true);
    restaurer_etat_principal(f);
    activer_selon_liste(f);
}

// A change stores the value and colours it at its bounds; an arrow repaints the field once, after
// the spin box has drawn its new value.
void changement_champ(FenetrePrincipale& f, std::size_t i, TypeEvenement type) {
    const ChampNumerotation& c = kChamps[i];
    QWidget* w = control(c.controle);
    if (!w) return;
    if (type == TypeEvenement::Changement) {
        const std::int64_t valeur = texte_controle(c.controle).trimmed().toLongLong();
        GLB_Preferences().*c.valeur = valeur;
        const auto& plage = kPlagesNumerotation[i];
        const bool borne = valeur == plage.minimum || valeur == plage.maximum;
        colorer_texte(w, borne ? kTexteBorne : kTexteNormal);
    } else if (type == TypeEvenement::FlecheHaut || type == TypeEvenement::FlecheBas) {
        w->setUpdatesEnabled(false);
        if (QWidget* l = control(kListeFichiers)) l->setFocus();
        f.poster(kRedessinerPremierChamp + int(i));
    }
}

void redessiner(int controle) {
    if (QWidget* w = control(controle)) {
        w->setUpdatesEnabled(true);
        w->update();
        w->repaint();
    }
}

void choisir_images(FenetrePrincipale& f) {
    if (GLB_Fichiers_Images().empty()) {
        effacer_liste(f);
        selectionner_images(f, QString::fromUtf8(kTitreSelection));
    } else {
        remplacer_liste(f, QString::fromUtf8(kTitreSelection) + QLatin1Char(' '));
    }
    if (!GLB_Fichiers_Images().empty()) {
        ajuster_colonne_0(f);
        return;
    }
    fond_barre_bas_initial();
    montrer(kAnnulerNumerotation, false);
    montrer(kQuitter, true);
    montrer(kNumeroterImages, false);
    QWidget* effacer = control(kEffacerListe);
    if (effacer) effacer->setUpdatesEnabled(false);
    activer_selon_liste(f);
    if (effacer) {
        effacer->setUpdatesEnabled(true);
        effacer->repaint();
    }
}

void menu(FenetrePrincipale& f, int item) {
    if (item == kItemChargerListe)
        charger_liste(f);
    else if (item == kItemChargerImages)
        choisir_images(f);
    else
        return;
    mettre_a_jour_numero_fin(f);
}

// Each worker's done event counts; the check event that follows the second one ends the run.
void fin_de_travailleur(FenetrePrincipale& f, int& terminees) {
    if (terminees != 2) return;
    terminees = 0;
    terminer_numerotation(f);
    Boite_Message(f.dialogs(), QStringLiteral(" Info"),
                  QStringLiteral("\n") + QString::fromUtf8(numbering::kTexteFinNumerotation),
                  kIconeInformation, &f);
    reinitialiser_controles_numerotation(f);
}

}  // namespace

void installer_numerotation(FenetrePrincipale& f) {
    f.sur_controle(kAnnulerNumerotation, [&f](TypeEvenement) { fermer(f); });
    f.sur_controle(kNumeroterImages, [&f](TypeEvenement) { lancer_numerotation(f); });
    f.sur_controle(kOuvrirDossierTemporaire,
                   [&f](TypeEvenement) { f.dialogs().ouvrir_dossier(Dossier_Temporaire()); });
    f.sur_controle(kDebut, [&f](TypeEvenement) { mettre_a_jour_numero_fin(f); });
    for (std::size_t i = 0; i < std::size(kChamps); ++i) {
        f.sur_controle(kChamps[i].controle,
                       [&f, i](TypeEvenement type) { changement_champ(f, i, type); });
        f.sur_evenement(kRedessinerPremierChamp + int(i),
                        [c = kChamps[i].controle] { redessiner(c); });
    }
    f.sur_menu([&f](int item) { menu(f, item); });

    auto terminees = std::make_shared<int>(0);
    for (int n : {kNumerotationPairTerminee, kNumerotationImpairTerminee})
        f.sur_evenement(n, [&f, terminees] {
            ++*terminees;
            f.poster(kVerifierFinNumerotation);
        });
    f.sur_evenement(kVerifierFinNumerotation,
                    [&f, terminees] { fin_de_travailleur(f, *terminees); });
}

void mettre_a_jour_numero_fin(FenetrePrincipale& f) {
    const QString texte = texte_controle(kDebut).trimmed();
    std::optional<std::int64_t> debut;
    bool ok = false;
    if (const long long valeur = texte.toLongLong(&ok); ok) debut = valeur;
    const std::size_t lignes = f.liste() ? std::size_t(f.liste()->topLevelItemCount()) : 0;
    definir_texte_controle(kFin, QString::number(numbering::fin_affichee(debut, lignes)));
}

void reinitialiser_controles_numerotation(FenetrePrincipale& f) {
    for (int n : {kCadrePosition, kBasADroite, kBasAuCentre, kHautADroite, kHautAuCentre}) {
        activer(n, true);
        if (QWidget* w = control(n)) w->update();
    }
    activer(kDebut, true);
    activer(kFin, true);
    for (int n : {kTexteDebut, kTexteFin}) definir_valeur_affichage(n, 1);
    for (int n :
         {kCadreModeles, kModeleDisque, kModeleAnneau, kModeleRectangleBlanc, kModeleRectangleNoir})
        activer(n, true);
    const std::pair<int, int> images[] = {{kEchantillonDisque, kImageDisque},
                                          {kEchantillonAnneau, kImageAnneau},
                                          {kEchantillonRectangleNoir, kImageRectangleNoir},
                                          {kEchantillonRectangleBlanc, kImageRectangleBlanc}};
    for (const auto& [controle, image] : images) {
        auto* label = control_as<QLabel>(controle);
        const QImage* i = f.ressources().image(image);
        if (label && i) label->setPixmap(QPixmap::fromImage(*i));
    }
    for (int n : {kTexteOffsetX, kTexteOffsetY, kTexteEpaisseurCadre, kTexteEspacement,
                  kTexteOffsetReliure, kTexteChargerListe, kTexteChargerImages})
        definir_valeur_affichage(n, 1);
    for (const ChampNumerotation& c : kChamps) activer(c.controle, true);
    for (int w : {kFenetreChargerListe, kFenetreChargerImages})
        if (QWidget* fen = fenetre(w)) fen->setEnabled(true);
    activer_element_barre(kBarreChargerListe, kItemChargerListe);
    activer_element_barre(kBarreChargerImages, kItemChargerImages);
    activer(kAnnulerNumerotation, true);
    activer(kNumeroterImages, true);
    f.repaint();
}

}  // namespace vellumor::app
