#include "cli/page_operations.h"

namespace vellumor::cli {

int commande_net_det_col(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "net-det-col", "[OPTIONS] FICHIER|DOSSIER...",
        "Nettoie, puis détoure, puis colorise les pages PNG : chaque opération traite toute la\n"
        "liste une fois la précédente terminée (voir « nettoyer », « detourer », « coloriser »),\n"
        "et une ligne « Étape N sur 3 » dit laquelle commence.");
    return commande_pages(args, d, true, [](const OptionsPages& o) {
        return std::vector<OperationPages>{operation_nettoyage(o.masque), operation_detourage(),
                                           operation_colorisation()};
    });
}

}  // namespace vellumor::cli
