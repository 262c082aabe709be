#include "cli/page_operations.h"

namespace vellumor::cli {

int commande_nettoyer(const std::vector<std::string>& args) {
    static const std::string aide = aide_commande(
        "nettoyer [--masque N | --motifs 1,2,...] [--liste FICHIER.txt] [--silencieux] FICHIER...",
        "Retire les petites taches isolées des pages PNG et réécrit chaque page sur son fichier,\n"
        "à sa profondeur d'origine. Une page dont l'écriture échoue reste telle qu'elle était.",
        true);
    return commande_pages(args, aide.c_str(), true, [](const OptionsPages& o) {
        return std::vector<OperationPages>{operation_nettoyage(o.masque)};
    });
}

}  // namespace vellumor::cli
