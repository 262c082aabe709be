#include "ops/cropping/cropping_worker.h"

#include "ops/cropping/cropping.h"
#include "ops/cropping/cropping_constants.h"

namespace vellumor::cropping {
namespace {

ResultatPage traiter(PageEnCours& page) {
    const Detection d = detecter_marges(page.image);
    page.arreter_dessin();
    return detourer_page(page, d);
}

}  // namespace

ResultatPage detourer_page(PageEnCours& page, const Detection& d) {
    if (d.issue == IssueDetourage::Blanche)
        return {kIconeVierge, IssueFichier::NonEcrit, "page blanche, rien n'est écrit", true};
    if (d.issue == IssueDetourage::SansMarge)
        return {kIconeSansMarge, IssueFichier::NonEcrit, "aucune marge à retirer, rien n'est écrit",
                true};
    // The rectangle is cut inside the page's own buffer: no second page is held.
    page.image.crop_in_place(d.rectangle.x, d.rectangle.y, d.rectangle.largeur, d.rectangle.hauteur);
    return enregistrer_sur_source(page, 0);
}

EtapeFichier etape_detourage(bool pair) {
    EtapeFichier e;
    e.traiter = traiter;
    e.erreur_premiere_ligne =
        pair ? "Erreur détection First_ListIndex\r\nMacro_Detoure_Images_Paires\r\nLigne 3658"
             : "Erreur détection First_ListIndex";
    return e;
}

ExecutionLot::Travail travail_detourage() {
    return [pair = etape_detourage(true), impair = etape_detourage(false)](Travailleur& t) {
        travail_standard(t, t.est_pair() ? pair : impair);
    };
}

}  // namespace vellumor::cropping
