#include "ops/chain/chain_worker.h"

#include "ops/cleaning/cleaning.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/colourising/colourising.h"
#include "ops/colourising/colourising_worker.h"
#include "ops/cropping/cropping.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::chain {
namespace {

ResultatPage echec(std::string raison) {
    return {kIconeEchec, IssueFichier::Echec, std::move(raison), false};
}

bool ecrite(const ResultatPage& r) {
    return r.issue == IssueFichier::Ecrit;
}

// The page a step works on: the loaded one while it is what its file holds, else the file as it
// is now on disk.
class PageCourante {
  public:
    explicit PageCourante(PageEnCours& chargee) : page_(&chargee) {}

    PageEnCours& page() { return *page_; }
    Image& image() { return page_->image; }

    // Reads the source again (its lock is held by the loaded page, so it is read without one).
    Verdict relire() {
        LoadResult r = load_png(page_->source);
        if (!r) return Echec{r.message.empty() ? "Impossible de charger l'image" : r.message};
        relue_ = std::move(r);
        relue_page_.emplace(*relue_->image, page_->source, page_->travailleur, sans_cible_,
                            relue_->identity);
        page_ = &*relue_page_;
        return Reussite{};
    }

  private:
    PageEnCours* page_;
    std::optional<LoadResult> relue_;
    std::optional<DrawingTarget> sans_cible_;
    std::optional<PageEnCours> relue_page_;
};

// The first step that did not write its file (failed, or left the page as it was), else the
// last; counted when every step counted.
ResultatPage bilan(const std::vector<ResultatPage>& etapes) {
    ResultatPage r = etapes.back();
    for (auto it = etapes.rbegin(); it != etapes.rend(); ++it)
        if (!ecrite(*it)) r = *it;
    for (const ResultatPage& e : etapes) r.compte = r.compte && e.compte;
    return r;
}

ResultatPage traiter(PageEnCours& chargee, std::uint32_t masque) {
    nettoyer(chargee.image, masque);
    chargee.arreter_dessin();
    PageCourante p(chargee);
    std::vector<ResultatPage> etapes;
    Detection d = detecter_marges(p.image());
    // The cleaned page is written when cropping leaves it as it is, and when the file would not
    // give it back as it is (the cropping then works on the file, as a cropping run would).
    const bool fidele = save_keeps_pixels(p.image());
    if (d.issue != IssueDetourage::Detouree || !fidele) {
        etapes.push_back(enregistrer_sur_source(p.page(), 0));
        if (!fidele || !ecrite(etapes.back())) {
            if (const Verdict v = p.relire(); !v) return bilan({etapes.back(), echec(v.raison())});
            d = detecter_marges(p.image());
        }
    } else {
        etapes.push_back({});
    }
    etapes.push_back(cropping::detourer_page(p.page(), d));
    if (d.issue == IssueDetourage::Detouree && !ecrite(etapes.back())) {
        if (const Verdict v = p.relire(); !v)
            return bilan({etapes[0], etapes[1], echec(v.raison())});
    }
    coloriser(p.image());
    etapes.push_back(colourising::ecrire_colorisee(p.image(), p.page().source));
    return bilan(etapes);
}

}  // namespace

EtapeFichier etape_chaine(std::uint32_t masque) {
    EtapeFichier e;
    e.traiter = [masque = masque & cleaning::kPatternBits](PageEnCours& page) {
        return traiter(page, masque);
    };
    e.erreur_premiere_ligne = "Erreur détection First_ListIndex";
    return e;
}

ExecutionLot::Travail travail_chaine(std::uint32_t masque) {
    return [etape = etape_chaine(masque)](Travailleur& t) { travail_standard(t, etape); };
}

}  // namespace vellumor::chain
