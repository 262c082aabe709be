#include <charconv>

#include "cli/page_operations.h"
#include "ops/straightening/straightening_constants.h"
#include "ops/straightening/straightening_worker.h"

namespace vellumor::cli {
namespace {

// A decimal number with a point or a comma, nothing else.
std::optional<double> lire_decimal(std::string texte) {
    for (char& c : texte)
        if (c == ',') c = '.';
    double v = 0;
    const char* fin = texte.data() + texte.size();
    const auto [ptr, ec] = std::from_chars(texte.data(), fin, v);
    if (texte.empty() || ec != std::errc() || ptr != fin) return std::nullopt;
    return v;
}

}  // namespace

int commande_redresser(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "redresser",
        R"(Redresse les pages PNG : l'inclinaison des lignes de texte de chaque page est mesurée
(au centième de degré) et la page est tournée autour de son centre sur une page blanche
de même taille, à sa profondeur et à sa résolution d'origine. L'angle mesuré de chaque
page est affiché ; une page déjà droite ou sans ligne de texte n'est pas réécrite.)");
    straightening::Parametres p;
    const auto angle_max = [&p](TableOptions& table) {
        const OptionOperation& o = straightening::kOptions[0];
        table.ajouter({{std::string(o.nom)},
                       "DEG",
                       std::string(o.aide) + ", en " + std::string(o.unite) + " (" +
                           straightening::texte_angle(o.minimum) + " à " +
                           straightening::texte_angle(o.maximum) + ", " +
                           straightening::texte_angle(o.defaut) + " par défaut)",
                       [&p](const std::string& v) -> std::optional<std::string> {
                           const auto angle = lire_decimal(v);
                           if (!angle)
                               return "Angle invalide : " + v +
                                      " (un nombre de degrés est attendu)";
                           straightening::Parametres essai{*angle};
                           if (const Verdict r = straightening::valider(essai); !r)
                               return r.raison();
                           p = essai;
                           return std::nullopt;
                       }});
    };
    return commande_pages(
        args, d, false,
        [&p](const OptionsPages&) {
            return std::vector<OperationPages>{operation_pages(
                straightening::kDescription, straightening::travail_redressement(p))};
        },
        true, angle_max);
}

}  // namespace vellumor::cli
