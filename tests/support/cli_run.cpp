#include "support/cli_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace vellumor::test {

std::string entre_guillemets(const std::string& texte) {
    std::string q = "'";
    for (const char c : texte) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

SortieCli lancer_cli(const std::string& arguments, const std::string& tmp) {
    const std::string cmd = "XDG_RUNTIME_DIR= TMPDIR=" + entre_guillemets(tmp) + " " +
                            entre_guillemets(VELLUMOR_CLI_PATH) + " " + arguments + " 2>&1";
    SortieCli s;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) return s;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) s.texte.append(buf, n);
    const int raw = pclose(p);
    s.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return s;
}

}  // namespace vellumor::test
