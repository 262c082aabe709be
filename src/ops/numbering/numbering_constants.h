#pragma once

#include <cstdint>

// What the numbering run and its window show and post: events, record names, texts. Texts are UTF-8
// and keep their leading and trailing blanks.
namespace vellumor::numbering {

inline constexpr std::int64_t kEvenementFinPairNumerotation = 0x1000F;
inline constexpr std::int64_t kEvenementFinImpairNumerotation = 0x10010;
inline constexpr std::int64_t kEvenementVerificationNumerotation = 0x10011;

inline constexpr const char* kNomLotPairNumerotation = "GLB_Fichier_Pair_Numerotation";
inline constexpr const char* kNomLotImpairNumerotation = "GLB_Fichier_ImPair_Numerotation";

inline constexpr const char* kTexteFinNumerotation =
    "Les opérations de numérotation sont terminées";
inline constexpr const char* kTitreBandeauNumerotation = "Numérotation des pages";
inline constexpr const char* kLegendeBoutonNumerotation = "Numéroter  les  Pages";  // button 10
inline constexpr const char* kTitreSelection = "Sélectionner les fichiers pour la numérotation";
// Title of the file list's column 2 while the window is open: the numbered page's file name.
inline constexpr const char* kColonneNouveauNom = "Nouveau nom de fichier";

// The numbering window's own captions.
inline constexpr const char* kLegendeAnnuler = "Annuler";
inline constexpr const char* kLegendeNumeroter = "Numéroter les pages images";
inline constexpr const char* kLegendeDossierTemporaire = "Ouvrir le dossier temporaire";
inline constexpr const char* kLegendeCadrePositions = "    Numérotation des images    ";
inline constexpr const char* kLegendeCadreDebutFin = "    Numéroter les images    ";
inline constexpr const char* kLegendeCadreModeles = "    Modèles de numéros    ";
inline constexpr const char* kLegendeCadreParametres = "    Paramètres de position du numéro    ";
inline constexpr const char* kLegendeDebut = "Début : ";
inline constexpr const char* kLegendeFin = "Fin : ";
inline constexpr const char* kLegendeBasDroite = " Numéroter en bas à droite";
inline constexpr const char* kLegendeBasCentre = " Numéroter en bas au centre";
inline constexpr const char* kLegendeHautDroite = " Numéroter en haut à droite";
inline constexpr const char* kLegendeHautCentre = " Numéroter en haut au centre";
inline constexpr const char* kLegendeChargerListe = "Charger le fichier des images à numéroter";
inline constexpr const char* kLegendeChargerImages = "Charger directement des fichiers à numéroter";
// The list header while the stamps are built: the list's file count, then this and a percentage.
inline constexpr const char* kTextePreparationTampons = " (Préparation des numéros : ";

}  // namespace vellumor::numbering
