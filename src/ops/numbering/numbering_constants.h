#pragma once

#include "ops/description.h"

// What the numbering run and its window show and post: its description and the window's texts.
namespace vellumor::numbering {

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Numérotation des pages",
    .titre_dialogue_fichiers = "Sélectionner les fichiers pour la numérotation",
    .texte_fin = "Les opérations de numérotation sont terminées",
    .evenement_fin_paire = 0x1000F,
    .evenement_fin_impaire = 0x10010,
    .evenement_controle = 0x10011,
    .fiche_paire = "GLB_Fichier_Pair_Numerotation",
    .fiche_impaire = "GLB_Fichier_ImPair_Numerotation",
    .legende_bouton = "Numéroter  les  Pages",
};

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
