#include "cli/page_operations.h"
#include "ops/colourising/colourising_worker.h"

namespace vellumor::cli {

int commande_coloriser(const std::vector<std::string>& args) {
    static const DescriptionCommande d = description_pages(
        "coloriser",
        "Passe en bleu pur tout ce qui n'est pas blanc pur et écrit le résultat en PNG " +
            std::to_string(colourising::kOutputDepth) +
            " bits à\ncôté de chaque page, sous son nom suivi de « " +
            std::string(colourising::kOutputSuffix) + " ». La page source n'est pas modifiée.");
    return commande_pages(
        args, d, false,
        [](const OptionsPages&) {
            return std::vector<OperationPages>{
                operation_pages(colourising::kDescription, colourising::travail_colorisation())};
        },
        false);
}

}  // namespace vellumor::cli
