#include "cli/page_operations.h"

namespace vellumor::cli {

int commande_net_det_col(const std::vector<std::string>& args) {
    static const std::string aide = aide_commande(
        "net-det-col [--masque N | --motifs 1,2,...] [--liste FICHIER.txt] [--silencieux] "
        "FICHIER...",
        "Nettoie, puis détoure, puis colorise les pages PNG : chaque opération traite toute la\n"
        "liste une fois la précédente terminée (voir « nettoyer », « detourer », « coloriser »).",
        true);
    return commande_pages(args, aide.c_str(), true, [](const OptionsPages& o) {
        return std::vector<OperationPages>{operation_nettoyage(o.masque), operation_detourage(),
                                           operation_colorisation()};
    });
}

}  // namespace vellumor::cli
