#include "cli/command.h"

namespace vellumor::cli {

int commande_numeroter(const std::vector<std::string>& args);

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"numeroter", "colle les numéros de page sur des copies des pages (Img__*.png)",
         commande_numeroter},
    };
    return all;
}

}  // namespace vellumor::cli
