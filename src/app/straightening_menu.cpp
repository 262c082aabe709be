#include "app/straightening_menu.h"

#include <QTreeWidget>
#include <memory>
#include <set>

#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/panels/window_batch_run.h"
#include "imagelist/image_list.h"
#include "imagelist/repartition_parite.h"
#include "ops/straightening/straightening_constants.h"
#include "ops/straightening/straightening_worker.h"

namespace vellumor::app {
namespace {

// One straightening run started from the menu: a child of window 1, gone once its end is shown.
class RedressementEnCours : public QObject, public EcouteurExecution {
  public:
    RedressementEnCours(FenetrePrincipale& f, PaireLots lots, std::int64_t nombre)
        : QObject(&f),
          f_(f),
          execution_(f, std::move(lots), straightening::kDescription.evenement_controle,
                     straightening::travail_redressement({}), straightening::kDescription.originaux,
                     nombre) {
        execution_.ecouter(this);
        attente_ = f.a_l_arret([this] {
            execution_.demander_arret();
            execution_.attendre();
        });
    }
    bool demarrer() { return execution_.demarrer(); }

  private:
    void travailleurs_termines() override { terminer(true); }
    void abandon_signale() override { terminer(false); }

    void terminer(bool fin) {
        execution_.ecouter(nullptr);
        f_.retirer_attente(attente_);
        deleteLater();
        if (f_.fermeture_demandee()) return;
        activer_selon_liste(f_);
        if (fin)
            boite_fin(f_.dialogs(), straightening::kDescription.texte_fin, &f_, raisons_des_lignes(f_));
    }

    FenetrePrincipale& f_;
    ExecutionLotFenetre execution_;
    int attente_ = 0;
};

// Keeps in each record only the files of the chosen rows.
void garder_lignes(Lot_Fichiers& lot, const std::set<std::int64_t>& lignes) {
    std::erase_if(lot.Fichiers, [&](const FichierLot& f) { return !lignes.count(f.Ligne); });
}

}  // namespace

void redresser_pages(FenetrePrincipale& f) {
    QTreeWidget* liste = f.liste();
    if (!liste || GLB_Fichiers_Images().empty()) return;
    std::set<std::int64_t> lignes;
    for (QTreeWidgetItem* item : liste->selectedItems())
        lignes.insert(liste->indexOfTopLevelItem(item));
    if (lignes.empty())
        for (std::int64_t i = 0; i < std::int64_t(GLB_Fichiers_Images().size()); ++i)
            lignes.insert(i);
    Repartition r = repartir_par_parite(GLB_Fichiers_Images(), constantes_lots(straightening::kDescription));
    if (!r.lots) {
        afficher_message(f.dialogs(), *r.message, &f);
        return;
    }
    garder_lignes(r.lots->pair, lignes);
    garder_lignes(r.lots->impair, lignes);
    desactiver_boutons_geres(f);
    reinitialiser_icones(f);
    for (const std::int64_t i : lignes) definir_icone_ligne(f, int(i), kIconeAttente);
    auto run =
        std::make_unique<RedressementEnCours>(f, std::move(*r.lots), std::int64_t(lignes.size()));
    if (run->demarrer()) {
        static_cast<void>(run.release());  // owned by window 1 until its end is shown
    } else {
        run.reset();
        activer_selon_liste(f);
        boite_simple(f.dialogs(), texte_utf8(straightening::kDescription.titre_bandeau),
                     QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                     kIconeErreur);
    }
}

}  // namespace vellumor::app
