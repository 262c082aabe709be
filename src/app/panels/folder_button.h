#pragma once

#include <QAction>
#include <QPoint>
#include <QWidget>

namespace vellumor::app {

class Ressources;

// The small tool window the operation windows put beside a label: 40 x 40, white, without border,
// holding tool bar numero_barre with one 32 x 32 button showing the folder picture. The window is
// owned by parent and placed with its top left corner at coin; the caller connects the button.
struct FenetreBoutonDossier {
    QWidget* fenetre = nullptr;
    QAction* bouton = nullptr;
};
FenetreBoutonDossier creer_fenetre_bouton_dossier(QWidget* parent, const Ressources& ressources,
                                                  int numero_barre, QPoint coin);

inline constexpr int kCoteFenetreBoutonDossier = 40;

}  // namespace vellumor::app
