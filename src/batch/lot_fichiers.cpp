#include "batch/lot_fichiers.h"

namespace vellumor {

std::string texte_nombre_fichiers(std::int64_t n) {
    return n == 1 ? std::string(" 1 fichier") : " " + std::to_string(n) + " fichiers";
}

std::string texte_progression(std::int64_t n, std::int64_t k, std::int64_t m) {
    const std::string compte = std::to_string(k) + "/" + std::to_string(m) + ")";
    if (n == 1) return " 1 fichier (Fichier traité : " + compte;
    return " " + std::to_string(n) + " fichiers (Fichiers traités : " + compte;
}

}  // namespace vellumor
