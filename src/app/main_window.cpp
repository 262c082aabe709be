#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <iterator>
#include <string_view>
#include <utility>

#include "app/banner.h"
#include "app/button_colours.h"
#include "app/colours.h"
#include "app/controls.h"
#include "app/list_drop.h"
#include "app/list_helpers.h"
#include "app/list_menu.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/reconstitution_ids.h"
#include "app/texte.h"
#include "app/themed_button.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/numbering/numbering_constants.h"
#include "ops/reconstitution/reconstitution_constants.h"
#include "ops/renaming/sequence.h"

namespace vellumor::app {
namespace {

constexpr int kHauteurBandeau = 70;
constexpr int kHauteurBarreBas = 90;
constexpr int kXBoutons = 50;
constexpr int kLargeurBouton = 250;
constexpr int kHauteurBouton = 31;
constexpr int kEcartBoutons = 14;
constexpr int kHauteurBoutonBas = 40;
constexpr Couleur kFondStatut = 0x583700;

QWidget* conteneur(int numero, QWidget* parent, const QRect& zone, Couleur fond) {
    auto* w = new QWidget(parent);  // owned by parent
    w->setGeometry(zone);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, qcouleur(fond));
    w->setPalette(p);
    w->setAutoFillBackground(true);
    enregistrer_controle(numero, w);
    return w;
}

// The left column, from button 4 to button 13.
constexpr std::string_view kLegendes[] = {renaming::kLegendeBoutonTest,
                                          "Net - Dét - Col",
                                          cleaning::kDescription.legende_bouton,
                                          cropping::kDescription.legende_bouton,
                                          colourising::kDescription.legende_bouton,
                                          reconstitution::kDescription.legende_bouton,
                                          numbering::kDescription.legende_bouton,
                                          renaming::kLegendeBoutonRenommage,
                                          "Enregistrer  la  liste",
                                          "Effacer  la  liste"};
static_assert(std::size(kLegendes) == kDernierBoutonColonne - kPremierBoutonColonne + 1);

}  // namespace

FenetrePrincipale::FenetrePrincipale(Ressources& ressources, Dialogs& dialogs, const QString& titre)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      ressources_(ressources),
      dialogs_(dialogs) {
    setWindowTitle(titre);
    setFixedSize(kLargeurClient, kHauteurClient);
    if (QScreen* ecran = QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - rect().center());
    enregistrer_fenetre(kFenetrePrincipale, this);
    construire();
}

QTreeWidget* FenetrePrincipale::liste() const {
    return control_as<QTreeWidget>(kListeFichiers);
}

void FenetrePrincipale::construire() {
    construire_bandeau();
    construire_corps();
    construire_barre_bas();
    for (int n = kPremiereOptionReconstitution; n <= kDernierTexteReconstitution; ++n)
        montrer(n, false);
    activer_selon_liste(*this);
}

void FenetrePrincipale::construire_bandeau() {
    QWidget* bandeau =
        conteneur(kBandeau, this, QRect(0, 1, kLargeurClient, kHauteurBandeau), 0xFFFFFF);
    auto* image = new QLabel(bandeau);  // owned by the banner
    image->setGeometry(0, 0, kLargeurClient, kHauteurBandeau);
    enregistrer_controle(kImageBandeau, image);
    Dessiner_Bandeau(ressources_, QString::fromUtf8(kTitreAccueil));
}

void FenetrePrincipale::construire_corps() {
    const int y = kHauteurBandeau + 2;
    const int hauteur = kHauteurClient - kHauteurBandeau - kHauteurBarreBas - 2;
    QWidget* corps = conteneur(kCorps, this, QRect(0, y, kLargeurClient, hauteur), 0xFFFFFF);
    const QFont& police = *ressources_.police(kPoliceBoutons);
    int yb = 24;
    for (int n = kPremierBoutonColonne; n <= kDernierBoutonColonne; ++n) {
        BoutonTheme* b =
            creer_bouton(n, kXBoutons, yb, kLargeurBouton, kHauteurBouton,
                         texte_utf8(kLegendes[n - kPremierBoutonColonne]), corps, police);
        colorer_bouton(n);
        connect(b, &QPushButton::clicked, this, [this, n] { traiter_controle(n); });
        boutons_.push_back(n);
        yb += kHauteurBouton + kEcartBoutons;
    }
    const int y_depart = control(kEnregistrerListe)->geometry().bottom() + 1 + kEcartBoutons;
    const std::pair<int, std::string_view> departs[] = {
        {kDepartColorisation, colourising::kDescription.legende_depart},
        {kDepartDetourage, cropping::kDescription.legende_depart},
        {kDepartNettoyage, cleaning::kDescription.legende_depart}};
    for (const auto& [n, legende] : departs) {
        BoutonTheme* b = creer_bouton(n, kXBoutons, y_depart, kLargeurBouton, kHauteurBouton,
                                      texte_utf8(legende), corps, police);
        colorer_bouton(n);
        connect(b, &QPushButton::clicked, this, [this, n] { traiter_controle(n); });
        b->hide();
    }
    construire_liste(corps);
}

void FenetrePrincipale::construire_liste(QWidget* corps) {
    const QRect bouton4 = control(kTesterNumeros)->geometry();
    const int x = bouton4.right() + 1 + 30;
    const int y = bouton4.top() + 33;
    const int largeur = corps->width() - (bouton4.right() + 1 + 15) - 44;
    const int hauteur = corps->height() - (bouton4.bottom() + 1) - 34;

    auto* liste = new QTreeWidget(corps);  // owned by the body
    liste->setGeometry(x, y, largeur, hauteur);
    liste->setRootIsDecorated(false);
    liste->setUniformRowHeights(true);
    liste->setSelectionMode(QAbstractItemView::ExtendedSelection);
    liste->setIconSize(QSize(16, 16));
    liste->setHeaderLabels({QString::fromUtf8(kTitreColonneVide),
                            QStringLiteral("Bits par pixel - nombre de couleurs")});
    liste->header()->setStretchLastSection(false);
    liste->header()->setSectionsMovable(false);
    enregistrer_controle(kListeFichiers, liste);
    installer_menu_liste(*this);
    installer_depot_liste(*this);

    const int pixels = QFontInfo(liste->font()).pixelSize();
    police_liste_ = liste->font();
    police_liste_.setPixelSize(pixels + 2);
    police_liste_soulignee_ = liste->font();
    police_liste_soulignee_.setPixelSize(pixels + 5);
    police_liste_soulignee_.setUnderline(true);
    liste->setFont(police_liste_);
    ajuster_colonne_0(*this);  // in the list's own font, so that the header is not cut
    liste->setColumnWidth(1, kLargeurColonneBits);

    auto* statut = new QLabel(QString::fromUtf8(kDossierVide), corps);  // owned by the body
    statut->setTextFormat(Qt::PlainText);
    statut->setGeometry(x, y - 31, largeur, 40);
    statut->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette p = statut->palette();
    p.setColor(QPalette::Window, qcouleur(kFondStatut));
    p.setColor(QPalette::WindowText, Qt::white);
    statut->setPalette(p);
    statut->setAutoFillBackground(true);
    ressources_.definir_police(kPoliceDossier, police_en_points(QStringLiteral("Arial"), 15));
    statut->setFont(*ressources_.police(kPoliceDossier));
    enregistrer_controle(kStatutDossier, statut);
    liste->move(x, y + 7);
}

void FenetrePrincipale::construire_barre_bas() {
    QWidget* barre =
        conteneur(kBarreBas, this,
                  QRect(0, kHauteurClient - kHauteurBarreBas, kLargeurClient, kHauteurBarreBas),
                  kFondBarreBasAccueil);
    const QFont& police = *ressources_.police(kPoliceBoutons);
    const int y = (kHauteurBarreBas - kHauteurBoutonBas) / 2;
    auto largeur = [&](const char* legende) {
        return taille_ou_defaut(mesurer_texte(&police, QString::fromUtf8(legende))).width() + 40;
    };
    auto bouton = [&](int n, int x, int w, const char* legende, bool visible) {
        BoutonTheme* b =
            creer_bouton(n, x, y, w, kHauteurBoutonBas, QString::fromUtf8(legende), barre, police);
        colorer_bouton(n);
        connect(b, &QPushButton::clicked, this, [this, n] { traiter_controle(n); });
        b->setVisible(visible);
        return b->geometry();
    };
    const QRect quitter =
        bouton(kQuitter, kLargeurClient - largeur("Quitter") - 20, 100, "Quitter", true);
    const QRect annuler = bouton(kAnnuler, quitter.x(), largeur("Annuler"), "Annuler", false);
    const QRect reconstituer =
        bouton(kReconstituer, 30, largeur("Reconstituer"), "Reconstituer", false);
    const QRect ajouter =
        bouton(kAjouterExceptions, reconstituer.right() + 1 + 50,
               largeur("Ajouter des exceptions de page"), "Ajouter des exceptions de page", false);
    bouton(kSupprimerExceptions, ajouter.right() + 1 + 30,
           largeur("Supprimer des exceptions de page"), "Supprimer des exceptions de page", false);
    bouton(kRenommer, annuler.x() - largeur("Renommer") - 20, largeur("Renommer"), "Renommer",
           false);
    bouton(kTesterNumerotation, 50, largeur("Tester la numérotation des fichiers d'origine"),
           "Tester la numérotation des fichiers d'origine", false);
}

void FenetrePrincipale::sur_evenement(int numero, std::function<void()> action) {
    actions_[numero] = std::move(action);
}

int FenetrePrincipale::a_l_arret(std::function<void()> attendre) {
    attentes_[++prochaine_attente_] = std::move(attendre);
    return prochaine_attente_;
}

void FenetrePrincipale::retirer_attente(int numero) {
    attentes_.erase(numero);
}

FenetrePrincipale::Intercepteur FenetrePrincipale::intercepter_controles(Intercepteur panneau) {
    return std::exchange(intercepteur_, std::move(panneau));
}

void FenetrePrincipale::attendre_les_travaux() {
    const bool interrompus =
        !attentes_.empty() && fermeture_demandee_ && liste() && liste()->topLevelItemCount() > 0;
    for (auto& [numero, attendre] : attentes_) attendre();
    attentes_.clear();
    if (!interrompus) return;
    // The rows' last reports are still queued for this window: they count too.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    const QTreeWidget* l = liste();
    const int lignes = l ? l->topLevelItemCount() : 0;
    int faites = 0;
    for (int i = 0; i < lignes; ++i)
        if (l->topLevelItem(i)->data(0, Qt::UserRole).toInt() == kIconeFait) ++faites;
    Boite_Message(
        dialogs_,
        {.instruction = QStringLiteral(" Info"),
         .corps = QStringLiteral("%1 sur %2 ont été traitées avant l'arrêt du programme ; "
                                 "les autres n'ont pas été modifiées.")
                      .arg(faites == 1 ? QStringLiteral("1 page")
                                       : QStringLiteral("%1 pages").arg(faites))
                      .arg(lignes),
         .style = kIconeInformation},
        nullptr);
}

// Closing during a run asks first; pages being written are finished whatever the answer.
void FenetrePrincipale::closeEvent(QCloseEvent* event) {
    // Every run works on the listed pages: without rows there is nothing to lose.
    if (!fermeture_demandee_ && !attentes_.empty() && liste() && liste()->topLevelItemCount() > 0 &&
        Boite_Message(dialogs_,
                      {.instruction = QString::fromUtf8(kTitreTraitementEnCours),
                       .corps = QStringLiteral("Quitter quand même ? Les pages en cours d'écriture "
                                               "seront terminées, les suivantes ne seront pas "
                                               "traitées."),
                       .style = kIconeAvertissement | kBoutonsOuiNon},
                      this) == kCodeNon) {
        event->ignore();
        return;
    }
    fermeture_demandee_ = true;
    event->accept();
    emit ferme();
}

}  // namespace vellumor::app
