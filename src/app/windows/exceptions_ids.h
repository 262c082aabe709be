#pragma once

// The program's numbers and texts for the page-exception window's controls. Only the two unit texts
// are reached from other windows; the others take free numbers.
namespace vellumor::app {

inline constexpr int kUniteOffsetReliure = 40;    // the unit beside the binding offset
inline constexpr int kUniteOffsetSuperieur = 41;  // the unit beside the top offset

inline constexpr int kFermerExceptions = 200;
inline constexpr int kAjouterPage = 201;
inline constexpr int kSupprimerPage = 202;
inline constexpr int kChargerPages = 203;
inline constexpr int kSauvegarderPages = 204;
inline constexpr int kListePages = 205;
inline constexpr int kTextePage = 206;
inline constexpr int kPage = 207;  // spin box, -50 to 2000
inline constexpr int kTexteOffsetYPage = 208;
inline constexpr int kOffsetYPage = 209;  // spin box, -1000 to 1000
inline constexpr int kTexteOffsetXPage = 210;
inline constexpr int kOffsetXPage = 211;  // spin box, -1000 to 1000

inline constexpr int kPageMin = -50, kPageMax = 2000;
inline constexpr int kLargeurExceptions = 640, kHauteurExceptions = 480;

inline constexpr const char* kTitreExceptions = "Exception de page";
inline constexpr const char* kLegendeFermer = " Fermer ";
inline constexpr const char* kLegendeAjouterPage = " Ajouter la page ";
inline constexpr const char* kLegendeSupprimerPage = " Supprimer une page ";
inline constexpr const char* kLegendeChargerPages = " Charger des pages ";
inline constexpr const char* kLegendeSauvegarderPages = " Sauvegarder des pages ";
inline constexpr const char* kColonnesPages[] = {"Numéro de page", "Offset en Y", "Offset en X"};
inline constexpr const char* kLegendePage = " Numéro de la page ";
inline constexpr const char* kLegendeOffsetYPage = " Offset en Y de la page ";
inline constexpr const char* kLegendeOffsetXPage = " Offset en X de la page ";
inline constexpr const char* kTitreChargerCup = "Charger le fichier des pages d'exception";
inline constexpr const char* kTitreEnregistrerCup = "Enregistrer le fichier des pages d'exception";
inline constexpr const char* kFiltreCup = "Fichiers cup|*.cup";
inline constexpr const char* kAjoutImpossible =
    "impossible d'ajouter un élément à la liste\nL'ajout de page est impossible";

}  // namespace vellumor::app
