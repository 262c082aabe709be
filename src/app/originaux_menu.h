#pragma once

#include <QString>
#include <filesystem>
#include <vector>

namespace vellumor::app {

class FenetrePrincipale;

inline const QString kMenuRestaurer =
    QStringLiteral("Restaurer les originaux de la dernière opération");
inline const QString kMenuSupprimerOriginaux = QStringLiteral("Supprimer les originaux gardés");
inline const QString kMenuAfficherPage = QStringLiteral("Afficher la page");
inline const QString kTitreOriginaux = QStringLiteral(" Originaux gardés");

// True when a folder of the listed pages keeps the originals of a run, and the list is at rest.
bool originaux_disponibles(FenetrePrincipale& f);

// Asks, naming the operation, its date and its pages, then puts back the pages of the last run
// kept for the listed pages (in every folder that run wrote to), and says what it did.
void restaurer_originaux(FenetrePrincipale& f);

// Asks, then removes every run kept for the folders of the listed pages.
void supprimer_originaux(FenetrePrincipale& f);

// What the completion text of an in-place run adds: where its originals are kept, and that only
// the last three runs of a folder are, each on a line of the box's body. Empty when nothing was
// kept.
QString texte_fin_originaux(const std::vector<std::filesystem::path>& dossiers);

// The row the user points at (the current row) has a page.
bool page_courante_disponible(FenetrePrincipale& f);

// Opens the viewer on the current row's page.
void afficher_page_courante(FenetrePrincipale& f);

}  // namespace vellumor::app
