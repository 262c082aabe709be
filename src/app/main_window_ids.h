#pragma once

// The program's numbers for window 1 and its controls. A number means the same control everywhere:
// operation windows reuse the bottom bar's buttons by number.
namespace vellumor::app {

inline constexpr int kFenetrePrincipale = 1;  // window 1

inline constexpr int kBandeau = 0;   // container of the banner
inline constexpr int kCorps = 1;     // container of the body
inline constexpr int kBarreBas = 2;  // container of the bottom bar
inline constexpr int kQuitter = 3;   // "Quitter"
inline constexpr int kImageBandeau = 97;

// The left column, in order: the managed buttons after the build.
inline constexpr int kTesterNumeros = 4;
inline constexpr int kNetDetCol = 5;
inline constexpr int kNettoyage = 6;
inline constexpr int kDetourage = 7;
inline constexpr int kColoriser = 8;
inline constexpr int kReconstituerImages = 9;
inline constexpr int kNumeroterPages = 10;
inline constexpr int kRenommerFichiers = 11;
inline constexpr int kEnregistrerListe = 12;
inline constexpr int kEffacerListe = 13;
inline constexpr int kPremierBoutonColonne = kTesterNumeros;
inline constexpr int kDernierBoutonColonne = kEffacerListe;

// The batch panels' start buttons, made hidden under the column; a panel moves its own into the
// bottom bar while it is open.
inline constexpr int kDepartDetourage = 14;
inline constexpr int kDepartColorisation = 15;
inline constexpr int kDepartNettoyage = 16;

inline constexpr int kListeFichiers = 17;
inline constexpr int kStatutDossier = 18;  // the folder line above the list

// Bottom-bar buttons, hidden at the start; the operation windows show the ones they use.
inline constexpr int kReconstituer = 37;
inline constexpr int kAjouterExceptions = 38;
inline constexpr int kSupprimerExceptions = 39;
inline constexpr int kAnnuler = 60;
inline constexpr int kRenommer = 61;
inline constexpr int kTesterNumerotation = 62;

// Numbers that window 1's helpers treat apart among the managed buttons, whichever window put them
// there: hidden when the main state comes back (the renaming frames), left as they are while the
// list has rows and disabled without rows (the reconstitution's bottom corners). The main state
// also closes the tool windows and frees the tool bars of the numbering window that remain.
inline constexpr int kGeresCachesAuRetour[] = {79, 80};
inline constexpr int kGeresLaissesEnEtat[] = {65, 66, 73, 74};
inline constexpr int kFenetresOutilsFermeesAuRetour[] = {4, 5};
inline constexpr int kBarresOutilsLibereesAuRetour[] = {0, 1};

// The body's numbers for an operation's own controls (19 to 36) and the bottom bar's reconstitution
// buttons: a processing panel leaves none of them behind.
inline constexpr int kPremierControleOperation = 19;
inline constexpr int kDernierControleOperation = 36;
inline constexpr int kPremierBoutonReconstitution = kReconstituer;
inline constexpr int kDernierBoutonReconstitution = kSupprimerExceptions;

}  // namespace vellumor::app
