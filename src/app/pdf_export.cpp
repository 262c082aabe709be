#include "app/pdf_export.h"

#include <QFileInfo>
#include <QTreeWidget>
#include <vector>

#include "app/background_task.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/window_progress.h"
#include "common/message.h"
#include "imagelist/image_list.h"
#include "ops/pdf/export_pdf.h"
#include "ops/pdf/pdf_constants.h"

namespace vellumor::app {
namespace {

QString texte_pdf_ecrit(std::int64_t pages, const std::filesystem::path& chemin) {
    return (pages == 1 ? QStringLiteral("Le document PDF d'une page a été écrit :\r")
                       : QStringLiteral("Le document PDF de %1 pages a été écrit :\r").arg(pages)) +
           QString::fromStdString(chemin.string());
}

// One export: its thread, and what it leaves for the main thread.
class ExportEnCours : public TacheDeFond {
  public:
    ExportEnCours(FenetrePrincipale& f, ListeImages liste, pdf::ParametresPdf p)
        : TacheDeFond(f), avant_(lire_marques(f)), progression_(f) {
        reinitialiser_icones(f);
        const std::filesystem::path chemin = p.sortie;
        demarrer(
            [this, liste = std::move(liste), p = std::move(p)] {
                resultat_ = pdf::exporter_pdf(liste, p, progression_, &arret());
            },
            [this, chemin] { terminer(chemin); });
    }
    ~ExportEnCours() override { arreter(); }

  private:
    void terminer(const std::filesystem::path& chemin) {
        activer_selon_liste(f_);
        if (resultat_.ecrit) {
            Boite_Message(f_.dialogs(),
                          {.instruction = texte_utf8(pdf::kDoneTitle),
                           .corps = texte_pdf_ecrit(resultat_.pages, chemin),
                           .style = kIconeInformation},
                          &f_);
        } else if (!resultat_.interrompu) {
            remettre_marques();
            // The body shows one line: the first fault; the details hold them all.
            const QStringList lignes = QString::fromStdString(resultat_.erreur).split('\n');
            Boite_Message(f_.dialogs(),
                          {.instruction = texte_utf8(pdf::kErrorInstruction),
                           .details = lignes.join(QLatin1Char(' ')),
                           .corps = lignes.front(),
                           .style = kIconeErreur,
                           .titre = texte_utf8(pdf::kDescription.titre_boite_erreur)},
                          &f_);
        }
    }

    // The rows' marks and the header as the last run left them: a failed export puts them back
    // (the pages it found bad keep their cross), rather than a count of 0 and blank rows.
    struct Marques {
        QString entete;
        std::vector<int> icones;
    };
    static Marques lire_marques(FenetrePrincipale& f) {
        Marques m;
        if (QTreeWidget* l = f.liste()) {
            m.entete = l->headerItem()->text(kColonneFichier);
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                m.icones.push_back(l->topLevelItem(i)->data(kColonneFichier, Qt::UserRole).toInt());
        }
        return m;
    }
    void remettre_marques() {
        QTreeWidget* l = f_.liste();
        if (!l || l->topLevelItemCount() != int(avant_.icones.size())) return;
        l->headerItem()->setText(kColonneFichier, avant_.entete);
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            if (l->topLevelItem(i)->data(kColonneFichier, Qt::UserRole).toInt() != kIconeEchec)
                definir_icone_ligne(f_, i, avant_.icones[std::size_t(i)]);
    }

    Marques avant_;
    ProgressionFenetre progression_;
    pdf::ResultatPdf resultat_;
};

}  // namespace

void exporter_liste_en_pdf(FenetrePrincipale& f) {
    const ListeImages& liste = GLB_Fichiers_Images();
    if (liste.empty()) return;
    const QString dossier = QString::fromStdString(liste.front().Fichier.parent_path().string());
    QString chemin = f.dialogs().enregistrer_fichier(texte_utf8(pdf::kSaveDialogTitle), dossier,
                                                     texte_utf8(pdf::kSaveFilter));
    if (chemin.isEmpty()) return;
    if (!chemin.endsWith(texte_utf8(pdf::kExtension), Qt::CaseInsensitive))
        chemin += texte_utf8(pdf::kExtension);
    desactiver_boutons_geres(f);
    new ExportEnCours(f, liste, {chemin.toStdString(), std::nullopt});  // owned by window 1
}

}  // namespace vellumor::app
