#include "cli/page_operations.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::cli {

int commande_detourer(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "detourer",
        R"(Retire les marges blanches des pages PNG : chaque page est remplacée par le plus petit
rectangle qui contient tout ce qui n'est pas blanc pur, à sa profondeur d'origine.
Une page toute blanche ou sans marge n'est pas réécrite.)");
    return commande_pages(args, d, false, [](const OptionsPages&) {
        return std::vector<OperationPages>{
            operation_pages(cropping::kDescription, cropping::travail_detourage())};
    });
}

}  // namespace vellumor::cli
