#include "app/panels/panel.h"

#include <QAbstractButton>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "app/colours.h"
#include "app/controls.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"

namespace vellumor::app {
namespace {

constexpr int kMarge = 30;

int largeur_barre_defilement(const QWidget* w) {
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

}  // namespace

void colorer_barre_bas(Couleur fond) {
    if (QWidget* barre = control(kBarreBas)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(fond));
        barre->setPalette(p);
    }
}

Panneau::Panneau(FenetrePrincipale& f) : boutons_barre{kAnnuler}, f_(f) {}

Panneau::~Panneau() {
    if (execution_) execution_->ecouter(nullptr);
}

IssuePanneau Panneau::executer() {
    if (f_.fermeture_demandee()) return IssuePanneau::Ferme;
    FenetrePrincipale::Intercepteur precedent = f_.intercepter_controles(
        [this](int numero, TypeEvenement type) { return intercepter(numero, type); });
    const QMetaObject::Connection fermeture =
        connect(&f_, &FenetrePrincipale::ferme, this, [this] { sur_fermeture(); });
    entrer();
    ouvert();
    if (ouvert_) boucle_.exec();  // unless ouvert() has left already
    disconnect(fermeture);
    f_.intercepter_controles(std::move(precedent));
    return issue_;
}

void Panneau::entrer() {
    ouvert_ = true;
    colorer_barre_bas(fond_barre);
    masquer_boutons_geres(f_);
    for (int n : boutons_barre) montrer(n, true);
    montrer(kQuitter, false);
    if (QWidget* l = control(kListeFichiers)) liste_sauvee_ = l->geometry();
    if (QWidget* s = control(kStatutDossier)) statut_sauve_ = s->geometry();
    construire();
    ajuster_premiere_colonne();
}

void Panneau::construire() {
    placer_liste(liste_sauvee_.height() + 20);
}

bool Panneau::placer_liste(int hauteur, int largeur, int y) {
    QWidget* c = corps();
    QWidget* statut = control(kStatutDossier);
    QWidget* liste = control(kListeFichiers);
    if (!c || !statut || !liste) return false;
    statut->setGeometry(kMarge, y, largeur > 0 ? largeur : c->width() - 2 * kMarge,
                        statut->height());
    liste->setGeometry(kMarge, statut->y() + statut->height(), statut->width(), hauteur);
    return true;
}

QWidget* Panneau::corps() const {
    return control(kCorps);
}

void Panneau::adopter(int numero, QWidget* w) {
    enregistrer_controle(numero, w);
    propres_.push_back(numero);
}

void Panneau::relayer_clics(QObject* bouton, int numero) {
    if (auto* b = qobject_cast<QAbstractButton*>(bouton))
        connect(b, &QAbstractButton::clicked, &f_, [this, numero] { f_.traiter_controle(numero); });
}

void Panneau::ajuster_premiere_colonne() {
    QTreeWidget* l = f_.liste();
    if (!l) return;
    const int barre = largeur_barre_defilement(l);
    ajuster_colonne_0(f_, l->width() - 2 * l->frameWidth() - l->columnWidth(1) - barre);
}

bool Panneau::intercepter(int numero, TypeEvenement type) {
    if (ouvert_) traiter(numero, type);
    return true;
}

void Panneau::traiter(int numero, TypeEvenement) {
    if (numero == kAnnuler && !execution_) quitter();
}

bool Panneau::lancer(std::unique_ptr<Execution> run) {
    std::shared_ptr<Execution> r = std::move(run);
    r->ecouter(this);
    if (!r->demarrer()) {
        r->ecouter(nullptr);
        return false;
    }
    attente_ = f_.a_l_arret([r] {
        r->demander_arret();
        r->attendre();
    });
    execution_ = std::move(r);
    return true;
}

void Panneau::arreter_execution() {
    if (execution_) execution_->demander_arret();
}

// The run told us as its last act: it may go now (its threads are ending).
void Panneau::oublier_execution() {
    f_.retirer_attente(attente_);
    execution_.reset();
}

void Panneau::travailleurs_termines() {
    originaux_gardes_ =
        execution_ ? execution_->dossiers_originaux() : std::vector<std::filesystem::path>{};
    oublier_execution();
    execution_finie_ = true;
    execution_terminee();
}

void Panneau::abandon_signale() {
    oublier_execution();
    execution_abandonnee();
}

void Panneau::liberer_controles() {
    colorer_barre_bas(kFondBarreBasAccueil);
    rendre();
    for (int n : propres_) retirer_controle(n);
    propres_.clear();
}

void Panneau::quitter() {
    liberer_controles();
    if (QWidget* l = control(kListeFichiers)) l->setGeometry(liste_sauvee_);
    if (QWidget* s = control(kStatutDossier))
        s->setGeometry(statut_sauve_.x(), statut_sauve_.y(), liste_sauvee_.width(),
                       statut_sauve_.height());
    ajuster_premiere_colonne();
    restaurer_etat_principal(f_);
    montrer(kQuitter, true);
    for (int n : boutons_barre) montrer(n, false);
    f_.update();
    ouvert_ = false;
    issue_ = execution_finie_ ? IssuePanneau::Termine : IssuePanneau::Quitte;
    boucle_.quit();
}

// Window 1 is closing: the panel goes at once. A run in progress stops before its next files; the
// shutdown waits for the pages being written, so that none is left half-written.
void Panneau::sur_fermeture() {
    if (!ouvert_) return;
    if (execution_) {
        execution_->ecouter(nullptr);
        execution_->demander_arret();
        execution_.reset();  // the wait at shutdown keeps the run until its threads have ended
    }
    liberer_controles();
    f_.setUpdatesEnabled(false);
    ouvert_ = false;
    issue_ = IssuePanneau::Ferme;
    boucle_.quit();
}

void Panneau::poster_clic(int numero) {
    auto* bouton = qobject_cast<QAbstractButton*>(control(numero));
    if (bouton) QMetaObject::invokeMethod(bouton, &QAbstractButton::click, Qt::QueuedConnection);
}

}  // namespace vellumor::app
