#include "cli/signals.h"

namespace vellumor::cli {
namespace {

constexpr int kSignaux[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<bool> drapeau{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void sur_signal(int) {
    drapeau.store(true);
}

}  // namespace

const std::atomic<bool>& interruption_demandee() {
    return drapeau;
}

GardeSignaux::GardeSignaux() {
    drapeau.store(false);
    struct sigaction sa {};
    sa.sa_handler = sur_signal;
    sigemptyset(&sa.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignaux[i], &sa, &anciens_[i]);
}

GardeSignaux::~GardeSignaux() {
    for (int i = 0; i < 3; ++i) sigaction(kSignaux[i], &anciens_[i], nullptr);
}

}  // namespace vellumor::cli
