#include "cli/command.h"

namespace vellumor::cli {

int commande_reconstituer(const std::vector<std::string>& args);

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"reconstituer", "place les pages sur des pages vierges d'impression",
         commande_reconstituer},
    };
    return all;
}

}  // namespace vellumor::cli
