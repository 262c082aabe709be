#pragma once

// The program's numbers for the numbering window, built on window 1's body: its controls, its two
// child windows with their tool bars, and the images of its model samples. Its controls' events
// reach window 1's own loop.
namespace vellumor::app {

inline constexpr int kAnnulerNumerotation = 101;
inline constexpr int kNumeroterImages = 102;  // "Numéroter les pages images"
inline constexpr int kOuvrirDossierTemporaire = 103;
inline constexpr int kCadrePosition = 104;  // "    Numérotation des images    "
inline constexpr int kCadreDebutFin = 105;  // "    Numéroter les images    "
inline constexpr int kTexteDebut = 106;     // "Début : "
inline constexpr int kDebut = 107;          // start number field
inline constexpr int kTexteFin = 108;       // "Fin : "
inline constexpr int kFin = 109;            // end number field, read only

// Coloured like the position options; the window builds no control with it.
inline constexpr int kNumeroReserve = 110;
// Position choice, one of four option buttons.
inline constexpr int kBasADroite = 111;
inline constexpr int kBasAuCentre = 112;
inline constexpr int kHautADroite = 113;
inline constexpr int kHautAuCentre = 114;

// Model choice: four sample pictures, each with its option button.
inline constexpr int kCadreModeles = 117;  // "    Modèles de numéros    "
inline constexpr int kEchantillonDisque = 118;
inline constexpr int kEchantillonRectangleNoir = 119;
inline constexpr int kEchantillonRectangleBlanc = 120;
inline constexpr int kEchantillonAnneau = 121;
inline constexpr int kModeleDisque = 122;
inline constexpr int kModeleRectangleNoir = 123;
inline constexpr int kModeleRectangleBlanc = 124;
inline constexpr int kModeleAnneau = 125;

// The five position parameters: a label and a spin box each.
inline constexpr int kCadreParametres = 126;  // "    Paramètres de position du numéro    "
inline constexpr int kTexteOffsetX = 127;
inline constexpr int kOffsetX = 128;
inline constexpr int kTexteOffsetY = 129;
inline constexpr int kOffsetY = 130;
inline constexpr int kTexteEpaisseurCadre = 131;
inline constexpr int kEpaisseurCadre = 132;
inline constexpr int kTexteEspacement = 133;
inline constexpr int kEspacement = 134;
inline constexpr int kTexteOffsetReliure = 135;
inline constexpr int kOffsetReliureNumero = 136;

inline constexpr int kTexteChargerListe = 137;   // "Charger le fichier des images à numéroter"
inline constexpr int kTexteChargerImages = 138;  // "Charger directement des fichiers à numéroter"

// The controls the window destroys when it closes, besides its three buttons.
inline constexpr int kPremierControleNumerotation = kCadrePosition;
inline constexpr int kDernierControleNumerotation = kTexteChargerImages;

// Child windows beside labels 137 and 138, each holding one tool bar of one item.
inline constexpr int kFenetreChargerListe = 4;
inline constexpr int kFenetreChargerImages = 5;
inline constexpr int kBarreChargerListe = 0;
inline constexpr int kBarreChargerImages = 1;
inline constexpr int kItemChargerListe = 0;   // load a list file
inline constexpr int kItemChargerImages = 1;  // select image files

// The program's images of the model samples, in their enabled look.
inline constexpr int kImageDisque = 512;
inline constexpr int kImageAnneau = 256;
inline constexpr int kImageRectangleNoir = 64;
inline constexpr int kImageRectangleBlanc = 128;
// Their greyed variants, shown while numbering runs.
inline constexpr int kImageDisqueGrisee = 513;
inline constexpr int kImageAnneauGrisee = 257;
inline constexpr int kImageRectangleNoirGrisee = 65;
inline constexpr int kImageRectangleBlancGrisee = 129;

}  // namespace vellumor::app
