#include "app/panels/launchers.h"
#include "app/panels/numbering_panel_impl.h"
#include "app/panels/numbering_run.h"

namespace vellumor::app {
namespace numerotation {

void FenetreNumerotation::ouvert() {
    ajouter_troisieme_colonne();
    mettre_a_jour_fin();
}

std::optional<std::int64_t> FenetreNumerotation::debut() const {
    const QString t = texte_controle(kDebut).trimmed();
    if (t.isEmpty()) return std::nullopt;
    return t.toLongLong();  // digits only: a text that is no number reads as 0
}

void FenetreNumerotation::mettre_a_jour_fin() {
    definir_texte_controle(kFin,
                           QString::number(fin_affichee(debut(), GLB_Fichiers_Images().size())));
}

// With rows and only its first two columns, the list gets "Nouveau nom de fichier", where the
// workers write each page's new name; every column then fits its header and its rows, and the
// first one takes what the others leave, so that the progress text shows whole.
void FenetreNumerotation::ajouter_troisieme_colonne() {
    QTreeWidget* l = f_.liste();
    if (!l) return;
    if (l->topLevelItemCount() == 0) {
        ajuster_colonne_0(f_);
        return;
    }
    if (l->columnCount() != 2) return;
    l->setColumnCount(3);
    l->headerItem()->setText(2, QString::fromUtf8(kColonneNouveauNom));
    for (int c = 0; c < 3; ++c) l->resizeColumnToContents(c);
    const int reste = l->viewport()->width() - l->columnWidth(1) - l->columnWidth(2);
    l->setColumnWidth(0, std::max(l->columnWidth(0) + 20, reste));
}

void FenetreNumerotation::traiter(int numero, TypeEvenement type) {
    if (numero == kAnnulerNumerotation) {
        if (!en_cours()) quitter();
    } else if (numero == kQuitter) {
        f_.close();
    } else if (numero == kNumeroterImages) {
        if (!en_cours()) numeroter();
    } else if (numero == kOuvrirDossierTemporaire) {
        ouvrir_dossier_temporaire();
    } else if (numero == kDebut) {
        mettre_a_jour_fin();
    } else {
        for (std::size_t i = 0; i < std::size(kParametres); ++i)
            if (kParametres[i].champ == numero) changement_parametre(i, type);
    }
}

// A change keeps the value at once and shows it in red at either bound; an arrow sends the focus
// to the file list and repaints the spin box once its new value is drawn.
void FenetreNumerotation::changement_parametre(std::size_t i, TypeEvenement type) {
    auto* s = control_as<QSpinBox>(kParametres[i].champ);
    if (!s) return;
    if (type == TypeEvenement::Changement) {
        const PlageParametre& plage = kPlagesNumerotation[i];
        GLB_Preferences().*kParametres[i].valeur = s->value();
        const bool borne = s->value() == plage.minimum || s->value() == plage.maximum;
        colorer_texte(s, borne ? kTexteBorne : kTexteNormal);
    } else if (type == TypeEvenement::FlecheHaut || type == TypeEvenement::FlecheBas) {
        s->setUpdatesEnabled(false);
        if (QWidget* l = control(kListeFichiers)) l->setFocus();
        f_.poster(kRedessinerPremierChamp + int(i));
    }
}

void FenetreNumerotation::menu(int item) {
    if (en_cours()) return;
    if (item == kItemChargerListe) charger_fichier_liste(f_);
    if (item == kItemChargerImages) choisir_images();
    if (f_.liste() && f_.liste()->topLevelItemCount() > 0) ajouter_troisieme_colonne();
    mettre_a_jour_fin();
}

// Without images after the selection there is nothing to number; "Annuler" stays, so that the
// window can be left without quitting the program.
void FenetreNumerotation::choisir_images() {
    const QString titre = QString::fromUtf8(kDescription.titre_dialogue_fichiers);
    remplacer_liste(f_, GLB_Fichiers_Images().empty() ? titre : titre + QLatin1Char(' '));
    const bool vide = GLB_Fichiers_Images().empty();
    colorer_barre_bas(vide ? kFondBarreBasAccueil : kFondBarreNumerotation);
    montrer(kAnnulerNumerotation, true);
    montrer(kNumeroterImages, !vide);
    montrer(kQuitter, false);
    if (!vide) {
        ajuster_colonne_0(f_);
        return;
    }
    QWidget* effacer = control(kEffacerListe);
    if (effacer) effacer->setUpdatesEnabled(false);
    activer_selon_liste(f_);
    if (effacer) {
        effacer->setUpdatesEnabled(true);
        effacer->repaint();
    }
}

// Without a file explorer, the user learns where the numbered pages are, and finds the path on the
// clipboard.
void FenetreNumerotation::ouvrir_dossier_temporaire() {
    const QString dossier = Dossier_Temporaire();
    if (!dossier.isEmpty() && f_.dialogs().ouvrir_dossier(dossier)) return;
    if (dossier.isEmpty()) {
        Boite_Message(f_.dialogs(),
                      QStringLiteral(" Le dossier temporaire ne peut pas être utilisé"), QString(),
                      kIconeErreur, &f_);
        return;
    }
    f_.dialogs().copier_texte(dossier);
    Boite_Message(f_.dialogs(),
                  {.instruction = QString::fromUtf8(kTitreDossierNonOuvert),
                   .corps = QStringLiteral("Les pages numérotées sont dans le dossier\r%1\r\rCe "
                                           "chemin a été copié dans le presse-papiers.")
                                .arg(dossier),
                   .style = kIconeAvertissement},
                  &f_);
}

void FenetreNumerotation::numeroter() {
    activer_fenetre(false);
    const std::size_t n = GLB_Fichiers_Images().size();
    if (n == 0) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *refus_demande(debut(), n), &f_);
        return;
    }
    reinitialiser_icones(f_);
    ajouter_troisieme_colonne();
    mettre_a_jour_fin();
    if (auto refus = refus_demande(debut(), n)) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *refus, &f_);
        return;
    }
    Repartition r = repartir_par_parite(GLB_Fichiers_Images(), constantes_lots(kDescription));
    if (!r.lots) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *r.message, &f_);
        return;
    }
    reglages_ = {};
    reglages_.debut = *debut();
    reglages_.fin = reglages_.debut + std::int64_t(n) - 1;
    reglages_.position = kPositions[0].position;
    for (const Position& p : kPositions)
        if (auto* o = control_as<QRadioButton>(p.controle); o && o->isChecked())
            reglages_.position = p.position;
    ModeleNumero modele = ModeleNumero::RectangleBlanc;
    for (const Modele& m : kModeles)
        if (auto* o = control_as<QRadioButton>(m.option); o && o->isChecked()) modele = m.modele;
    reglages_.parametres = parametres_des_preferences();
    const DossierPrive temporaire = dossier_temporaire_prive();
    if (!temporaire) {
        activer_fenetre(true);
        Boite_Message(f_.dialogs(),
                      QStringLiteral(" Le dossier temporaire ne peut pas être utilisé"),
                      QString::fromStdString(temporaire.erreur), kIconeErreur, &f_);
        return;
    }
    reglages_.dossier = temporaire.chemin;
    if (!lancer(
            std::make_unique<ExecutionNumerotation>(f_, reglages_, modele, std::move(*r.lots)))) {
        activer_fenetre(true);
        Boite_Message(f_.dialogs(),
                      QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                      QString(), kIconeErreur, &f_);
    }
}

void FenetreNumerotation::execution_terminee() {
    (void)terminer_numerotation(
        reglages_);  // the stamps go; its box is the list's, with any failures
    annoncer_fin(f_, kDescription.texte_fin);
    activer_fenetre(true);
}

// While a request is checked and a run lasts, only "Ouvrir le dossier temporaire" stays usable:
// the labels turn grey and the samples show their greyed pictures.
void FenetreNumerotation::activer_fenetre(bool actif) {
    for (int n : {kCadrePosition, kCadreDebutFin, kDebut, kFin, kCadreModeles, kCadreParametres,
                  kAnnulerNumerotation, kNumeroterImages})
        activer(n, actif);
    for (const Position& p : kPositions) activer(p.controle, actif);
    for (const Parametre& p : kParametres) {
        activer(p.champ, actif);
        definir_valeur_affichage(p.texte, actif ? 1 : 2);
    }
    for (int n : {kTexteDebut, kTexteFin, kTexteChargerListe, kTexteChargerImages})
        definir_valeur_affichage(n, actif ? 1 : 2);
    for (const Modele& m : kModeles) {
        activer(m.option, actif);
        auto* e = control_as<QLabel>(m.echantillon);
        const QImage* image = f_.ressources().image(actif ? m.image : m.image_grisee);
        if (e && image) e->setPixmap(QPixmap::fromImage(*image));
    }
    for (int w : {kFenetreChargerListe, kFenetreChargerImages})
        if (QWidget* fen = fenetre(w)) fen->setEnabled(actif);
    for (int b : {kBarreChargerListe, kBarreChargerImages})
        if (auto* barre = qobject_cast<QToolBar*>(barre_outils(b)))
            for (QAction* a : barre->actions()) a->setEnabled(actif);
    if (actif) f_.repaint();
}

// The third column goes and column 1 takes its width in window 1 again (column 0 then fills the
// list put back); the tool-bar windows and the samples' pictures go with the window.
void FenetreNumerotation::rendre() {
    if (QTreeWidget* l = f_.liste();
        l && l->columnCount() > 2 &&
        l->headerItem()->text(2) == QString::fromUtf8(kColonneNouveauNom)) {
        l->setColumnCount(2);
        l->setColumnWidth(1, kLargeurColonneBits);
    }
    for (int w : {kFenetreChargerListe, kFenetreChargerImages})
        if (QWidget* fen = fenetre(w)) fen->deleteLater();
    for (std::size_t i = 0; i < std::size(kParametres); ++i)
        f_.sur_evenement(kRedessinerPremierChamp + int(i), {});
    activer_selon_liste(f_);
}

}  // namespace numerotation

void ouvrir_numerotation(FenetrePrincipale& f) {
    numerotation::FenetreNumerotation fenetre(f);
    fenetre.executer();
}

}  // namespace vellumor::app
