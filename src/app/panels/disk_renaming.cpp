#include "app/panels/disk_renaming.h"

#include <QTreeWidget>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/paths.h"
#include "imagelist/image_list.h"
#include "ops/renaming/disk_rename.h"
#include "ops/renaming/renaming_constants.h"

namespace vellumor::app {
namespace {

using namespace vellumor::renaming;

QString nom_fichier(const std::filesystem::path& p) {
    return QString::fromStdString(p.filename().string());
}

void echec(FenetrePrincipale& f, const std::string& raison) {
    Boite_Message(f.dialogs(),
                  {.instruction = texte_utf8(kRenameFailed),
                   .corps = QString::fromStdString(raison),
                   .style = kIconeErreur},
                  &f);
}

// The list takes the new names; the user may open the folder of the undo list.
void apres_renommage(FenetrePrincipale& f, const ResultatRenommage& r,
                     const std::vector<Renommage>& plan) {
    if (!r.ok) {
        echec(f, r.message);
        return;
    }
    ListeImages& images = GLB_Fichiers_Images();
    QTreeWidget* lignes = f.liste();
    for (std::size_t k = 0; k < plan.size() && k < images.size(); ++k) {
        images[k].Fichier = plan[k].cible;
        images[k].Numero = Numero_Fin_Nom(plan[k].cible.stem().string());
        if (lignes && int(k) < lignes->topLevelItemCount())
            lignes->topLevelItem(int(k))->setText(0, nom_fichier(plan[k].cible));
    }
    // The list may have taken another name than the one asked, so as not to replace an earlier one.
    const std::filesystem::path& liste = r.liste;
    const QString dossier = QString::fromStdString(liste.parent_path().string());
    if (Boite_Message(f.dialogs(),
                      {.instruction = texte_utf8(kRenameDone),
                       .corps = texte_utf8(texte_renommage_fait(r.renommes)) +
                                QStringLiteral("\r") + qtexte(liste),
                       .style = kIconeQuestion | kBoutonsOuiNon},
                      &f) == kCodeOui)
        f.dialogs().ouvrir_dossier(dossier);
}

}  // namespace

void proposer_renommage_disque(FenetrePrincipale& f, const ParametresRenommage& p) {
    const ListeImages& images = GLB_Fichiers_Images();
    if (images.empty()) return;
    if (const auto raison = valider(p, images.size())) {
        echec(f, *raison);
        return;
    }
    std::vector<std::filesystem::path> fichiers;
    for (const EntreeImage& e : images) fichiers.push_back(e.Fichier);
    const std::vector<Renommage> plan = plan_renommage(fichiers, p);
    QString texte = texte_utf8(texte_question_renommage(plan.size()));
    for (std::size_t k = 0; k < plan.size() && k < kRenameExamples; ++k)
        texte += QStringLiteral("\r") + nom_fichier(plan[k].source) + QStringLiteral(" -> ") +
                 nom_fichier(plan[k].cible);
    if (plan.size() > kRenameExamples) texte += QStringLiteral("\r…");
    if (Boite_Message(f.dialogs(),
                      {.instruction = texte_utf8(kRenameQuestion),
                       .corps = texte,
                       .style = kIconeQuestion | kBoutonsOuiNon},
                      &f) != kCodeOui)
        return;
    const std::filesystem::path liste =
        plan.front().source.parent_path() / std::string(kNomListeAnnulation);
    apres_renommage(f, appliquer_renommage(plan, liste), plan);
}

}  // namespace vellumor::app
