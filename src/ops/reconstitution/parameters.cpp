#include "ops/reconstitution/parameters.h"

namespace vellumor::reconstitution {
namespace {

std::string texte_plage(const OptionOperation& o) {
    return "entre " + std::to_string(std::int64_t(o.minimum)) + " et " +
           std::to_string(std::int64_t(o.maximum));
}

}  // namespace

Verdict valider(const Parametres& p) {
    if (!format_valide(p.format))
        return Echec{"Le format de l'image vierge doit être un nombre de 29 à 34"};
    if (p.decalage_reliure < kDecalageMin || p.decalage_reliure > kDecalageMax)
        return Echec{"L'offset de reliure doit être compris " +
                     texte_plage(kOptionDecalageReliure)};
    if (p.decalage_haut < kDecalageMin || p.decalage_haut > kDecalageMax)
        return Echec{"L'offset supérieur doit être compris " + texte_plage(kOptionDecalageHaut)};
    const std::int64_t coin = p.bits & kMasqueCoin;
    if (coin != kCoinHautGauche && coin != kCoinHautDroit && coin != kCoinBasGauche &&
        coin != kCoinBasDroit)
        return Echec{"Le coin de référence doit être un seul des coins de la page"};
    if (p.format == kFormatFichier && p.page_vierge.empty())
        return Echec{"Le fichier de l'image vierge n'est pas défini"};
    return Reussite{};
}

Placement placement_de(const Parametres& p) {
    Placement pl;
    pl.bits = p.bits;
    pl.decalage_reliure = reliure_utilisee(p.bits) ? double(p.decalage_reliure) : 0.0;
    pl.decalage_haut = p.decalage_haut;
    return pl;
}

}  // namespace vellumor::reconstitution
