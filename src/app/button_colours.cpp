#include "app/button_colours.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "app/main_window_ids.h"
#include "app/panels/numbering_ids.h"
#include "app/themed_button.h"

namespace vellumor::app {
namespace {

struct Etat {
    Couleur haut, bas, texte;
};
struct Palette {
    std::vector<int> boutons;
    Etat normal, chaud, presse;
};

const std::vector<Palette>& palettes() {
    // clang-format off
    static const std::vector<Palette> table = {
        {{kTesterNumeros}, {0x327538, 0xA8ECAE, 0xFFFFFF}, {0xA4E8AA, 0xA4E8AA, 0x327538}, {0xFFFFFF, 0xFFFFFF, 0x327538}},
        {{kNetDetCol, kNettoyage, kDetourage, kColoriser, kReconstituerImages}, {0x2B2A2C, 0x687B82, 0xFFFFFF}, {0x687B82, 0x687B82, 0x2B2A2C}, {0xFFFFFF, 0xFFFFFF, 0x2B2A2C}},
        {{kNumeroterPages}, {0xAE1EE3, 0xD88FF3, 0xFFFFFF}, {0xD88FF3, 0xD88FF3, 0xAE1EE3}, {0xFFFFFF, 0xFFFFFF, 0xAE1EE3}},
        {{kRenommerFichiers}, {0x008EFF, 0x89CBFF, 0xFFFFFF}, {0x89CBFF, 0x89CBFF, 0x008EFF}, {0xFFFFFF, 0xFFFFFF, 0x008EFF}},
        {{kEnregistrerListe, kEffacerListe}, {0x5216C2, 0xA477F8, 0xFFFFFF}, {0xA477F8, 0xA477F8, 0x5216C2}, {0xFFFFFF, 0xFFFFFF, 0x5216C2}},
        {{kDepartDetourage, kDepartColorisation, kDepartNettoyage}, {0x9E3171, 0xF39FD2, 0xFFFFFF}, {0xF39FD2, 0xF39FD2, 0x9E3171}, {0xFFFFFF, 0xFFFFFF, 0x9E3171}},
        {{kQuitter}, {0x4C3924, 0xB68B5E, 0xFFFFFF}, {0xAE9172, 0xAE9172, 0x4C3924}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kAnnuler, kReconstituer, kAnnulerNumerotation}, {0x4C3924, 0xB68B5E, 0xFFFFFF}, {0xAE9172, 0xAE9172, 0x583700}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kAjouterExceptions}, {0x000000, 0x1414BF, 0xFFFFFF}, {0xFFFFFF, 0x1414BF, 0x00008A}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kSupprimerExceptions}, {0x1414BF, 0x000000, 0xFFFFFF}, {0x1414BF, 0xFFFFFF, 0x000000}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kRenommer, kNumeroterImages}, {0x583700, 0xE79000, 0xFFFFFF}, {0xDE8A00, 0xDE8A00, 0x583700}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kOuvrirDossierTemporaire}, {0x338CC0, 0x338CC0, 0xFFFFFF}, {0x58B5E9, 0x58B5E9, 0x000000}, {0xFFFFFF, 0xFFFFFF, 0x583700}},
        {{kTesterNumerotation}, {0xFFA7A7, 0xF7D8D8, 0xFF0707}, {0xFFA7A7, 0xFFA7A7, 0xFFFFFF}, {0xFFFFFF, 0xFFFFFF, 0xFF0707}},
    };
    // clang-format on
    return table;
}

}  // namespace

void colorer_bouton(int numero) {
    for (const Palette& p : palettes()) {
        if (std::find(p.boutons.begin(), p.boutons.end(), numero) == p.boutons.end()) continue;
        ReglageCouleurs r;
        r.couleurs = {p.normal.haut,  p.normal.bas, p.normal.texte, p.presse.haut, p.presse.bas,
                      p.presse.texte, p.chaud.haut, p.chaud.bas,    p.chaud.texte};
        r.direction = 1;
        r.alphas = {255, 255, 255};
        definir_couleurs_bouton(numero, r);
        return;
    }
}

}  // namespace vellumor::app
