#pragma once

#include <cstdint>
#include <optional>

#include "app/panels/run.h"
#include "app/window_progress.h"
#include "batch/batch_run.h"
#include "batch/originaux.h"

namespace vellumor::app {

class FenetrePrincipale;

// One run of a batch operation (cleaning, cropping, colourising) over window 1's file list: its two
// workers report through the window, and once both have posted their done event and the check
// event that follows the second one has come, the ecouteur hears that both have reported.
class ExecutionLotFenetre : public Execution {
  public:
    // lots carry their done events; evenement_verification is the check event the run posts itself.
    // originaux, when given, names the run folders that keep each page before it is replaced.
    // nombre_fichiers is the n of the header; negative: the image list's size.
    ExecutionLotFenetre(FenetrePrincipale& f, PaireLots lots, int evenement_verification,
                        ExecutionLot::Travail travail, const char* originaux = nullptr,
                        std::int64_t nombre_fichiers = -1);
    ~ExecutionLotFenetre() override;

    bool demarrer() override;
    void demander_arret() override { lot_.arreter(); }
    void attendre() override { lot_.attendre(); }
    std::vector<std::filesystem::path> dossiers_originaux() const override {
        return originaux_ ? originaux_->dossiers() : std::vector<std::filesystem::path>{};
    }

  private:
    void recevoir(int numero);
    int evenement(const Lot_Fichiers& l) const { return static_cast<int>(l.Evenement_Fin); }

    FenetrePrincipale& f_;
    int evenements_[3];  // even and odd done events, check event
    ExecutionLot::Travail travail_;
    int fins_ = 0;  // workers that have posted their done event
    LignesFixes lignes_;
    ProgressionFenetre progression_;
    std::optional<Originaux> originaux_;
    ExecutionLot lot_;  // declared last: its threads end before the rest goes
};

}  // namespace vellumor::app
