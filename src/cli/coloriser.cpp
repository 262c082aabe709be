#include "cli/page_operations.h"

namespace vellumor::cli {

int commande_coloriser(const std::vector<std::string>& args) {
    static const std::string aide = aide_commande(
        "coloriser [--liste FICHIER.txt] [--silencieux] FICHIER...",
        "Passe en bleu pur tout ce qui n'est pas blanc pur et écrit le résultat en PNG 24 bits à\n"
        "côté de chaque page, sous son nom suivi de « _Col.png ». La page source n'est pas "
        "modifiée.",
        false);
    return commande_pages(args, aide.c_str(), false, [](const OptionsPages&) {
        return std::vector<OperationPages>{operation_colorisation()};
    });
}

}  // namespace vellumor::cli
