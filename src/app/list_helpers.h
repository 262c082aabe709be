#pragma once

#include <QString>
#include <cstddef>

#include "batch/lot_fichiers.h"

namespace vellumor::app {

class FenetrePrincipale;

inline constexpr int kIconeNeutre = kIconeAttente;

// Column 0's title and the folder line's text while the list is empty.
inline constexpr const char* kTitreColonneVide = "Nombre de fichiers : ";
inline constexpr const char* kDossierVide = "  Dossier : ";

// " 3 fichiers", or " 1 fichier" for one file.
QString titre_colonne_fichiers(std::size_t nombre);

// Empties the image list and control 17, puts back the column and status texts, disables 12, 13.
void effacer_liste(FenetrePrincipale& f);
// Gives every row the neutral icon; enables 12 and 13 when there are rows, disables them otherwise.
void reinitialiser_icones(FenetrePrincipale& f);
void definir_icone_ligne(FenetrePrincipale& f, int ligne, int image);
void masquer_boutons_geres(FenetrePrincipale& f);
// The banner back to its first title, the managed buttons shown (79 and 80 hidden), tool bars 0
// and 1 freed, windows 4 and 5 closed.
void restaurer_etat_principal(FenetrePrincipale& f);
// With rows: every managed button enabled except 65, 66, 73, 74, left as they are. Without: 12,
// 13, 65, 66, 73, 74 disabled and all the others enabled.
void activer_selon_liste(FenetrePrincipale& f);
void desactiver_boutons_geres(FenetrePrincipale& f);
// Moves 18, then 17, back to the geometry saved before the numbering window moved them.
void restaurer_geometrie_liste(FenetrePrincipale& f);
// Column 0 of the file list sized to fit its header and its rows.
void ajuster_colonne_0(FenetrePrincipale& f);
// Rows of control 17 for the image list, in list order, with the neutral icon.
void remplir_lignes(FenetrePrincipale& f);

}  // namespace vellumor::app
