#include "app/panels/numbering_run.h"

#include "app/events.h"
#include "app/message_box.h"
#include "imagelist/image_list.h"
#include "ops/numbering/numbering_constants.h"

namespace vellumor::app {

using namespace vellumor::numbering;

bool ExecutionNumerotation::demarrer() {
    try {
        fil_ = std::thread([this] { construire_tampons_(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ExecutionNumerotation::construire_tampons_() {
    DemandeTampons d{reglages_.debut, reglages_.fin, modele_, int(reglages_.parametres.epaisseur),
                     int(reglages_.parametres.espacement)};
    d.arret = &arret_;  // window 1 closing: no more stamps, and their files go
    int montre = -1;
    d.avancement = [&](std::int64_t faits, std::int64_t total) {
        const int pourcent = int(faits * 100 / total);
        if (pourcent == montre) return;
        montre = pourcent;
        progression_.texte_entete(entete_ + kTextePreparationTampons + std::to_string(pourcent) +
                                  " %)");
    };
    const std::optional<PoliceTampon> police = PoliceTampon::charger();
    ResultatTampons t = construire_tampons(police ? &*police : nullptr, d, travail_);
    QMetaObject::invokeMethod(
        &contexte_, [this, t = std::move(t)]() mutable { tampons_construits(std::move(t)); },
        Qt::QueuedConnection);
}

void ExecutionNumerotation::tampons_construits(ResultatTampons t) {
    if (fil_.joinable()) fil_.join();
    if (arret_) {
        signaler_abandon();
        return;
    }
    for (const Message& m : t.messages) afficher_message(f_.dialogs(), m, &f_);
    if (t.abandon) {
        signaler_abandon();
        return;
    }
    reglages_.taille_tampons = t.taille_empaquetee();
    pages_ = std::make_unique<ExecutionLotFenetre>(
        f_, std::move(lots_), kVerifierFinNumerotation,
        [r = reglages_](Travailleur& w) { travail_numerotation(w, r); });
    pages_->ecouter(this);
    if (!pages_->demarrer()) {
        Boite_Message(f_.dialogs(),
                      QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                      QString(), kIconeErreur, &f_);
        signaler_abandon();
    }
}

// The numbering window: it takes over window 1's body below a lowered file list, with its own

}  // namespace vellumor::app
