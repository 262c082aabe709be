#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellumor::faults {

// How to start vellumor-cli for a fault test.
struct Lancement {
    std::vector<std::string> args;  // after the program name
    // Kills the process with SIGKILL after this delay, if it still runs (a moment of its run).
    std::optional<std::chrono::microseconds> tuer_apres;
    // Runs it as the unprivileged user "nobody" (only when the test runs as root), so that
    // folder permissions bind it.
    bool sans_privileges = false;
    // Called while the process runs (with its pid), before the wait for its end: to signal it at
    // a chosen moment.
    std::function<void(pid_t)> pendant;
    // Kills the process with SIGKILL once it has run this long (a hang); it is not waited for
    // longer than it runs.
    std::optional<std::chrono::milliseconds> delai_max;
    // Looked at every few milliseconds while the process runs; the first time it returns true,
    // the process gets SIGINT.
    std::function<bool()> interrompre_quand;
    // The folder the process starts in; empty: this process's.
    std::filesystem::path dossier_courant;
    // Environment variables set for the process only.
    std::vector<std::pair<std::string, std::string>> variables;
};

struct Execution {
    int status = -1;  // exit status, or -1 when killed by a signal
    bool tue = false;
    std::string sortie;   // stdout
    std::string erreurs;  // stderr
    long pic_memoire_ko = 0;
    double secondes = 0;
};

// A plain run with these arguments.
Lancement avec_arguments(std::vector<std::string> args);

// Waits up to delai for process pid (a child not yet waited for) to end; true when it has. The run
// goes on meanwhile: this waits for its end, never for time alone.
bool fin_dans(pid_t pid, std::chrono::microseconds delai);

// Runs vellumor-cli to its end (or its kill) with stdout and stderr in files of a private folder.
Execution executer_cli(const Lancement& lancement);

// The uid and gid the unprivileged runs use.
inline constexpr unsigned kUtilisateurSansPrivileges = 65534;

// True when this process runs as root: permission bits then bind only the unprivileged runs.
bool est_superutilisateur();

// The lines of text that contain every one of the needles.
std::vector<std::string> lignes_avec(const std::string& text,
                                     const std::vector<std::string>& needles);

}  // namespace vellumor::faults
