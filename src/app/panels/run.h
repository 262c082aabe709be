#pragma once

#include <filesystem>
#include <vector>

namespace vellumor::app {

// What a run tells the panel that started it, on the main thread.
class EcouteurExecution {
  public:
    virtual ~EcouteurExecution() = default;
    // Both workers have posted their done events (after a stop request too): their threads are
    // ending and the run may be destroyed.
    virtual void travailleurs_termines() = 0;
    // The run ended without done events (a worker could not begin its work, as when reconstitution
    // cannot build its blank page): the panel resets without a completion message.
    virtual void abandon_signale() = 0;
};

// The two workers of one operation's run as its panel drives them. The batch runs implement it over
// ExecutionLot (app/panels/window_batch_run.h); reconstitution implements it over its own workers.
// A run reports to its listener as its last act in a call, so that the listener may let it go then.
class Execution {
  public:
    virtual ~Execution() = default;

    // Starts both workers. False when they could not be started: nothing runs, nothing will be
    // reported, and the panel tells the user. Called once.
    virtual bool demarrer() = 0;
    // Asks both workers to stop before their next file; the pages being written are finished.
    virtual void demander_arret() = 0;
    // Waits for both workers to end (at shutdown, so that no page is left half-written).
    virtual void attendre() = 0;

    // The folders where the run kept the pages it replaced, for the completion text.
    virtual std::vector<std::filesystem::path> dossiers_originaux() const { return {}; }

    // Who hears the run's reports; nullptr: nobody (the panel has gone).
    void ecouter(EcouteurExecution* ecouteur) { ecouteur_ = ecouteur; }

  protected:
    void signaler_fin() {
        if (ecouteur_) ecouteur_->travailleurs_termines();
    }
    void signaler_abandon() {
        if (ecouteur_) ecouteur_->abandon_signale();
    }

  private:
    EcouteurExecution* ecouteur_ = nullptr;
};

}  // namespace vellumor::app
