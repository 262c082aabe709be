#pragma once

#include <optional>

namespace vellumor::reconstitution {

// The blank-page formats, numbered like the option buttons of the reconstitution panel.
inline constexpr int kFormatBulletinNB = 29;
inline constexpr int kFormatBulletinCouleur = 30;
inline constexpr int kFormatA4NB = 31;
inline constexpr int kFormatA4Gris = 32;
inline constexpr int kFormatA4Couleur = 33;
inline constexpr int kFormatFichier = 34;
inline constexpr int kFormatParDefaut = kFormatBulletinNB;

inline constexpr int kBulletinLargeur = 3780, kBulletinHauteur = 5787;  // 160 x 245 mm
inline constexpr int kA4Largeur = 4961, kA4Hauteur = 7016;              // 210 x 297 mm

struct TailleFormat {
    int largeur = 0;
    int hauteur = 0;
    bool operator==(const TailleFormat&) const = default;
};

// True for 29 to 34.
constexpr bool format_valide(int format) {
    return format >= kFormatBulletinNB && format <= kFormatFichier;
}

// Size of a created blank page (width first) for formats 29 to 33; nullopt for 34 (the chosen
// file's size counts) and for any other number.
std::optional<TailleFormat> taille_format(int format);

// Colour depth a finished page is saved with: 24 for 30, 31 and 33 (31 too, though its caption says
// black and white), 8 for 29, 32, 34 and any other number.
int profondeur_sauvegarde(int format);

// A stored format choice as the panel reads it: 29 to 34 stay, anything else (0 included) is 29.
constexpr int format_lu(int stored) {
    return format_valide(stored) ? stored : kFormatParDefaut;
}

}  // namespace vellumor::reconstitution
