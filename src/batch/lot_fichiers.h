#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/message.h"

namespace vellumor {

// Row icons of the file list, by the program's image numbers.
inline constexpr int kIconeEchec = 1;      // the file could not be loaded, drawn on or written
inline constexpr int kIconeFait = 2;       // processed and written
inline constexpr int kIconeEnCours = 3;    // being processed
inline constexpr int kIconeVierge = 4;     // cropping: no pixel other than white, nothing written
inline constexpr int kIconeAttente = 5;    // waiting
inline constexpr int kIconeSansMarge = 8;  // cropping: ink touches all four edges, nothing written

// One file of a job record with the row of the file list it stands on (its position in the image
// list), so that a worker never has to guess its rows from a neighbour's.
struct FichierLot {
    std::filesystem::path Fichier;
    std::int64_t Ligne = -1;
};

// The job record of one worker thread. First_ListIndex names the row of the file being processed;
// the three operation words carry the parameters of the operations that need them (numbering).
struct Lot_Fichiers {
    std::int64_t First_ListIndex = 0;
    std::int64_t Mots_Operation[3] = {0, 0, 0};
    std::int64_t Evenement_Fin = 0;
    std::vector<FichierLot> Fichiers;
    std::size_t Fichier_Courant = 0;  // position of the file the worker is at
};

// What distinguishes one operation's pair of records: their names (for the messages) and done
// events.
struct ConstantesLots {
    std::string nom_pair;    // "GLB_Fichier_Pair_Detourage"
    std::string nom_impair;  // "GLB_Fichier_ImPair_Detourage"
    std::int64_t evenement_pair = 0;
    std::int64_t evenement_impair = 0;
};

struct PaireLots {
    Lot_Fichiers pair;    // files whose page number is even
    Lot_Fichiers impair;  // files whose page number is odd
};

// Progress text of the file list's header, with n the files of the image list, k the processed
// count and m the row count: " 12 fichiers (Fichiers traités : 3/12)", and for n = 1
// " 1 fichier (Fichier traité : 1/1)".
std::string texte_progression(std::int64_t n, std::int64_t k, std::int64_t m);

// " 12 fichiers", or " 1 fichier" when n is 1: the header of a list that is not being processed.
std::string texte_nombre_fichiers(std::int64_t n);

}  // namespace vellumor
