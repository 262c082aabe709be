#include "cli/page_operations.h"
#include "ops/cleaning/cleaning_worker.h"

namespace vellumor::cli {

int commande_nettoyer(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "nettoyer",
        R"(Retire les petites taches isolées des pages PNG et réécrit chaque page sur son fichier,
à sa profondeur d'origine. Une page dont l'écriture échoue reste telle qu'elle était.)");
    return commande_pages(args, d, true, [](const OptionsPages& o) {
        return std::vector<OperationPages>{
            operation_pages(cleaning::kDescription, cleaning::travail_nettoyage(o.masque))};
    });
}

}  // namespace vellumor::cli
