#pragma once

#include <atomic>
#include <csignal>

namespace vellumor::cli {

// Set by SIGINT, SIGTERM and SIGHUP while a GardeSignaux lives; cleared when the outermost one is
// made.
const std::atomic<bool>& interruption_demandee();

// With this environment variable set, the outermost GardeSignaux writes kLigneSignauxPrets on
// stderr once its handlers are in place: a test then knows when a signal stops the run cleanly
// instead of ending the process.
inline constexpr const char* kVariableAnnonceSignaux = "VELLUMOR_ANNONCER_SIGNAUX";
inline constexpr const char* kLigneSignauxPrets = "Signaux interceptés";

// Catches SIGINT, SIGTERM and SIGHUP while it lives (the step under way then ends cleanly instead
// of the process dying mid-way), then puts the previous handlers back. Guards nest: an inner one
// (one step of a longer command) neither clears the flag nor gives the handlers back, so that a
// signal received between two steps is not forgotten.
class GardeSignaux {
  public:
    GardeSignaux();
    ~GardeSignaux();
    GardeSignaux(const GardeSignaux&) = delete;
    GardeSignaux& operator=(const GardeSignaux&) = delete;
    // The same flag as interruption_demandee().
    static const std::atomic<bool>& interruption_recue() { return interruption_demandee(); }

  private:
    bool exterieure_ = false;
    struct sigaction anciens_[3]{};
};

}  // namespace vellumor::cli
