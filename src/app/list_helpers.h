#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>
#include <string_view>

#include "batch/lot_fichiers.h"

namespace vellumor::app {

class FenetrePrincipale;

inline constexpr int kIconeNeutre = kIconeAttente;

// The file list's columns: the file name with its icon, then "Bits par pixel - nombre de couleurs".
inline constexpr int kColonneFichier = 0;
inline constexpr int kColonneBits = 1;
inline constexpr int kLargeurColonneBits = 150;

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
// Column 0 of the file list sized to fit its header and its rows, or largeur when that is wider:
// never narrower than its names and its header text.
void ajuster_colonne_0(FenetrePrincipale& f, int largeur = 0);
// Rows of control 17 for the image list, in list order, with the neutral icon and the bits and
// colours that each file's PNG header gives.
void remplir_lignes(FenetrePrincipale& f);

// The row of the image list's entry for fichier (same path), or -1.
int ligne_du_fichier(const std::filesystem::path& fichier);
// Why the row's file was not written ("Échec : FICHIER : raison"), shown when the mouse rests on
// the row; an empty text removes it.
void definir_raison_ligne(FenetrePrincipale& f, int ligne, const QString& raison);
// What the last run noted about the row's file (a measured angle), shown above its reason.
void definir_note_ligne(FenetrePrincipale& f, int ligne, const QString& note);
// The reasons over the rows, in row order, one per line: the files that the last run did not write.
QString raisons_des_lignes(FenetrePrincipale& f);
// The completion box of a run over the list (boite_fin with the rows' reasons); the list first
// scrolls to the first row that was not written, so that the user sees it behind the box.
int annoncer_fin(FenetrePrincipale& f, std::string_view texte_fin);
void effacer_raisons(FenetrePrincipale& f);

}  // namespace vellumor::app
