#pragma once

#include <QObject>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/panels/run.h"
#include "app/panels/window_batch_run.h"
#include "app/window_progress.h"
#include "imagelist/repartition_parite.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/stamp_files.h"
#include "settings/temp_folder.h"

namespace vellumor::app {

// A numbering run: the stamps are built on a thread of their own, so that the window stays
// responsive and the list header shows how far they are; then the two workers number the pages.
class ExecutionNumerotation : public Execution, private EcouteurExecution {
  public:
    ExecutionNumerotation(FenetrePrincipale& f, numbering::ReglagesNumerotation r,
                          numbering::ModeleNumero modele, PaireLots lots)
        : f_(f),
          reglages_(std::move(r)),
          modele_(modele),
          lots_(std::move(lots)),
          entete_(texte_nombre_fichiers(std::int64_t(GLB_Fichiers_Images().size()))),
          progression_(f) {
        reglages_.dossier_travail = travail_;
    }
    ~ExecutionNumerotation() override {
        arret_ = true;
        if (fil_.joinable()) fil_.join();
    }

    bool demarrer() override;
    void demander_arret() override {
        arret_ = true;
        if (pages_) pages_->demander_arret();
    }
    void attendre() override {
        if (fil_.joinable()) fil_.join();
        if (pages_) pages_->attendre();
    }

  private:
    void construire_tampons_();
    void tampons_construits(numbering::ResultatTampons t);
    void travailleurs_termines() override { signaler_fin(); }
    void abandon_signale() override { signaler_abandon(); }

    FenetrePrincipale& f_;
    numbering::ReglagesNumerotation reglages_;
    numbering::ModeleNumero modele_;
    PaireLots lots_;
    std::string entete_;  // " 12 fichiers", before the progress of the stamps
    ProgressionFenetre progression_;
    std::atomic<bool> arret_{false};
    QObject contexte_;  // the stamps' end reaches the main thread only while the run lives
    // The stamps live in a folder of this run only, removed with it.
    DossierTravail dossier_travail_{reglages_.dossier, "numerotation"};
    std::filesystem::path travail_ = dossier_travail_.chemin();
    std::unique_ptr<ExecutionLotFenetre> pages_;
    std::thread fil_;
};

}  // namespace vellumor::app
