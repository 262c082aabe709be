#include "cli/command.h"

namespace vellumor::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
    };
    return all;
}

}  // namespace vellumor::cli
