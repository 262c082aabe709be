#include "app/panels/window_batch_run.h"

#include "app/main_window.h"
#include "imagelist/image_list.h"

namespace vellumor::app {
namespace {

ParametresExecution parametres(const ListeLignes& lignes, Progression& progression,
                               std::optional<Originaux>& originaux, std::int64_t nombre) {
    ParametresExecution p;
    if (originaux) p.originaux = &*originaux;
    p.lignes = &lignes;
    p.progression = &progression;
    p.nombre_fichiers = nombre >= 0 ? nombre : std::int64_t(GLB_Fichiers_Images().size());
    return p;
}

}  // namespace

ExecutionLotFenetre::ExecutionLotFenetre(FenetrePrincipale& f, PaireLots lots,
                                         int evenement_verification, ExecutionLot::Travail travail,
                                         const char* originaux, std::int64_t nombre_fichiers)
    : f_(f),
      evenements_{evenement(lots.pair), evenement(lots.impair), evenement_verification},
      travail_(std::move(travail)),
      lignes_(lignes_de_la_liste(f)),
      progression_(f),
      originaux_(originaux ? std::optional<Originaux>(std::in_place, originaux) : std::nullopt),
      lot_(std::move(lots), parametres(lignes_, progression_, originaux_, nombre_fichiers)) {}

ExecutionLotFenetre::~ExecutionLotFenetre() {
    for (int n : evenements_) f_.sur_evenement(n, {});
}

bool ExecutionLotFenetre::demarrer() {
    for (int n : evenements_) f_.sur_evenement(n, [this, n] { recevoir(n); });
    fins_ = 0;
    if (lot_.demarrer(travail_)) return true;
    for (int n : evenements_) f_.sur_evenement(n, {});
    return false;
}

void ExecutionLotFenetre::recevoir(int numero) {
    if (numero == evenements_[0] || numero == evenements_[1]) {
        ++fins_;
        f_.poster(evenements_[2]);
    } else if (numero == evenements_[2] && fins_ == 2) {
        fins_ = 0;
        // Every page is written: the kept runs are free for a restore from now on.
        if (originaux_) originaux_->terminer();
        signaler_fin();
    }
}

}  // namespace vellumor::app
