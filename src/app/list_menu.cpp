#include "app/list_menu.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>

#include "app/controls.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/originaux_menu.h"
#include "app/panels/panel.h"
#include "app/pdf_export.h"
#include "app/scan_import.h"
#include "app/straightening_menu.h"
#include "imagelist/image_list.h"
#include "ops/import/import_constants.h"
#include "ops/pdf/pdf_constants.h"
#include "ops/straightening/straightening_constants.h"

namespace vellumor::app {
namespace {

// The Delete key over the list takes the selected rows out, as the menu entry does.
class ToucheSuppr : public QObject {
  public:
    ToucheSuppr(FenetrePrincipale& f, QObject* parent) : QObject(parent), f_(f) {}

  protected:
    bool eventFilter(QObject* objet, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete &&
            lignes_choisies_au_repos(f_)) {
            retirer_lignes_choisies(f_);
            return true;
        }
        return QObject::eventFilter(objet, e);
    }

  private:
    FenetrePrincipale& f_;
};

}  // namespace

const std::vector<EntreeMenuListe>& entrees_menu_liste() {
    static const std::vector<EntreeMenuListe> entrees = {
        {texte_utf8(pdf::kDescription.legende_bouton), liste_au_repos, exporter_liste_en_pdf},
        {kMenuAfficherPage, page_courante_disponible, afficher_page_courante},
        {texte_utf8(straightening::kDescription.legende_bouton), liste_au_repos, redresser_pages},
        {texte_utf8(importation::kDescription.legende_bouton), fenetre_au_repos,
         importer_des_scans},
        {kMenuRestaurer, originaux_disponibles, restaurer_originaux},
        {kMenuSupprimerOriginaux, originaux_disponibles, supprimer_originaux},
        {kMenuRetirer, lignes_choisies_au_repos, retirer_lignes_choisies},
    };
    return entrees;
}

bool fenetre_au_repos(FenetrePrincipale&) {
    // The column's buttons are hidden while an operation window is open and disabled during a
    // run (an export included).
    const QWidget* premier = control(kPremierBoutonColonne);
    return premier && premier->isVisible() && premier->isEnabled();
}

bool liste_au_repos(FenetrePrincipale& f) {
    return !GLB_Fichiers_Images().empty() && fenetre_au_repos(f);
}

bool lignes_choisies_au_repos(FenetrePrincipale& f) {
    return liste_au_repos(f) && f.liste() && !f.liste()->selectedItems().isEmpty();
}

// The selected rows and their entries go; the files stay on disk. An emptied list is cleared as
// "Effacer  la  liste" does.
void retirer_lignes_choisies(FenetrePrincipale& f) {
    QTreeWidget* l = f.liste();
    if (!l) return;
    ListeImages& images = GLB_Fichiers_Images();
    for (int i = l->topLevelItemCount() - 1; i >= 0; --i) {
        if (!l->topLevelItem(i)->isSelected()) continue;
        delete l->takeTopLevelItem(i);
        if (std::size_t(i) < images.size()) images.erase(images.begin() + i);
    }
    if (images.empty()) {
        effacer_liste(f);
    } else {
        l->headerItem()->setText(kColonneFichier, titre_colonne_fichiers(images.size()));
        ajuster_colonne_0(f, l->viewport()->width() - l->columnWidth(kColonneBits));
    }
    activer_selon_liste(f);
}

void installer_menu_liste(FenetrePrincipale& f) {
    QTreeWidget* liste = f.liste();
    if (!liste) return;
    liste->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(liste, &QWidget::customContextMenuRequested, &f, [&f, liste](QPoint ou) {
        QMenu menu(liste);
        for (const EntreeMenuListe& e : entrees_menu_liste()) {
            QAction* a = menu.addAction(e.texte);
            a->setEnabled(e.disponible(f));
            QObject::connect(a, &QAction::triggered, &f, [&f, &e] { e.action(f); });
        }
        menu.exec(liste->viewport()->mapToGlobal(ou));
    });
    liste->installEventFilter(new ToucheSuppr(f, liste));  // owned by the list
    QObject::connect(liste, &QTreeWidget::itemDoubleClicked, &f,
                     [&f](QTreeWidgetItem*, int) { afficher_page_courante(f); });
}

}  // namespace vellumor::app
