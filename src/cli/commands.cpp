#include "cli/command.h"

namespace vellumor::cli {

int commande_nettoyer(const std::vector<std::string>& args);
int commande_detourer(const std::vector<std::string>& args);
int commande_coloriser(const std::vector<std::string>& args);
int commande_net_det_col(const std::vector<std::string>& args);

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"nettoyer", "retire les petites taches isolées des pages", commande_nettoyer},
        {"detourer", "retire les marges blanches des pages", commande_detourer},
        {"coloriser", "écrit une copie bleue de chaque page (nom_Col.png)", commande_coloriser},
        {"net-det-col", "nettoie, détoure puis colorise les pages", commande_net_det_col},
    };
    return all;
}

}  // namespace vellumor::cli
