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

}  // namespace vellumor::app
