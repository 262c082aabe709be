#pragma once

#include <string>
#include <vector>

namespace vellumor::cli {

// One sub-command of vellumor-cli: its name, a one-line French summary for the help, and its entry
// point, which receives the arguments after the name and returns the exit status
// (0 all done, 1 some file failed, 2 usage error).
struct Command {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

const std::vector<Command>& commands();

}  // namespace vellumor::cli
