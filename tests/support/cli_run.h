#pragma once

#include <string>

namespace vellumor::test {

struct SortieCli {
    int status = -1;    // exit status; -1 when the command could not run or was killed
    std::string texte;  // stdout and stderr together
};

// Runs vellumor-cli with the arguments (a shell line, quoted by the caller), its temporary folder
// being tmp.
SortieCli lancer_cli(const std::string& arguments, const std::string& tmp);

// "'text'", for a shell line.
std::string entre_guillemets(const std::string& texte);

}  // namespace vellumor::test
