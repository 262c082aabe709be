#pragma once

#include "ops/reconstitution/format.h"

// The program's numbers for the controls of the reconstitution panel, built under the shrunken file
// list of window 1. Its bottom-bar buttons (37, 38, 39, 60) are window 1's.
namespace vellumor::app {

inline constexpr int kUtiliserOffsetReliure = 19;    // check box
inline constexpr int kUtiliserOffsetSuperieur = 20;  // check box
inline constexpr int kAlignerAGauche = 21;           // check box
inline constexpr int kUnite = 22;                    // drop-down: "millimètres", "pixels"
inline constexpr int kCadrePagesPaires = 24;
inline constexpr int kCadrePagesImpaires = 25;
inline constexpr int kOffsetReliure = 26;    // spin box
inline constexpr int kOffsetSuperieur = 27;  // spin box
inline constexpr int kTexteFormat = 28;      // "Format du fichier de l'image vierge :"

// The blank-page formats are option buttons 29 to 34, numbered in the reconstitution core (the
// stored choice is the button's number).
inline constexpr int kPremierFormat = reconstitution::kFormatBulletinNB;
inline constexpr int kDernierFormat = reconstitution::kFormatFichier;

inline constexpr int kTexteBleu = 35;       // a text drawn in blue
inline constexpr int kNomImageVierge = 36;  // file name of the chosen blank page

// Corner options of even pages (63 to 66) and of odd pages (71 to 74), each with its text (67 to
// 70, 75 to 78), in the order top left, top right, bottom left, bottom right.
inline constexpr int kCoinPairHautGauche = 63;
inline constexpr int kCoinPairHautDroit = 64;
inline constexpr int kCoinPairBasGauche = 65;
inline constexpr int kCoinPairBasDroit = 66;
inline constexpr int kTexteCoinPairHautGauche = 67;
inline constexpr int kTexteCoinPairHautDroit = 68;
inline constexpr int kTexteCoinPairBasGauche = 69;
inline constexpr int kTexteCoinPairBasDroit = 70;
inline constexpr int kCoinImpairHautGauche = 71;
inline constexpr int kCoinImpairHautDroit = 72;
inline constexpr int kCoinImpairBasGauche = 73;
inline constexpr int kCoinImpairBasDroit = 74;
inline constexpr int kTexteCoinImpairHautGauche = 75;
inline constexpr int kTexteCoinImpairHautDroit = 76;
inline constexpr int kTexteCoinImpairBasGauche = 77;
inline constexpr int kTexteCoinImpairBasDroit = 78;
inline constexpr int kPremiereOptionReconstitution = kCoinPairHautGauche;
inline constexpr int kDernierTexteReconstitution = kTexteCoinImpairBasDroit;

inline constexpr int kBarreImageVierge = 99;  // tool bar of the blank-page file dialog

// Captions and texts of the panel (UTF-8, blanks included).
inline constexpr const char* kLegendeOffsetSuperieur =
    " Utiliser l'offset supérieur pages paires/impaires";
inline constexpr const char* kLegendeOffsetReliure =
    " Utiliser l'offset de reliure pour les pages paires/impaires";
inline constexpr const char* kLegendeAlignerAGauche =
    " Aligner toutes les images à gauche (ex. anciens QV) ";
inline constexpr const char* kUnites[] = {"millimètres", "pixels"};
inline constexpr const char* kLegendeCadrePaires = " Pages paires ";
inline constexpr const char* kLegendeCadreImpaires = " Pages impaires ";
inline constexpr const char* kLegendesCoins[] = {
    "Position par rapport au point haut gauche", "Position par rapport au point haut droit",
    "Position par rapport au point bas gauche", "Position par rapport au point bas droit"};
inline constexpr const char* kLegendeTexteFormat = "Format du fichier de l'image vierge :";
inline constexpr const char* kLegendesFormats[] = {
    " Format bulletin KVB N/B 600 dpi ", " Format bulletin KVB couleur 600 dpi ",
    " Format A4 N/B 600 dpi ",           " Format A4 Gris 600 dpi ",
    " Format A4 couleur 600 dpi ",       " Sélectionner le fichier "};

inline constexpr const char* kTitreSelectionReconstitution =
    "Sélectionner les images à reconstituer";
inline constexpr const char* kTitreFichierImageVierge = "Fichier image vierge";
inline constexpr const char* kFiltreImages = "Fichiers images|*.png";
inline constexpr const char* kPngInvalide = " Le fichier n'est pas un Png valide";
inline constexpr const char* kImageViergeNonDefinie =
    " Le fichier de l'image vierge n'est pas défini";
inline constexpr const char* kVoulezVousLaDefinir = "\nVoulez-vous le définir ?";
inline constexpr const char* kTitreSelectionImageVierge = " Sélection de l'image vierge ";

}  // namespace vellumor::app
