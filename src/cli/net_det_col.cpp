#include "cli/page_operations.h"

namespace vellumor::cli {

int commande_net_det_col(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "net-det-col",
        R"(Nettoie, puis détoure, puis colorise les pages PNG, chaque page en une seule passe :
lue une fois, nettoyée, détourée et réécrite, et sa copie bleue faite des mêmes
pixels ; les fichiers écrits sont ceux de « nettoyer », puis « detourer », puis
« coloriser ».)");
    return commande_pages(args, d, true, [](const OptionsPages& o) {
        return std::vector<OperationPages>{operation_chaine(o.masque)};
    });
}

}  // namespace vellumor::cli
