#include "ops/numbering/parameters.h"

#include <algorithm>

namespace vellumor::numbering {

Verdict valider(const ParametresNumerotation& p) {
    for (const PlageParametre& r : kPlagesNumerotation) {
        const std::int64_t v = p.*r.champ;
        if (v >= r.minimum && v <= r.maximum) continue;
        std::string caption = r.legende;
        caption.erase(caption.find_last_not_of(" :") + 1);
        return Echec{"Le paramètre « " + caption + " » vaut " + std::to_string(v) +
                     " : il doit être compris entre " + std::to_string(r.minimum) + " et " +
                     std::to_string(r.maximum) + " pixels."};
    }
    return Reussite{};
}

std::int64_t fin_affichee(std::optional<std::int64_t> debut, std::size_t rows) {
    if (!debut || rows == 0) return 0;
    return std::max<std::int64_t>(0, *debut + std::int64_t(rows) - 1);
}

std::optional<Message> refus_demande(std::optional<std::int64_t> debut, std::size_t rows) {
    Message m;
    m.style = kIconeErreur;
    if (rows == 0) {
        m.instruction = " La liste ne contient aucun fichier image";
        return m;
    }
    if (!debut || (*debut == 0 && fin_affichee(debut, rows) == 0)) {
        m.instruction = " La numérotation des images est incorrecte 123";
        return m;
    }
    if (*debut < 0 || *debut > kDebutMaxi) {
        m.instruction = " La numérotation des images est incorrecte 123";
        m.texte = kRaisonDebutTropGrand;
        return m;
    }
    return std::nullopt;
}

}  // namespace vellumor::numbering
