#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace vellumor::app {

class FenetrePrincipale;

// An entry of the file list's context menu: what the program offers beyond its own buttons.
// Another addition is one more entry in entrees_menu_liste().
struct EntreeMenuListe {
    QString texte;
    std::function<bool(FenetrePrincipale&)> disponible;  // enabled when the menu opens
    std::function<void(FenetrePrincipale&)> action;
};

const std::vector<EntreeMenuListe>& entrees_menu_liste();

// Gives control 17 its context menu: the entries, in order, each enabled as it says.
void installer_menu_liste(FenetrePrincipale& f);

// The window is at rest: no operation window, no run.
bool fenetre_au_repos(FenetrePrincipale& f);
// The list holds pages and the window is at rest.
bool liste_au_repos(FenetrePrincipale& f);

inline const QString kMenuRetirer = QStringLiteral("Retirer de la liste");
// Rows are selected and the window is at rest.
bool lignes_choisies_au_repos(FenetrePrincipale& f);
// Takes the selected rows (and their entries) out of the list; the Delete key does the same.
void retirer_lignes_choisies(FenetrePrincipale& f);

}  // namespace vellumor::app
