#include "app/originaux_menu.h"

#include <QTreeWidget>
#include <set>

#include "app/dialogs.h"
#include "app/list_helpers.h"
#include "app/list_menu.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "app/windows/page_viewer.h"
#include "batch/originaux.h"
#include "imagelist/image_list.h"

namespace vellumor::app {
namespace {

std::set<std::filesystem::path> dossiers_de_la_liste() {
    std::set<std::filesystem::path> dossiers;
    for (const EntreeImage& e : GLB_Fichiers_Images()) {
        std::error_code ec;
        dossiers.insert(std::filesystem::absolute(e.Fichier, ec).lexically_normal().parent_path());
    }
    return dossiers;
}

// The last run of each folder; one run of the program that wrote to several folders names
// its folders alike.
struct DerniereOperation {
    std::optional<ExecutionGardee> execution;     // the newest of all
    std::vector<std::filesystem::path> dossiers;  // whose last run is that one
    std::size_t pages = 0;
};

DerniereOperation derniere_operation() {
    DerniereOperation d;
    std::vector<std::pair<std::filesystem::path, ExecutionGardee>> dernieres;
    for (const std::filesystem::path& dossier : dossiers_de_la_liste()) {
        std::vector<ExecutionGardee> e = executions_gardees(dossier);
        if (e.empty()) continue;
        if (!d.execution || e.back().debut_ns > d.execution->debut_ns) d.execution = e.back();
        dernieres.emplace_back(dossier, std::move(e.back()));
    }
    if (!d.execution) return d;
    for (const auto& [dossier, e] : dernieres)
        if (e.debut_ns == d.execution->debut_ns && e.operation == d.execution->operation) {
            d.dossiers.push_back(dossier);
            d.pages += e.pages.size();
        }
    return d;
}

QString texte_pages(std::size_t n) {
    return QString::number(n) + (n > 1 ? QStringLiteral(" pages") : QStringLiteral(" page"));
}

}  // namespace

bool originaux_disponibles(FenetrePrincipale& f) {
    if (!liste_au_repos(f)) return false;
    for (const std::filesystem::path& dossier : dossiers_de_la_liste())
        if (!executions_gardees(dossier).empty()) return true;
    return false;
}

void restaurer_originaux(FenetrePrincipale& f) {
    const DerniereOperation d = derniere_operation();
    if (!d.execution) return;
    const QString question =
        QStringLiteral(
            "Remettre les pages telles qu'elles étaient avant l'opération «\u00A0%1\u00A0» du "
            "%2 ?\r\n%3 seront remplacées par leurs originaux gardés.\r\n%4")
            .arg(QString::fromStdString(d.execution->operation),
                 QString::fromStdString(date_lisible(d.execution->date)), texte_pages(d.pages),
                 QString::fromUtf8(kTexteExecutionsGardees));
    if (boite_simple(f.dialogs(), kTitreOriginaux, question, kIconeQuestion | kBoutonsOuiNon) !=
        kCodeOui)
        return;
    int restaurees = 0;
    QStringList refus;
    for (const std::filesystem::path& dossier : d.dossiers) {
        const Restauration r = restaurer_derniere(dossier);
        restaurees += r.restaurees;
        for (const std::string& t : r.refus) refus << QString::fromStdString(t);
    }
    // The rows stay; their marks of the undone run go.
    if (QTreeWidget* lignes = f.liste())
        for (int i = 0; i < lignes->topLevelItemCount(); ++i)
            definir_icone_ligne(f, i, kIconeNeutre);
    QString texte = QStringLiteral("%1 remise%2 en place.")
                        .arg(texte_pages(std::size_t(restaurees)),
                             restaurees > 1 ? QStringLiteral("s") : QString());
    if (!refus.isEmpty()) texte += QStringLiteral("\r\n") + refus.join(QStringLiteral("\r\n"));
    boite_simple(f.dialogs(), kTitreOriginaux, texte,
                 refus.isEmpty() ? kIconeInformation : kIconeAvertissement);
}

void supprimer_originaux(FenetrePrincipale& f) {
    std::size_t n = 0;
    const std::set<std::filesystem::path> dossiers = dossiers_de_la_liste();
    for (const std::filesystem::path& dossier : dossiers) n += executions_gardees(dossier).size();
    if (n == 0) return;
    const QString question =
        QStringLiteral(
            "Supprimer les originaux gardés de %1 opération%2 ?\r\nLes pages ne "
            "pourront plus être restaurées.")
            .arg(n)
            .arg(n > 1 ? QStringLiteral("s") : QString());
    if (boite_simple(f.dialogs(), kTitreOriginaux, question, kIconeQuestion | kBoutonsOuiNon) !=
        kCodeOui)
        return;
    QStringList erreurs;
    for (const std::filesystem::path& dossier : dossiers) {
        if (const Resultat<int> purge = purger_originaux(dossier); !purge)
            erreurs << QString::fromStdString(purge.raison());
    }
    if (!erreurs.isEmpty())
        boite_simple(f.dialogs(), kTitreOriginaux, erreurs.join(QStringLiteral("\r\n")),
                     kIconeErreur);
}

QString texte_fin_originaux(const std::vector<std::filesystem::path>& dossiers) {
    QString texte;
    for (const std::filesystem::path& d : dossiers)
        texte += QStringLiteral("\r") + QString::fromStdString(texte_originaux_gardes(d));
    if (!texte.isEmpty())
        texte += QStringLiteral("\r") + QString::fromUtf8(kTexteExecutionsGardees);
    return texte;
}

bool page_courante_disponible(FenetrePrincipale& f) {
    const QTreeWidget* liste = f.liste();
    if (!liste || !liste->currentItem()) return false;
    const int ligne = liste->indexOfTopLevelItem(liste->currentItem());
    return ligne >= 0 && std::size_t(ligne) < GLB_Fichiers_Images().size();
}

void afficher_page_courante(FenetrePrincipale& f) {
    if (!page_courante_disponible(f)) return;
    const int ligne = f.liste()->indexOfTopLevelItem(f.liste()->currentItem());
    ouvrir_visionneuse(GLB_Fichiers_Images()[std::size_t(ligne)].Fichier, &f);
}

}  // namespace vellumor::app
