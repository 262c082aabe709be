#include "app/image_selection.h"

#include <QTreeWidget>

#include "app/controls.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "batch/originaux.h"
#include "imagelist/image_list.h"
#include "settings/preferences.h"

namespace vellumor::app {

void selectionner_images(FenetrePrincipale& f, const QString& titre) {
    desactiver_boutons_geres(f);
    ListeImages& liste = GLB_Fichiers_Images();
    liste.clear();
    const QStringList choisis =
        f.dialogs().ouvrir_fichiers(titre, QString::fromStdString(GLB_Preferences().DossierImages),
                                    QStringLiteral("Fichiers images|*.png"), true);
    for (const QString& fichier : choisis) {
        if (fichier.isEmpty()) break;
        if (est_original_garde(chemin(fichier))) continue;
        liste.push_back(entree_pour(chemin(fichier)));
    }
    if (liste.empty()) {
        activer(kEnregistrerListe, false);
        activer(kEffacerListe, false);
        return;
    }
    afficher_liste(f);
}

void afficher_liste(FenetrePrincipale& f) {
    ListeImages& liste = GLB_Fichiers_Images();
    QTreeWidget* lignes = f.liste();
    if (lignes) {
        lignes->clear();
        lignes->headerItem()->setText(0, titre_colonne_fichiers(liste.size()));
    }
    trier_par_numero(liste);
    if (liste.empty()) return;
    const QString premier = qtexte(liste.front().Fichier);
    const QString dossier = premier.left(premier.lastIndexOf(QLatin1Char('/')) + 1);
    GLB_Preferences().DossierImages = dossier.toStdString();
    if (lignes) lignes->setUpdatesEnabled(false);
    remplir_lignes(f);
    definir_texte_controle(kStatutDossier, QStringLiteral("  ") + dossier);
    ajuster_colonne_0(f);
    if (lignes) {
        lignes->setUpdatesEnabled(true);
        lignes->repaint();
    }
}

void remplacer_liste(FenetrePrincipale& f, const QString& titre) {
    if (GLB_Fichiers_Images().empty()) {
        effacer_liste(f);
        selectionner_images(f, titre);
        return;
    }
    const int reponse = boite_simple(
        f.dialogs(), QStringLiteral("Liste des fichiers"),
        QStringLiteral("Effacer la liste des fichiers et\r\ncharger une nouvelle liste ?"),
        kIconeQuestion | kBoutonsOuiNon);
    if (reponse == kCodeOui) {
        effacer_liste(f);
        selectionner_images(f, titre);
        return;
    }
    QTreeWidget* lignes = f.liste();
    if (lignes) lignes->setUpdatesEnabled(false);
    const int n = lignes ? lignes->topLevelItemCount() : 0;
    for (int i = 0; i < n; ++i) definir_icone_ligne(f, i, kIconeNeutre);
    if (lignes) {
        lignes->setUpdatesEnabled(true);
        lignes->repaint();
    }
}

}  // namespace vellumor::app
