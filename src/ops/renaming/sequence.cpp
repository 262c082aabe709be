#include "ops/renaming/sequence.h"

#include <limits>

#include "common/saturating.h"

namespace vellumor::renaming {
namespace {

std::uint64_t magnitude(std::int64_t n) {
    return n < 0 ? std::uint64_t(0) - std::uint64_t(n) : std::uint64_t(n);
}

// A count or a position as a number of the sequence, held at the largest.
std::int64_t rang(std::size_t k) {
    constexpr auto kMax = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    return k > kMax ? std::int64_t(kMax) : std::int64_t(k);
}

}  // namespace

ModeleOrigine modele_origine(const std::filesystem::path& fichier) {
    std::string stem = fichier.stem().string();
    while (!stem.empty() && ((stem.back() >= '0' && stem.back() <= '9') || stem.back() == '-'))
        stem.pop_back();
    return {stem, fichier.extension().string()};
}

int nombre_chiffres(std::int64_t n) {
    return int(std::to_string(magnitude(n)).size());
}

std::int64_t dernier_numero_sequence(std::int64_t premier, std::size_t count, int pas) {
    if (count == 0) return somme_saturee(premier, -pas);
    return somme_saturee(premier, produit_sature(pas, rang(count - 1)));
}

ParametresRenommage parametres_par_defaut(const ListeImages& list) {
    ParametresRenommage p;
    if (list.empty()) return p;
    const ModeleOrigine origin = modele_origine(list.front().Fichier);
    p.prefixe = origin.prefixe;
    p.suffixe = origin.suffixe;
    p.premier = list.front().Numero;
    p.chiffres = nombre_chiffres(dernier_numero_sequence(p.premier, list.size(), p.pas));
    return p;
}

std::optional<std::string> refus_premier_par_defaut(const ListeImages& list) {
    if (list.empty()) return std::nullopt;
    const std::int64_t n = list.front().Numero;
    if (n >= kPremierMini && n <= kPremierMaxi) return std::nullopt;
    return "Le numéro de fin de nom de « " + list.front().Fichier.filename().string() + " » (" +
           std::to_string(n) + ") est hors de -1000000 à 1000000 : indiquez le premier numéro";
}

std::optional<std::string> valider(const ParametresRenommage& p, std::size_t count) {
    if (p.premier < kPremierMini || p.premier > kPremierMaxi)
        return "Le premier numéro doit être compris entre -1000000 et 1000000";
    if (p.pas != 1 && p.pas != 2) return "Le pas doit valoir 1 ou 2";
    const int mini = nombre_chiffres(dernier_numero_sequence(p.premier, count, p.pas));
    if (p.chiffres < mini || p.chiffres > kChiffresMaxi)
        return "Le nombre de chiffres doit être compris entre " + std::to_string(mini) + " et " +
               std::to_string(kChiffresMaxi);
    return std::nullopt;
}

std::string nouveau_nom(const ParametresRenommage& p, std::size_t k) {
    const std::int64_t n = somme_saturee(p.premier, produit_sature(rang(k), p.pas));
    std::string digits = std::to_string(magnitude(n));
    const std::size_t width = p.chiffres > 0 ? std::size_t(p.chiffres) : 0;
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    else
        digits.resize(width);
    return p.prefixe + (n < 0 ? "-" : "") + digits + p.suffixe;
}

}  // namespace vellumor::renaming
