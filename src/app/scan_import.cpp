#include "app/scan_import.h"

#include <QTreeWidget>

#include "app/background_task.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/paths.h"
#include "imagelist/image_list.h"
#include "imagelist/selection.h"
#include "ops/import/import.h"

namespace vellumor::app {
namespace {

// Nothing imported: the reason is the box's details and its body.
void afficher_refus(FenetrePrincipale& f, const QString& raison, const QString& titre) {
    Boite_Message(f.dialogs(),
                  {.instruction = QStringLiteral("Aucune page n'est importée"),
                   .details = raison,
                   .corps = raison,
                   .style = kIconeErreur,
                   .titre = titre},
                  &f);
}

// One import: its thread, and what it leaves for the main thread.
class ImportEnCours : public TacheDeFond {
  public:
    ImportEnCours(FenetrePrincipale& f, std::vector<std::filesystem::path> scans,
                  importation::Parametres p)
        : TacheDeFond(f) {
        demarrer(
            [this, scans = std::move(scans), p] {
                resultat_ = importation::importer(scans, p, [this](int fait, int total) {
                    QMetaObject::invokeMethod(
                        this, [this, fait, total] { montrer(fait, total); }, Qt::QueuedConnection);
                    return !arret().load();
                });
            },
            [this, d = p.dossier] { terminer(d); });
    }
    ~ImportEnCours() override { arreter(); }

  private:
    void montrer(int fait, int total) {
        if (QTreeWidget* l = f_.liste())
            l->headerItem()->setText(
                0, QStringLiteral(" Importation des scans : %1/%2 pages").arg(fait).arg(total));
    }

    void terminer(const std::filesystem::path& dossier) {
        const std::vector<std::filesystem::path> aucune;
        GLB_Fichiers_Images() =
            liste_completee(std::move(GLB_Fichiers_Images()), resultat_ ? *resultat_ : aucune);
        afficher_liste(f_);
        activer_selon_liste(f_);
        const QString titre = texte_utf8(importation::kCompletionTitle);
        if (resultat_) {
            const std::size_t n = resultat_->size();
            Boite_Message(
                f_.dialogs(),
                {.instruction = QStringLiteral("%1 page%2 importée%2").arg(n).arg(n > 1 ? "s" : ""),
                 .corps = qtexte(dossier),
                 .style = kIconeInformation,
                 .titre = titre},
                &f_);
        } else {
            afficher_refus(f_, QString::fromStdString(resultat_.raison()), titre);
        }
    }

    // Until the thread ends, an import that has written nothing.
    Resultat<std::vector<std::filesystem::path>> resultat_ = Echec{""};
};

QString dossier_de_depart() {
    const ListeImages& liste = GLB_Fichiers_Images();
    return liste.empty() ? QString()
                         : QString::fromStdString(liste.front().Fichier.parent_path().string());
}

}  // namespace

void importer_des_scans(FenetrePrincipale& f) {
    const QStringList choisis =
        f.dialogs().ouvrir_fichiers(texte_utf8(importation::kDescription.titre_dialogue_fichiers), dossier_de_depart(),
                                    texte_utf8(importation::kFileFilter), true);
    std::vector<std::filesystem::path> scans;
    for (const QString& c : choisis) scans.push_back(chemin(c));
    if (!scans.empty()) importer_scans(f, std::move(scans));
}

void importer_scans(FenetrePrincipale& f, std::vector<std::filesystem::path> scans) {
    if (scans.empty()) return;
    const QString dossier = QString::fromStdString(scans.front().parent_path().string());
    const QString premiere = f.dialogs().enregistrer_fichier(
        texte_utf8(importation::kFolderDialogTitle), dossier, texte_utf8(importation::kPageFilter));
    if (premiere.isEmpty()) return;
    importation::Parametres p = importation::parametres_depuis_nom(chemin(premiere));
    if (const Verdict v = importation::valider(p); !v) {
        afficher_refus(f, QString::fromStdString(v.raison()), texte_utf8(importation::kDescription.titre_boite_erreur));
        return;
    }
    desactiver_boutons_geres(f);
    new ImportEnCours(f, std::move(scans), std::move(p));  // owned by window 1
}

}  // namespace vellumor::app
