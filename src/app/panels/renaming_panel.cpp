#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <cmath>

#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/disk_renaming.h"
#include "app/panels/renaming_ids.h"
#include "app/panels/renaming_panel_impl.h"
#include "app/themed_button.h"
#include "imagelist/image_list.h"
#include "imagelist/number_test.h"
#include "ops/renaming/disk_rename.h"
#include "ops/renaming/renaming_constants.h"
#include "ops/renaming/sequence.h"
#include "settings/preferences.h"

namespace vellumor::app {

using namespace vellumor::renaming;

void FenetreRenommage::ouvert() {
    f_.update();
    executer_test_numeros(f_);
    QMetaObject::invokeMethod(
        &f_, [&f = f_] { f.traiter_controle(kIndiceMini, TypeEvenement::Changement); },
        Qt::QueuedConnection);
}

void FenetreRenommage::rendre() {
    if (QWidget* w = fenetre(kFenetreDossierSauvegarde)) {
        w->hide();
        w->deleteLater();
    }
}

std::optional<std::int64_t> FenetreRenommage::premier_numero_saisi() const {
    auto* s = control_as<QSpinBox>(kIndiceMini);
    if (!s || s->cleanText().isEmpty()) return std::nullopt;
    return s->value();
}

std::int64_t FenetreRenommage::dernier_numero_suite(std::int64_t premier) const {
    const QTreeWidget* l = f_.liste();
    const std::size_t lignes = l ? std::size_t(l->topLevelItemCount()) : 0;
    const int pas = GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer == 1 ? 2 : 1;
    return dernier_numero_sequence(premier, lignes, pas);
}

void FenetreRenommage::afficher_dernier_numero() {
    auto* label = control_as<QLabel>(kIndiceMaxi);
    if (!label) return;
    const auto premier = premier_numero_saisi();
    label->setText(premier ? QStringLiteral(" ") + QString::number(dernier_numero_suite(*premier))
                           : texte_utf8(kNoLastNumber));
    colorer_controle(label, premier ? kTexteDernierNumero : kTexteAucunDernierNumero, kWhite);
}

void FenetreRenommage::sur_premier_numero() {
    const auto premier = premier_numero_saisi();
    auto* chiffres = control_as<QSpinBox>(kNombreChiffres);
    if (!chiffres) return;
    afficher_dernier_numero();
    // Test mode keeps the sequence as it was built: it cannot be changed there.
    if (mode_ == ModeRenommage::Renommage)
        for (int n : {kIncrementUn, kIncrementDeux, kNombreChiffres, kRenommer})
            activer(n, premier.has_value());
    if (!premier) {
        definir_texte_controle(kExempleNom, QString());
        if (auto* texte = chiffres->findChild<QLineEdit*>()) texte->clear();
        return;
    }
    const int minimum = nombre_chiffres(dernier_numero_suite(*premier));
    chiffres->setMinimum(minimum);
    chiffres->setValue(minimum);
    if (auto* texte = chiffres->findChild<QLineEdit*>()) texte->setText(QString::number(minimum));
    calculer_exemple();
}

void FenetreRenommage::calculer_exemple() {
    const auto p = parametres_saisis();
    definir_texte_controle(
        kExempleNom,
        p ? texte_utf8(kExampleLead) + QString::fromStdString(nouveau_nom(*p, 0)) : QString());
}

// The pattern the fields and spin boxes show; nothing while the first number is not available.
std::optional<ParametresRenommage> FenetreRenommage::parametres_saisis() const {
    const auto premier = premier_numero_saisi();
    if (!premier) return std::nullopt;
    ParametresRenommage p;
    p.prefixe = texte_controle(kPrefixeRenomme).toStdString();
    p.suffixe = texte_controle(kSuffixeRenomme).toStdString();
    p.premier = *premier;
    p.pas = GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer == 1 ? 2 : 1;
    const QSpinBox* chiffres = control_as<QSpinBox>(kNombreChiffres);
    p.chiffres = chiffres && !chiffres->cleanText().isEmpty() ? chiffres->value() : 0;
    return p;
}

void FenetreRenommage::traiter(int numero, TypeEvenement type) {
    switch (numero) {
        case kIndiceMini:
            sur_premier_numero();
            return;
        case kIncrementUn:
        case kIncrementDeux:
            GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer =
                numero == kIncrementDeux ? 1 : 0;
            afficher_dernier_numero();
            return;
        case kNombreChiffres:
        case kPrefixeOrigine:
        case kSuffixeOrigine:
        case kPrefixeRenomme:
        case kSuffixeRenomme:
            if (type == TypeEvenement::Changement) calculer_exemple();
            return;
        case kTesterNumerotation:
            executer_test_numeros(f_);
            return;
        case kRenommer:
            renommer();
            return;
        default:
            Panneau::traiter(numero, type);
    }
}

void FenetreRenommage::renommer() {
    const bool bon = executer_test_numeros(f_);
    const ListeImages& images = GLB_Fichiers_Images();
    const QString titre = f_.windowTitle();
    if (!premier_numero(images)) {
        Boite_Message(f_.dialogs(), texte_utf8(kSourceFirstTitle), texte_utf8(kNoValueText),
                      kIconeAvertissement, &f_, titre);
        return;
    }
    if (!dernier_numero(images)) {
        Boite_Message(f_.dialogs(), texte_utf8(kSourceLastTitle), texte_utf8(kNoValueText),
                      kIconeAvertissement, &f_, titre);
        return;
    }
    if (!bon || mode_ == ModeRenommage::Test) return;
    if (const auto p = parametres_saisis()) proposer_renommage_disque(f_, *p);
}

bool executer_test_numeros(FenetrePrincipale& f) {
    const ResultatTestNumeros r = tester_numeros(GLB_Fichiers_Images(), fichier_existe);
    const auto copier = [&] {
        if (r.presse_papier) f.dialogs().copier_texte(QString::fromStdString(*r.presse_papier));
    };
    // Missing files are on the clipboard before their box says so; duplicates after theirs.
    const bool copie_d_abord = r.message && r.message->kind == Message::Kind::Simple;
    if (copie_d_abord) copier();
    if (r.message) afficher_message(f.dialogs(), *r.message, &f);
    if (!copie_d_abord) copier();
    return !r.message;
}

IssuePanneau lancer_renommage(FenetrePrincipale& f, ModeRenommage mode) {
    colorer_barre_bas(kFondBarreRenommage);
    montrer(kQuitter, false);
    montrer(kAnnuler, true);
    montrer(kRenommer, true);
    remplacer_liste(f, texte_utf8(kFileDialogTitle));
    if (GLB_Fichiers_Images().empty()) {
        colorer_barre_bas(kFondBarreBasAccueil);
        montrer(kAnnuler, false);
        montrer(kRenommer, false);
        montrer(kQuitter, true);
        activer_selon_liste(f);
        return IssuePanneau::Quitte;
    }
    FenetreRenommage fenetre(f, mode);
    const IssuePanneau issue = fenetre.executer();
    // A selection made at opening left the main buttons disabled for us to enable.
    if (issue != IssuePanneau::Ferme) activer_selon_liste(f);
    return issue;
}

}  // namespace vellumor::app