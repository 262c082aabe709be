#pragma once

#include "batch/progress.h"

namespace vellumor::app {

class FenetrePrincipale;

// The workers' reports, carried to the main thread in the order they are made: row icons and texts,
// the list header, messages, and the done events posted to window 1. Safe from any thread while the
// window lives. A file not written gets its reason over its row; a file written gets its column 1
// from its new header. Made on the main thread when a run starts, it clears the last run's reasons.
class ProgressionFenetre : public Progression {
  public:
    explicit ProgressionFenetre(FenetrePrincipale& f);
    void icone_ligne(std::int64_t ligne, int icone) override;
    void texte_ligne(std::int64_t ligne, int colonne, const std::string& texte) override;
    void texte_entete(const std::string& texte) override;
    void evenement_fin(std::int64_t evenement) override;
    void fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                      const std::string& raison) override;
    // Above the row's reason, in its tooltip.
    void note_fichier(const std::filesystem::path& fichier, std::int64_t ligne,
                      const std::string& note) override;
    void message(const Message& m) override;

  private:
    FenetrePrincipale& fenetre_;
};

// The rows of control 17 as they stand, for a run to read while it lasts.
LignesFixes lignes_de_la_liste(FenetrePrincipale& f);

}  // namespace vellumor::app
