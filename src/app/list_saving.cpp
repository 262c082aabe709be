#include "app/list_saving.h"

#include <QTreeWidget>
#include <filesystem>
#include <vector>

#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "imagelist/image_list.h"
#include "imagelist/list_file.h"

namespace vellumor::app {
namespace {

const QString kTitreDialogue = QStringLiteral("Liste des fichiers à Sauvegarder");

// The paths to save: the listed images, or with an empty list the images picked in a dialog.
std::vector<std::filesystem::path> fichiers_a_enregistrer(FenetrePrincipale& f) {
    std::vector<std::filesystem::path> fichiers;
    if (f.liste() && f.liste()->topLevelItemCount() > 0) {
        for (const EntreeImage& e : GLB_Fichiers_Images()) fichiers.push_back(e.Fichier);
        return fichiers;
    }
    const QStringList choisis = f.dialogs().ouvrir_fichiers(
        kTitreDialogue, QString(), QStringLiteral("Fichiers images|*.png;*.tif"), true);
    for (const QString& c : choisis) fichiers.push_back(chemin(c));
    return fichiers;
}

void enregistrer(FenetrePrincipale& f) {
    afficher_message(f.dialogs(), question_chemin_complet(), &f);
    const std::vector<std::filesystem::path> fichiers = fichiers_a_enregistrer(f);
    if (fichiers.empty()) {
        afficher_message(f.dialogs(), message_liste_non_enregistree(), &f);
        return;
    }
    const QString choisi =
        f.dialogs().enregistrer_fichier(kTitreDialogue, QString(), QStringLiteral("*.txt"));
    if (choisi.isEmpty()) {
        afficher_message(f.dialogs(), message_liste_non_enregistree(), &f);
        return;
    }
    afficher_message(f.dialogs(), enregistrer_fichier_liste(choisi.toStdString(), fichiers), &f);
}

}  // namespace

void enregistrer_liste(FenetrePrincipale& f) {
    desactiver_boutons_geres(f);
    enregistrer(f);
    activer_selon_liste(f);
}

}  // namespace vellumor::app
