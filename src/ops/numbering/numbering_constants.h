#pragma once

#include "ops/description.h"

// What the numbering run and its window show and post: its description and the window's texts.
namespace vellumor::numbering {

// The five distances of the stamp, in pixels of the page image, in the order of
// ParametresNumerotation. Their unit is in their help: a refusal names the window's field instead.
inline constexpr OptionOperation kOptions[] = {
    {"--offset-x", 50, 600, 50, "", "distance au bord de la page, côté, en pixels"},
    {"--offset-y", 50, 600, 50, "", "distance au bord haut ou bas, en pixels"},
    {"--epaisseur", 5, 150, 5, "", "épaisseur du cadre, en pixels"},
    {"--espacement", 5, 200, 5, "", "espace entre le cadre et le numéro, en pixels"},
    {"--reliure", 30, 500, 30, "", "offset de reliure des pages paires, en pixels"},
};

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
    .options = kOptions,
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
