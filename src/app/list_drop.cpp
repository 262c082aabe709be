#include "app/list_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>

#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/list_menu.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "app/scan_import.h"
#include "imagelist/image_list.h"
#include "imagelist/selection.h"
#include "ops/import/import.h"

namespace vellumor::app {
namespace {

std::vector<std::filesystem::path> fichiers_locaux(const QList<QUrl>& urls) {
    std::vector<std::filesystem::path> chemins;
    for (const QUrl& u : urls)
        if (u.isLocalFile()) chemins.push_back(chemin(u.toLocalFile()));
    return chemins;
}

// Drag events reach the list's viewport; the list itself would refuse what is not its own rows.
class DepotListe : public QObject {
  public:
    DepotListe(FenetrePrincipale& f, QObject* parent) : QObject(parent), f_(f) {}

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* d = static_cast<QDropEvent*>(e);
                if (fenetre_au_repos(f_) && !fichiers_locaux(d->mimeData()->urls()).empty())
                    d->acceptProposedAction();
                else
                    d->ignore();
                return true;
            }
            case QEvent::Drop: {
                auto* d = static_cast<QDropEvent*>(e);
                if (fenetre_au_repos(f_) && deposer_sur_la_liste(f_, d->mimeData()->urls()))
                    d->acceptProposedAction();
                else
                    d->ignore();
                return true;
            }
            default:
                return false;
        }
    }

  private:
    FenetrePrincipale& f_;
};

}  // namespace

void installer_depot_liste(FenetrePrincipale& f) {
    QTreeWidget* liste = f.liste();
    if (!liste) return;
    liste->setAcceptDrops(true);
    liste->viewport()->installEventFilter(new DepotListe(f, liste));  // owned by the list
}

bool deposer_sur_la_liste(FenetrePrincipale& f, const QList<QUrl>& urls) {
    std::vector<std::filesystem::path> fichiers = fichiers_locaux(urls), scans;
    // TIFF and JPEG scans are imported as pages first; the rest joins the list as it is.
    std::erase_if(fichiers, [&scans](const std::filesystem::path& p) {
        if (!importation::est_nom_de_scan(p)) return false;
        scans.push_back(p);
        return true;
    });
    const auto pages = pages_deposees(fichiers);
    if (pages.empty() && scans.empty()) return false;
    if (!scans.empty()) importer_scans(f, std::move(scans));
    if (pages.empty()) return true;
    ListeImages& liste = GLB_Fichiers_Images();
    liste = liste_completee(std::move(liste), pages);
    afficher_liste(f);
    activer_selon_liste(f);
    return true;
}

}  // namespace vellumor::app
