#include "ops/colourising/colourising_worker.h"

#include "ops/colourising/colourising.h"
#include "ops/colourising/colourising_constants.h"

namespace vellumor::colourising {

ResultatPage ecrire_colorisee(const Image& page, const std::filesystem::path& source) {
    return enregistrer_page(page, nom_colorise(source), kOutputDepth);
}

EtapeFichier etape_colorisation() {
    EtapeFichier e;
    e.traiter = [](PageEnCours& page) {
        coloriser(page.image);
        page.arreter_dessin();
        return ecrire_colorisee(page.image, page.source);
    };
    return e;
}

ExecutionLot::Travail travail_colorisation() {
    return [etape = etape_colorisation()](Travailleur& t) { travail_standard(t, etape); };
}

}  // namespace vellumor::colourising
