#include "batch/lot_fichiers.h"

#include <new>

namespace vellumor {

Repartition repartir_par_parite(const ListeImages& liste, const ConstantesLots& c) {
    PaireLots lots;
    lots.pair.Evenement_Fin = c.evenement_pair;
    lots.impair.Evenement_Fin = c.evenement_impair;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const bool pair = liste[i].Numero % 2 == 0;
        Lot_Fichiers& lot = pair ? lots.pair : lots.impair;
        try {
            lot.Fichiers.push_back({liste[i].Fichier, static_cast<std::int64_t>(i)});
        } catch (const std::bad_alloc&) {
            Message m;
            m.kind = Message::Kind::Simple;
            m.texte = "AddElement(*" + (pair ? c.nom_pair : c.nom_impair) + "\\  a échoué";
            return {std::nullopt, m};
        }
    }
    return {std::move(lots), std::nullopt};
}

std::string texte_nombre_fichiers(std::int64_t n) {
    return n == 1 ? std::string(" 1 fichier") : " " + std::to_string(n) + " fichiers";
}

std::string texte_progression(std::int64_t n, std::int64_t k, std::int64_t m) {
    const std::string compte = std::to_string(k) + "/" + std::to_string(m) + ")";
    if (n == 1) return " 1 fichier (Fichier traité : " + compte;
    return " " + std::to_string(n) + " fichiers (Fichiers traités : " + compte;
}

}  // namespace vellumor
