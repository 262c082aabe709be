#include "cli/signals.h"

#include <cstdio>
#include <cstdlib>

namespace vellumor::cli {
namespace {

constexpr int kSignaux[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> drapeau{false};
static_assert(std::atomic<bool>::is_always_lock_free);
// Guards alive; only the outermost installs and restores the handlers.
std::atomic<int> gardes{0};

extern "C" void sur_signal(int) {
    drapeau.store(true);
}

}  // namespace

const std::atomic<bool>& interruption_demandee() {
    return drapeau;
}

GardeSignaux::GardeSignaux() : exterieure_(gardes.fetch_add(1) == 0) {
    if (!exterieure_) return;
    drapeau.store(false);
    struct sigaction sa {};
    sa.sa_handler = sur_signal;
    sigemptyset(&sa.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignaux[i], &sa, &anciens_[i]);
    const char* annonce = std::getenv(kVariableAnnonceSignaux);
    if (annonce && *annonce) {
        std::fprintf(stderr, "%s\n", kLigneSignauxPrets);
        std::fflush(stderr);
    }
}

GardeSignaux::~GardeSignaux() {
    if (exterieure_)
        for (int i = 0; i < 3; ++i) sigaction(kSignaux[i], &anciens_[i], nullptr);
    gardes.fetch_sub(1);
}

}  // namespace vellumor::cli
