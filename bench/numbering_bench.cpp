// Builds the stamps of numbers 1 to 500 in each model through the temporary folder ($TMPDIR or
// /tmp), as a numbering run does before its workers start, and checks each model against the
// 2-second budget. The check uses the process's own time (user + system, file creation included),
// which on an idle machine is the elapsed time, and which other programs sharing the processors
// do not inflate; both are printed.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "ops/numbering/stamp_files.h"

using namespace vellumor::numbering;

int main() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("vellumor-bench-numbering-" + std::to_string(::getpid()));
    auto font = PoliceTampon::charger();
    if (!font) {
        std::fprintf(stderr, "numbering: stamp font not found\n");
        return 1;
    }
    const struct {
        ModeleNumero modele;
        const char* name;
    } models[] = {{ModeleNumero::Disque, "disc"},
                  {ModeleNumero::RectangleNoir, "black rectangle"},
                  {ModeleNumero::RectangleBlanc, "framed rectangle"},
                  {ModeleNumero::Anneau, "ring"}};
    const double budget = 2.0;
    double total_wall = 0, total_cpu = 0;
    bool ok = true;
    for (const auto& m : models) {
        const auto t0 = std::chrono::steady_clock::now();
        const std::clock_t c0 = std::clock();
        ResultatTampons r = construire_tampons(&*font, {1, 500, m.modele, 5, 5}, folder);
        const double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        supprimer_tampons(1, 500, folder);
        total_wall += wall;
        total_cpu += cpu;
        const bool built = !r.abandon && r.messages.empty();
        ok = ok && built && cpu < budget;
        std::printf("numbering: stamps 1..500, %-16s cpu %6.3f s (elapsed %6.3f s)%s\n", m.name,
                    cpu, wall, built ? "" : "  BUILD FAILED");
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::printf(
        "numbering: all four models cpu %6.3f s (elapsed %6.3f s); budget %.1f s per model: %s\n",
        total_cpu, total_wall, budget, ok ? "ok" : "OVER");
    return ok ? 0 : 1;
}
