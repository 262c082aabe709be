#pragma once

#include <atomic>
#include <csignal>

namespace vellumor::cli {

// Set by SIGINT, SIGTERM and SIGHUP while a GardeSignaux lives; cleared when one is made.
const std::atomic<bool>& interruption_demandee();

// Catches SIGINT, SIGTERM and SIGHUP while it lives (the step under way then ends cleanly instead
// of the process dying mid-way), then puts the previous handlers back.
class GardeSignaux {
  public:
    GardeSignaux();
    ~GardeSignaux();
    GardeSignaux(const GardeSignaux&) = delete;
    GardeSignaux& operator=(const GardeSignaux&) = delete;
    // The same flag as interruption_demandee().
    static const std::atomic<bool>& interruption_recue() { return interruption_demandee(); }

  private:
    struct sigaction anciens_[3]{};
};

}  // namespace vellumor::cli
