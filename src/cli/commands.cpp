#include "cli/command.h"

namespace vellumor::cli {

int run_tester(const std::vector<std::string>& args);
int run_renommer(const std::vector<std::string>& args);

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"tester", "teste les numéros des fichiers (ordre, doublons, manquants)", run_tester},
        {"renommer", "compose les noms d'une suite numérotée, et renomme avec --appliquer",
         run_renommer},
    };
    return all;
}

}  // namespace vellumor::cli
