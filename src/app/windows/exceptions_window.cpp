#include "app/windows/exceptions_window.h"

#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <string>

#include "app/champ_numerique.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/panels/reconstitution_ids.h"
#include "app/themed_button.h"
#include "app/windows/exceptions_ids.h"
#include "ops/exceptions/cup_file.h"
#include "ops/exceptions/page_exception.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

using namespace vellumor::exceptions;

// The three colour calls of a set of themed buttons: 9 colours, the direction, 3 alphas.
using Appel = std::array<std::int64_t, 13>;
using Jeu = std::array<Appel, 3>;
// clang-format off
constexpr Jeu kRouge = {{
    {0x0000FF, 0x7070FF, 0xFFFFFF, 0x0000FF, 0x7070FF, 0xFFFFFF, 0x7070FF, 0x0000FF, 0xFFFFFF, 1, 255, 255, 255},
    {-1, -1, -1, -1, -1, -1, 0x0000FF, 0x7070FF, 0x583700, 1, -1, -1, 255},
    {-1, -1, -1, 0xFFFFFF, 0xFFFFFF, 0x7373FD, -1, -1, -1, 1, -1, 255, -1}}};
constexpr Jeu kBleu = {{
    {0x583700, 0xE79000, 0xFFFFFF, 0x583700, 0xE79000, 0xFFFFFF, 0xE79000, 0x583700, 0xFFFFFF, 1, 255, 255, 255},
    {-1, -1, -1, -1, -1, -1, 0xDE8A00, 0xDE8A00, 0x583700, 1, -1, -1, 255},
    {-1, -1, -1, 0xFFFFFF, 0xFFFFFF, 0x583700, -1, -1, -1, 1, -1, 255, -1}}};
constexpr Jeu kVert = {{
    {0x018400, 0x86E484, 0xFFFFFF, 0x018400, 0x86E484, 0xFFFFFF, 0x86E484, 0x018400, 0xFFFFFF, 1, 255, 255, 255},
    {-1, -1, -1, -1, -1, -1, 0x86E484, 0x86E484, 0x006300, 1, -1, -1, 255},
    {-1, -1, -1, 0xFFFFFF, 0xFFFFFF, 0x583700, -1, -1, -1, 1, -1, 255, -1}}};
// clang-format on

void colorer(int numero, const Jeu& jeu) {
    for (const Appel& a : jeu) {
        ReglageCouleurs r;
        for (std::size_t i = 0; i < 9; ++i) r.couleurs[i] = a[i];
        r.direction = int(a[9]);
        for (std::size_t i = 0; i < 3; ++i) r.alphas[i] = a[10 + i];
        definir_couleurs_bouton(numero, r);
    }
}

// The unit the reconstitution panel shows (control 22).
QString unite_panneau() {
    auto* u = control_as<QComboBox>(kUnite);
    return u ? u->currentText() : texte_utf8(kUniteMillimetres);
}

// The settings folder, created when it is missing: on a new account it appears only when the
// preferences are first written, and what the user typed would be lost meanwhile.
std::filesystem::path dossier_sauvegarde() {
    return Dossier_Preferences();
}

// The saved file's full path in the box's visible text rather than in its folded details.
Message chemin_visible(Message m) {
    if (m.kind == Message::Kind::BoiteMessage && m.instruction == "Fichier enregistré")
        m.texte = "\n" + m.texte;
    return m;
}

// The page-exception window over window 1: the exception table edited page by page, its run list
// shown sorted by page, saved to and loaded from .cup files in the settings folder.
class FenetreExceptions : public QDialog {
  public:
    explicit FenetreExceptions(FenetrePrincipale& f);

  private:
    BoutonTheme* bouton(int numero, const char* legende, int x, int y, int largeur, int hauteur,
                        const Jeu& jeu, void (FenetreExceptions::*action)());
    QLabel* texte(int numero, const QString& legende, int x, int y);
    ChampNumerique* champ(int numero, int minimum, int maximum, int x, int y);
    int largeur_bouton(const char* legende) const;

    void reconstruire();
    void selectionner(int ligne);
    void montrer_selection();
    void fermer() { close(); }
    void ajouter();
    void supprimer();
    void charger();
    void sauvegarder();
    void basculer_unite();
    int valeur(int numero) const { return control_as<QSpinBox>(numero)->value(); }

    FenetrePrincipale& f_;
    QFont police_;
    QFont police_boutons_;
    QTreeWidget* liste_ = nullptr;
};

FenetreExceptions::FenetreExceptions(FenetrePrincipale& f) : QDialog(&f), f_(f) {
    setWindowTitle(texte_utf8(kTitreExceptions));
    setFixedSize(kLargeurExceptions, kHauteurExceptions);
    setModal(true);
    if (const QFont* p = f.ressources().police(kPoliceBoutons)) police_boutons_ = *p;

    const int largeur_supprimer = largeur_bouton(kLegendeSupprimerPage);
    const int hauteur =
        taille_ou_defaut(mesurer_texte(&police_boutons_, texte_utf8(kLegendeFermer))).height() + 20;
    BoutonTheme* fermer = bouton(kFermerExceptions, kLegendeFermer, 10, 20, largeur_supprimer,
                                 hauteur, kRouge, &FenetreExceptions::fermer);
    BoutonTheme* ajout =
        bouton(kAjouterPage, kLegendeAjouterPage, 10, fermer->geometry().bottom() + 1 + 15,
               largeur_supprimer, hauteur, kBleu, &FenetreExceptions::ajouter);
    BoutonTheme* retrait =
        bouton(kSupprimerPage, kLegendeSupprimerPage, 10, ajout->geometry().bottom() + 1 + 15,
               largeur_supprimer, hauteur, kBleu, &FenetreExceptions::supprimer);
    BoutonTheme* charge = bouton(
        kChargerPages, kLegendeChargerPages, retrait->geometry().right() + 1 + 25, retrait->y(),
        largeur_bouton(kLegendeChargerPages), hauteur, kVert, &FenetreExceptions::charger);
    BoutonTheme* sauve =
        bouton(kSauvegarderPages, kLegendeSauvegarderPages, charge->geometry().right() + 1 + 25,
               retrait->y(), largeur_bouton(kLegendeSauvegarderPages), hauteur, kVert,
               &FenetreExceptions::sauvegarder);
    sauve->setEnabled(false);

    liste_ = new QTreeWidget(this);  // owned by the window
    enregistrer_controle(kListePages, liste_);
    QFont base = liste_->font();
    base.setPixelSize(QFontInfo(base).pixelSize() + 2);
    police_ = base;
    liste_->setFont(police_);
    liste_->setRootIsDecorated(false);
    liste_->setSelectionMode(QAbstractItemView::SingleSelection);
    liste_->setSelectionBehavior(QAbstractItemView::SelectRows);
    QStringList colonnes;
    for (const char* c : kColonnesPages) colonnes << texte_utf8(c);
    liste_->setHeaderLabels(colonnes);
    liste_->setColumnWidth(0, kLargeurExceptions - 345);
    liste_->setColumnWidth(1, 150);
    liste_->setColumnWidth(2, 150);
    liste_->setGeometry(10, retrait->geometry().bottom() + 1 + 20, kLargeurExceptions - 20,
                        kHauteurExceptions - retrait->y() - 75);
    connect(liste_, &QTreeWidget::itemSelectionChanged, this, [this] { montrer_selection(); });

    // The three boxes in one column right of the widest caption, so that no caption is covered.
    QLabel* page = texte(kTextePage, texte_utf8(kLegendePage), 275, 20);
    QLabel* haut = texte(kTexteOffsetYPage, texte_utf8(kLegendeOffsetYPage), 275, page->y() + 35);
    QLabel* reliure =
        texte(kTexteOffsetXPage, texte_utf8(kLegendeOffsetXPage), 275, page->y() + 70);
    const int x_champs = 275 + std::max({page->width(), haut->width(), reliure->width()});
    champ(kPage, kPageMin, kPageMax, x_champs, page->y());
    ChampNumerique* s_haut = champ(kOffsetYPage, -1000, 1000, x_champs, haut->y());
    texte(kUniteOffsetSuperieur, unite_panneau(), s_haut->geometry().right() + 1 + 15, haut->y());
    ChampNumerique* s_reliure = champ(kOffsetXPage, -1000, 1000, x_champs, reliure->y());
    texte(kUniteOffsetReliure, unite_panneau(), s_reliure->geometry().right() + 1 + 15,
          reliure->y());

    if (QScreen* ecran = f.screen()) {
        const QRect zone = ecran->availableGeometry();
        move(zone.center() - QPoint(width() / 2, height() / 2));
    }
    if (!GLB_Exceptions_Table().empty()) {
        reconstruire();
        selectionner(0);
        liste_->setFocus();
    } else {
        GLB_Exceptions_Liste().clear();
    }
}

int FenetreExceptions::largeur_bouton(const char* legende) const {
    return taille_ou_defaut(mesurer_texte(&police_boutons_, texte_utf8(legende))).width() + 20;
}

BoutonTheme* FenetreExceptions::bouton(int numero, const char* legende, int x, int y, int largeur,
                                       int hauteur, const Jeu& jeu,
                                       void (FenetreExceptions::*action)()) {
    BoutonTheme* b =
        creer_bouton(numero, x, y, largeur, hauteur, texte_utf8(legende), this, police_boutons_);
    colorer(numero, jeu);
    connect(b, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return b;
}

QLabel* FenetreExceptions::texte(int numero, const QString& legende, int x, int y) {
    auto* l = new QLabel(legende, this);  // owned by the window
    enregistrer_controle(numero, l);
    l->setFont(police_);
    const QSize t = taille_ou_defaut(mesurer_texte(&police_, legende));
    l->setGeometry(x, y, t.width(), 20);
    return l;
}

ChampNumerique* FenetreExceptions::champ(int numero, int minimum, int maximum, int x, int y) {
    auto* s = new ChampNumerique(minimum, maximum, this);  // owned by the window
    enregistrer_controle(numero, s);
    s->setFont(police_);
    s->setValue(0);
    // Wide enough for "-1000" in the list font, so that the sign does not scroll out of view.
    s->setGeometry(x, y, std::max(60, s->sizeHint().width()), 20);
    return s;
}

// The run list from the table, sorted by page, and the list's rows from the run list.
void FenetreExceptions::reconstruire() {
    GLB_Exceptions_Liste() = reconstruire_liste(GLB_Exceptions_Table());
    const QSignalBlocker bloque(liste_);
    liste_->clear();
    for (const PageException& e : GLB_Exceptions_Liste())
        liste_->addTopLevelItem(
            new QTreeWidgetItem(liste_, {QString::number(e.Page), QString::number(e.OffsetY),
                                         QString::number(e.OffsetX)}));  // owned by the list
    const int lignes = liste_->topLevelItemCount();
    activer(kSauvegarderPages, lignes > 0);
    liste_->headerItem()->setText(
        0, texte_utf8(kColonnesPages[0]) + QStringLiteral("    (%1)").arg(lignes));
}

void FenetreExceptions::selectionner(int ligne) {
    if (ligne < 0 || ligne >= liste_->topLevelItemCount()) {
        liste_->clearSelection();
        return;
    }
    QTreeWidgetItem* item = liste_->topLevelItem(ligne);
    liste_->setCurrentItem(item);
    item->setSelected(true);
    liste_->scrollToItem(item);
    montrer_selection();
}

void FenetreExceptions::montrer_selection() {
    const QList<QTreeWidgetItem*> choix = liste_->selectedItems();
    if (choix.isEmpty()) return;
    const int colonnes[][2] = {{kPage, 0}, {kOffsetXPage, 2}, {kOffsetYPage, 1}};
    for (const auto& c : colonnes)
        control_as<QSpinBox>(c[0])->setValue(choix.first()->text(c[1]).toInt());
}

void FenetreExceptions::ajouter() {
    const int page = valeur(kPage);
    GLB_Exceptions_Table().definir(std::to_string(page),
                                   {page, valeur(kOffsetXPage), valeur(kOffsetYPage)});
    reconstruire();
}

void FenetreExceptions::supprimer() {
    const QString texte_page = texte_controle(kPage);
    int position = -1;
    const PageExceptionList& avant = GLB_Exceptions_Liste();
    for (std::size_t i = 0; i < avant.size(); ++i)
        if (QString::number(avant[i].Page) == texte_page) {
            position = int(i);
            break;
        }
    GLB_Exceptions_Table().supprimer(std::to_string(valeur(kPage)));
    liste_->setUpdatesEnabled(false);
    reconstruire();
    const int lignes = liste_->topLevelItemCount();
    selectionner(position < 0 ? -1 : std::min(position, lignes - 1));
    liste_->setUpdatesEnabled(true);
    liste_->setFocus();
}

void FenetreExceptions::charger() {
    const std::filesystem::path dossier = dossier_sauvegarde();
    if (auto erreur = verifier_dossier_sauvegarde(dossier)) {
        afficher_message(f_.dialogs(), *erreur, &f_);
        return;
    }
    const QStringList choix = f_.dialogs().ouvrir_fichiers(
        texte_utf8(kTitreChargerCup), QString::fromStdString(dossier.string()) + QLatin1Char('/'),
        texte_utf8(kFiltreCup), false);
    if (choix.isEmpty()) return;
    const ChargementCup c = charger_fichier_cup(
        std::filesystem::path(choix.first().toStdString()), unite_panneau().toStdString(),
        [this](const Message& question) {
            return afficher_message(f_.dialogs(), question, &f_) == kCodeOui;
        },
        GLB_Exceptions_Table());
    if (c.message) afficher_message(f_.dialogs(), *c.message, &f_);
    if (c.basculer_unite) basculer_unite();
    if (!c.charge) return;
    reconstruire();
    selectionner(0);
}

void FenetreExceptions::sauvegarder() {
    const std::filesystem::path dossier = dossier_sauvegarde();
    const PageExceptionList& liste = GLB_Exceptions_Liste();
    const std::string unite = unite_panneau().toStdString();
    const auto oui = [this](const Message& question) {
        return afficher_message(f_.dialogs(), question, &f_) == kCodeOui;
    };
    std::optional<Message> fin;
    if (verifier_dossier_sauvegarde(dossier) || liste.empty()) {
        fin = enregistrer_fichier_cup(dossier, {}, liste, unite, oui);
    } else {
        const QString nom = f_.dialogs().enregistrer_fichier(
            texte_utf8(kTitreEnregistrerCup),
            QString::fromStdString(dossier.string()) + QLatin1Char('/'), texte_utf8(kFiltreCup));
        fin = nom.isEmpty()
                  ? message_aucun_fichier_cup_enregistre()
                  : enregistrer_fichier_cup(dossier, nom.toStdString(), liste, unite, oui);
    }
    if (fin) afficher_message(f_.dialogs(), chemin_visible(*fin), &f_);
}

// The panel's unit switched to the other one; the window's unit texts follow, sized to their text.
void FenetreExceptions::basculer_unite() {
    auto* u = control_as<QComboBox>(kUnite);
    if (!u) return;
    u->setCurrentIndex(u->currentText() == texte_utf8(kUniteMillimetres) ? 1 : 0);
    for (int n : {kUniteOffsetReliure, kUniteOffsetSuperieur}) {
        auto* l = control_as<QLabel>(n);
        if (!l) continue;
        l->setText(u->currentText());
        l->resize(taille_ou_defaut(mesurer_texte(&police_, l->text())).width(), l->height());
    }
}

}  // namespace

void ouvrir_exceptions(FenetrePrincipale& f) {
    {
        FenetreExceptions fenetre(f);
        fenetre.exec();
    }
    f.setEnabled(true);
    f.update();
    activer(kSupprimerExceptions, !GLB_Exceptions_Liste().empty());
}

}  // namespace vellumor::app
