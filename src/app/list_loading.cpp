#include "app/list_loading.h"

#include <QFileInfo>
#include <QTreeWidget>
#include <filesystem>

#include "app/controls.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "imagelist/image_list.h"
#include "imagelist/list_file.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

const QString kTitreDialogue = QStringLiteral("Fichier Liste des images à numéroter");
const QString kFiltre = QStringLiteral("Fichier Liste|*.txt");

QString dossier_du_dernier_fichier() {
    const QString dernier =
        QString::fromStdString(GLB_Preferences().Last_Numbering_Image_List_File);
    return dernier.isEmpty() ? QString() : QFileInfo(dernier).path();
}

void montrer_liste(FenetrePrincipale& f, const LectureListe& lecture) {
    ListeImages& images = GLB_Fichiers_Images();
    images = entrees_depuis_liste(lecture.fichiers);
    QTreeWidget* l = f.liste();
    if (l) l->setUpdatesEnabled(false);
    remplir_lignes(f);
    if (l) {
        l->setUpdatesEnabled(true);
        l->repaint();
    }
    if (images.empty()) {
        activer(kEnregistrerListe, false);
        activer(kEffacerListe, false);
        return;
    }
    if (l) l->headerItem()->setText(0, titre_colonne_fichiers(images.size()));
    activer_selon_liste(f);
    ajuster_colonne_0(f);
}

}  // namespace

void charger_fichier_liste(FenetrePrincipale& f) {
    const QStringList choisis =
        f.dialogs().ouvrir_fichiers(kTitreDialogue, dossier_du_dernier_fichier(), kFiltre, false);
    const QString choisi = choisis.isEmpty() ? QString() : choisis.front();
    std::error_code ec;
    if (choisi.isEmpty() || !std::filesystem::exists(chemin(choisi), ec)) {
        afficher_message(f.dialogs(), message_aucun_fichier_liste(), &f);
        return;
    }
    effacer_liste(f);
    desactiver_boutons_geres(f);
    const LectureListe lecture = lire_fichier_liste(chemin(choisi));
    // Duplicates are found after the file has been read through, so its path is remembered then;
    // a file refused for its encoding or its opening is not.
    const bool lu = lecture.ok || lecture.message->kind == Message::Kind::Simple;
    if (lu) GLB_Preferences().Last_Numbering_Image_List_File = choisi.toStdString();
    if (lecture.ok) {
        montrer_liste(f, lecture);
        return;
    }
    afficher_message(f.dialogs(), *lecture.message, &f);
    effacer_liste(f);
    if (QTreeWidget* l = f.liste()) l->repaint();
    activer_selon_liste(f);
}

}  // namespace vellumor::app
