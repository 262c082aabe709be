#include "app/pdf_export.h"

#include <QFileInfo>
#include <QObject>
#include <QTreeWidget>
#include <atomic>
#include <thread>
#include <vector>

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

// One export: its thread, and what it leaves for the main thread. A child of window 1, gone once
// the end is shown.
class ExportEnCours : public QObject {
  public:
    ExportEnCours(FenetrePrincipale& f, ListeImages liste, pdf::ParametresPdf p)
        : QObject(&f), f_(f), avant_(lire_marques(f)), progression_(f) {
        reinitialiser_icones(f);
        attente_ = f.a_l_arret([this] { arreter(); });
        fil_ = std::thread([this, liste = std::move(liste), p = std::move(p)] {
            resultat_ = pdf::exporter_pdf(liste, p, progression_, &arret_);
            // Queued after the progress reports, which go to the main thread in order.
            QMetaObject::invokeMethod(
                this, [this, chemin = p.sortie] { terminer(chemin); }, Qt::QueuedConnection);
        });
    }
    ~ExportEnCours() override { arreter(); }

  private:
    void arreter() {
        arret_.store(true);
        if (fil_.joinable()) fil_.join();
    }

    void terminer(const std::filesystem::path& chemin) {
        arreter();
        f_.retirer_attente(attente_);
        deleteLater();
        if (f_.fermeture_demandee()) return;
        activer_selon_liste(f_);
        if (resultat_.ecrit) {
            Boite_Message(f_.dialogs(), texte_utf8(pdf::kDoneTitle),
                          QLatin1Char('\n') + texte_pdf_ecrit(resultat_.pages, chemin),
                          kIconeInformation, &f_, QString());
        } else if (!resultat_.interrompu) {
            remettre_marques();
            // The body shows one line: the first fault; the details hold them all.
            const QStringList lignes = QString::fromStdString(resultat_.erreur).split('\n');
            Boite_Message(f_.dialogs(), texte_utf8(pdf::kErrorInstruction),
                          lignes.join(QLatin1Char(' ')) + QLatin1Char('\n') + lignes.front(),
                          kIconeErreur, &f_, texte_utf8(pdf::kDescription.titre_boite_erreur));
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

    FenetrePrincipale& f_;
    Marques avant_;
    ProgressionFenetre progression_;
    std::atomic<bool> arret_{false};
    pdf::ResultatPdf resultat_;
    int attente_ = 0;
    std::thread fil_;
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
