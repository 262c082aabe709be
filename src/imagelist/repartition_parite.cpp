#include "imagelist/repartition_parite.h"

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

}  // namespace vellumor
