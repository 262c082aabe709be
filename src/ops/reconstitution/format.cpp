#include "ops/reconstitution/format.h"

namespace vellumor::reconstitution {

std::optional<TailleFormat> taille_format(int format) {
    switch (format) {
        case kFormatBulletinNB:
        case kFormatBulletinCouleur:
            return TailleFormat{kBulletinLargeur, kBulletinHauteur};
        case kFormatA4NB:
        case kFormatA4Gris:
        case kFormatA4Couleur:
            return TailleFormat{kA4Largeur, kA4Hauteur};
        default:
            return std::nullopt;
    }
}

int profondeur_sauvegarde(int format) {
    switch (format) {
        case kFormatBulletinCouleur:
        case kFormatA4NB:
        case kFormatA4Couleur:
            return 24;
        default:
            return 8;
    }
}

}  // namespace vellumor::reconstitution
