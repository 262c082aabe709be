#include "app/panels/batch_panel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <new>
#include <optional>

#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/message_box.h"
#include "app/window_progress.h"
#include "imagelist/image_list.h"
#include "imagelist/repartition_parite.h"

namespace vellumor::app {
namespace {

constexpr int kBarreBas = 2;
constexpr int kCorps = 1;
constexpr int kListe = 17;
constexpr int kStatut = 18;
constexpr int kQuitter = 3;
constexpr int kAnnuler = 60;
constexpr int kMarge = 30;

void colorer_barre(Couleur fond) {
    if (QWidget* barre = control(kBarreBas)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(fond));
        barre->setPalette(p);
    }
}

int largeur_barre_defilement(const QWidget* w) {
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

}  // namespace

DescriptionLot decrire_lot(int bouton_depart, std::string_view titre_erreur,
                           std::string_view titre_dialogue, std::string_view texte_fin,
                           int evenement_verification, ConstantesLots lots) {
    DescriptionLot d;
    d.bouton_depart = bouton_depart;
    d.titre_erreur = texte_utf8(titre_erreur);
    d.titre_dialogue = texte_utf8(titre_dialogue);
    d.texte_fin = texte_utf8(texte_fin);
    d.evenement_verification = evenement_verification;
    d.lots = std::move(lots);
    return d;
}

// A run in progress: the rows its workers read and the progression they report through to window 1;
// the run is declared last so that its threads have ended before the others go.
struct PanneauLot::Execution {
    explicit Execution(FenetrePrincipale& f) : lignes(lignes_de_la_liste(f)), progression(f) {}
    LignesFixes lignes;
    ProgressionFenetre progression;
    std::unique_ptr<ExecutionLot> lot;
};

PanneauLot::PanneauLot(FenetrePrincipale& f, DescriptionLot d, bool enchaine)
    : f_(f), d_(std::move(d)), enchaine_(enchaine) {}

PanneauLot::~PanneauLot() = default;

IssuePanneau PanneauLot::executer() {
    if (f_.fermeture_demandee()) return IssuePanneau::Ferme;
    FenetrePrincipale::Intercepteur precedent =
        f_.intercepter_controles([this](int numero, TypeEvenement) { return traiter(numero); });
    const QMetaObject::Connection fermeture =
        connect(&f_, &FenetrePrincipale::ferme, this, [this] { sur_fermeture(); });
    const int evenements[] = {int(d_.lots.evenement_pair), int(d_.lots.evenement_impair),
                              d_.evenement_verification};
    for (int n : evenements) f_.sur_evenement(n, [this, n] { sur_evenement(n); });
    entrer();
    if (d_.demarre_seul) poster_clic(d_.bouton_depart);
    boucle_.exec();
    for (int n : evenements) f_.sur_evenement(n, {});
    disconnect(fermeture);
    f_.intercepter_controles(std::move(precedent));
    return issue_;
}

void PanneauLot::entrer() {
    ouvert_ = true;
    colorer_barre(d_.fond_barre);
    masquer_boutons_geres(f_);
    montrer(kAnnuler, true);
    montrer(kQuitter, false);
    if (QWidget* l = control(kListe)) liste_sauvee_ = l->geometry();
    if (QWidget* s = control(kStatut)) statut_sauve_ = s->geometry();
    disposer();
    ajuster_premiere_colonne();
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

void PanneauLot::disposer() {
    QWidget* corps = control(kCorps);
    QWidget* statut = control(kStatut);
    QWidget* liste = control(kListe);
    if (!corps || !statut || !liste) return;
    statut->setGeometry(kMarge, 10, corps->width() - 2 * kMarge, statut->height());
    liste->setGeometry(kMarge, statut->y() + statut->height(), statut->width(),
                       liste_sauvee_.height() + 20);
}

// The first column fits its header less a scroll bar's width, and at least fills what the second
// column leaves of the list, so that the progress text shows whole.
void PanneauLot::ajuster_premiere_colonne() {
    QTreeWidget* l = f_.liste();
    if (!l) return;
    ajuster_colonne_0(f_);
    const int barre = largeur_barre_defilement(l);
    const int reste = l->width() - 2 * l->frameWidth() - l->columnWidth(1) - barre;
    l->setColumnWidth(0, std::max(l->columnWidth(0) - barre, reste));
}

bool PanneauLot::traiter(int numero) {
    if (!ouvert_) return true;
    if (numero == d_.bouton_depart) {
        if (!execution_) demarrer();
    } else if (numero == kAnnuler) {
        if (!execution_) quitter();
    } else {
        traiter_autre(numero);
    }
    return true;
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
    desactiver_boutons_geres(f_);
    activer_options(false);
    if (!r->lots) {
        afficher_message(f_.dialogs(), *r->message, &f_);
        reactiver();
        return;
    }
    auto e = std::make_shared<Execution>(f_);
    ParametresExecution p;
    p.lignes = &e->lignes;
    p.progression = &e->progression;
    p.nombre_fichiers = std::int64_t(GLB_Fichiers_Images().size());
    e->lot = std::make_unique<ExecutionLot>(std::move(*r->lots), p);
    fins_ = 0;
    if (!e->lot->demarrer(d_.travail())) {
        e.reset();
        reactiver();
        Boite_Simple(f_.dialogs(), d_.titre_erreur,
                     QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                     kIconeErreur);
        return;
    }
    // Should the program end during the run, the pages being written finish first.
    attente_ = f_.a_l_arret([e] {
        e->lot->arreter();
        e->lot->attendre();
    });
    execution_ = std::move(e);
}

void PanneauLot::sur_evenement(int numero) {
    if (numero == d_.lots.evenement_pair || numero == d_.lots.evenement_impair) {
        ++fins_;
        f_.poster(d_.evenement_verification);
    } else if (numero == d_.evenement_verification && fins_ == 2) {
        fins_ = 0;
        terminer();
    }
}

void PanneauLot::terminer() {
    // Both workers have posted their last report: their threads are ending.
    f_.retirer_attente(attente_);
    execution_.reset();
    run_termine_ = true;
    if (!enchaine_)
        Boite_Message(f_.dialogs(), QStringLiteral(" Info"), QStringLiteral("\n") + d_.texte_fin,
                      kIconeInformation, &f_);
    reactiver();
    if (enchaine_) poster_clic(kAnnuler);
}

void PanneauLot::reactiver() {
    activer_selon_liste(f_);
    activer(d_.bouton_depart, true);
    activer(kAnnuler, true);
    activer_options(true);
}

void PanneauLot::quitter_jusqu_aux_controles() {
    colorer_barre(kFondBarreBasAccueil);
    if (QWidget* bouton = control(d_.bouton_depart)) {
        bouton->hide();
        if (parent_depart_) {
            bouton->setParent(parent_depart_);
            bouton->setGeometry(geometrie_depart_);
            bouton->hide();
        }
    }
    detruire_options();
    for (int n = 19; n <= 36; ++n) delete control(n);
    for (int n = 37; n <= 39; ++n) montrer(n, false);
}

void PanneauLot::quitter() {
    quitter_jusqu_aux_controles();
    if (QWidget* l = control(kListe)) l->setGeometry(liste_sauvee_);
    if (QWidget* s = control(kStatut))
        s->setGeometry(statut_sauve_.x(), statut_sauve_.y(), liste_sauvee_.width(),
                       statut_sauve_.height());
    if (QTreeWidget* l = f_.liste()) {
        ajuster_colonne_0(f_);
        l->setColumnWidth(0, l->columnWidth(0) - largeur_barre_defilement(l));
    }
    restaurer_etat_principal(f_);
    montrer(kQuitter, true);
    montrer(kAnnuler, false);
    f_.update();
    ouvert_ = false;
    issue_ = run_termine_ ? IssuePanneau::Termine : IssuePanneau::Quitte;
    boucle_.quit();
}

// Window 1 is closing: the panel goes at once. A run in progress stops before its next files; the
// shutdown waits for the pages being written, so that none is left half-written.
void PanneauLot::sur_fermeture() {
    if (!ouvert_) return;
    if (execution_) {
        execution_->lot->arreter();
        execution_.reset();  // the wait at shutdown keeps the run until its threads have ended
    }
    quitter_jusqu_aux_controles();
    f_.setUpdatesEnabled(false);
    ouvert_ = false;
    issue_ = IssuePanneau::Ferme;
    boucle_.quit();
}

void PanneauLot::poster_clic(int numero) {
    auto* bouton = qobject_cast<QAbstractButton*>(control(numero));
    if (bouton) QMetaObject::invokeMethod(bouton, &QAbstractButton::click, Qt::QueuedConnection);
}

}  // namespace vellumor::app
