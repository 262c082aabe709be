#pragma once

// The program's numbers for the renaming window (also opened in file-number test mode), built on
// window 1's body. Its bottom-bar buttons (60, 61, 62) are window 1's.
namespace vellumor::app {

inline constexpr int kIndiceMiniOrigine =
    42;  // "Indice mini du numéro de fichier : " + first number
inline constexpr int kIndiceMaxiOrigine =
    43;  // "Indice maxi du numéro de fichier : " + last number
inline constexpr int kTexteIndiceMini = 44;
inline constexpr int kIndiceMini = 45;  // spin box: first number
inline constexpr int kTexteIndiceMaxi = 46;
inline constexpr int kIndiceMaxi = 47;  // " " + last number, or " aucun"
inline constexpr int kTexteNombreChiffres = 48;
inline constexpr int kNombreChiffres = 49;  // spin box: digit count
inline constexpr int kTextePrefixeOrigine = 50;
inline constexpr int kPrefixeOrigine = 51;
inline constexpr int kTexteSuffixeOrigine = 52;
inline constexpr int kSuffixeOrigine = 53;
inline constexpr int kTextePrefixeRenomme = 54;
inline constexpr int kPrefixeRenomme = 55;
inline constexpr int kTexteSuffixeRenomme = 56;
inline constexpr int kSuffixeRenomme = 57;
inline constexpr int kExempleNom = 58;
inline constexpr int kTexteDossierSauvegarde = 59;  // "Modifier le dossier de sauvegarde"

inline constexpr int kCadreFichiersOrigine = 79;   // "Fichiers d'origine"
inline constexpr int kCadreFichiersRenommes = 80;  // "Fichiers renommés"
inline constexpr int kCadreFichiersSources = 81;
inline constexpr int kCadrePagesRenommees = 82;
inline constexpr int kPagesSourcesToutes = 83;
inline constexpr int kPagesSourcesPaires = 84;
inline constexpr int kPagesSourcesImpaires = 85;
inline constexpr int kIncrementUn = 87;
inline constexpr int kIncrementDeux = 88;

inline constexpr int kPremierControleRenommage = kIndiceMiniOrigine;
inline constexpr int kDernierControleRenommage = kIncrementDeux;

inline constexpr int kFenetreDossierSauvegarde = 2;  // child window holding tool bar 98
inline constexpr int kBarreDossierSauvegarde = 98;

}  // namespace vellumor::app
