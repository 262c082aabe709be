#include "app/panels/folder_button.h"

#include <QToolBar>

#include "app/controls.h"
#include "app/resources.h"

namespace vellumor::app {

FenetreBoutonDossier creer_fenetre_bouton_dossier(QWidget* parent, const Ressources& ressources,
                                                  int numero_barre, QPoint coin) {
    constexpr int kCoteIcone = 32;
    auto* w = new QWidget(parent);  // owned by parent, removed with the window that made it
    w->setGeometry(coin.x(), coin.y(), kCoteFenetreBoutonDossier, kCoteFenetreBoutonDossier);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    auto* barre = new QToolBar(w);  // owned by its window
    enregistrer_barre_outils(numero_barre, barre);
    barre->setIconSize(QSize(kCoteIcone, kCoteIcone));
    barre->setGeometry(0, 0, kCoteFenetreBoutonDossier, kCoteFenetreBoutonDossier);
    const QImage* dossier = ressources.image(kImageDossier);
    QAction* a =
        barre->addAction(dossier ? QIcon(QPixmap::fromImage(*dossier)) : QIcon(), QString());
    w->show();
    return {w, a};
}

}  // namespace vellumor::app
