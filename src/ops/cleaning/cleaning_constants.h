#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "batch/originaux.h"
#include "ops/description.h"

// What the cleaning run shows, posts and accepts: its description, the speck patterns and the
// options frame's caption.
namespace vellumor::cleaning {

// Speck patterns: bit n of the mask enables pattern n + 1. Only the low seven bits mean anything.
inline constexpr std::uint32_t kPatternBits = 0x7F;
inline constexpr std::uint32_t kDefaultMask = 1;  // only " Pixel isolé"
inline constexpr int kPatternCount = 7;

inline constexpr std::uint32_t kIsolatedPixel = 1 << 0;
inline constexpr std::uint32_t kLineOf2 = 1 << 1;
inline constexpr std::uint32_t kLineOf3 = 1 << 2;
inline constexpr std::uint32_t kSquareOf4 = 1 << 3;
inline constexpr std::uint32_t kTwoLinesOf3 = 1 << 4;
inline constexpr std::uint32_t kTwoLinesOf4 = 1 << 5;
inline constexpr std::uint32_t kSquareOf9 = 1 << 6;

struct PatternOption {
    std::uint32_t bit;
    std::string_view caption;
};

// In bit order, which is also the order the patterns run in and the boxes are laid out in.
inline constexpr std::array<PatternOption, kPatternCount> kPatternOptions{{
    {kIsolatedPixel, " Pixel isolé"},
    {kLineOf2, " ligne de 2 Pixels H ou V"},
    {kLineOf3, " ligne de 3 Pixels H ou V"},
    {kSquareOf4, " Carré de 4 Pixels "},
    {kTwoLinesOf3, " 2 lignes de 3 Pixels H ou V"},
    {kTwoLinesOf4, " 2 lignes de 4 Pixels H ou V"},
    {kSquareOf9, " Carré de 9 Pixels "},
}};

inline constexpr std::string_view kOptionsFrameCaption = " Options de nettoyage ";

inline constexpr OptionOperation kOptions[] = {
    {"--masque", 0, kPatternBits, kDefaultMask, "",
     "motifs de taches à retirer, somme de leurs valeurs"},
};

inline constexpr DescriptionOperation kDescription{
    .titre_bandeau = "Nettoyage des images",
    .titre_boite_erreur = " Nettoyer les images",
    .titre_dialogue_fichiers = "Sélectionner les fichiers à nettoyer",
    .texte_fin = "Les opérations de nettoyage sont terminées",
    .evenement_fin_paire = 0x10003,
    .evenement_fin_impaire = 0x10004,
    .evenement_controle = 0x10005,
    .fiche_paire = "GLB_Fichier_Pair_Nettoyage",
    .fiche_impaire = "GLB_Fichier_ImPair_Nettoyage",
    .legende_bouton = "Nettoyage",
    .legende_depart = " Nettoyer les images ",
    .originaux = kOperationNettoyage,
    .options = kOptions,
};

}  // namespace vellumor::cleaning
