#include "ops/reconstitution/placement.h"

#include <gtest/gtest.h>

#include "ops/reconstitution/format.h"
#include "ops/reconstitution/parameters.h"

namespace vellumor::reconstitution {
namespace {

const TailleFormat kBulletin = *taille_format(kFormatBulletinNB);
const TailleFormat kA4 = *taille_format(kFormatA4Couleur);

Placement avec_reliure(double mm, std::int64_t coin = kCoinHautGauche) {
    return Placement{kBitReliure | coin, mm, 0};
}

TEST(Placement, DefaultsCentreEveryPage) {
    const Placement defaut;
    for (Ouvrier o : {Ouvrier::LieAGauche, Ouvrier::LieADroite}) {
        EXPECT_EQ(position_page(defaut, o, kBulletin, 3000, 4000, std::nullopt, true),
                  (Position{390, 893}));
    }
}

TEST(Placement, BindingOffsetFromTheBindingEdge) {
    // 10 mm is 236.22 pixels; 4961 - 4000 leaves 961 to the right edge.
    const Placement p = avec_reliure(10);
    EXPECT_EQ(position_page(p, Ouvrier::LieAGauche, kA4, 4000, 6000, std::nullopt, true).x, 236);
    EXPECT_EQ(position_page(p, Ouvrier::LieADroite, kA4, 4000, 6000, std::nullopt, true).x, 725);

    const Placement coin = avec_reliure(10, kCoinHautDroit);
    EXPECT_EQ(position_page(coin, Ouvrier::LieAGauche, kA4, 4000, 6000, std::nullopt, true).x, 725);
    EXPECT_EQ(position_page(coin, Ouvrier::LieADroite, kA4, 4000, 6000, std::nullopt, true).x, 236);

    // The bottom corners behave like the top-left one and never move the page vertically.
    for (std::int64_t c : {kCoinBasGauche, kCoinBasDroit}) {
        const Position pos =
            position_page(avec_reliure(10, c), Ouvrier::LieADroite, kA4, 4000, 6000, {}, true);
        EXPECT_EQ(pos, (Position{725, 508}));
    }
}

TEST(Placement, TopOffsetFromTheTopEdge) {
    const Placement p{kBitHaut | kCoinHautGauche, 0, 20};
    for (Ouvrier o : {Ouvrier::LieAGauche, Ouvrier::LieADroite}) {
        const Position pos = position_page(p, o, kA4, 3000, 4000, std::nullopt, true);
        EXPECT_EQ(pos.y, 472);  // 472.44
        EXPECT_EQ(pos.x, 980);  // still centred: binding offset not in use
    }
}

TEST(Placement, ExceptionReplacesOnlyTheOffsetsInUse) {
    const DecalagesPage page12{5, 0};
    const Placement deux{kBitReliure | kBitHaut | kCoinHautGauche, 10, 20};
    EXPECT_EQ(position_page(deux, Ouvrier::LieADroite, kA4, 4000, 6000, page12, false),
              (Position{843, 0}));  // 961 - 118.11
    // A page without an exception keeps the panel's offsets.
    EXPECT_EQ(position_page(deux, Ouvrier::LieADroite, kA4, 4000, 6000, std::nullopt, false),
              (Position{725, 472}));

    const Placement haut_seul{kBitHaut | kCoinHautGauche, 0, 20};
    EXPECT_EQ(position_page(haut_seul, Ouvrier::LieADroite, kA4, 4000, 6000, page12, false),
              (Position{480, 0}));
    const Placement aucun;
    EXPECT_EQ(position_page(aucun, Ouvrier::LieAGauche, kA4, 4000, 6000, page12, false),
              (Position{480, 508}));
}

TEST(Placement, CentringRoundsTowardZeroExceptRightBoundWithoutExceptions) {
    // A page 3 pixels wider and taller than the blank page: -3 / 2.
    const Placement defaut;
    const int w = kA4.largeur + 3, h = kA4.hauteur + 3;
    EXPECT_EQ(position_page(defaut, Ouvrier::LieAGauche, kA4, w, h, std::nullopt, true),
              (Position{-1, -1}));
    EXPECT_EQ(position_page(defaut, Ouvrier::LieADroite, kA4, w, h, std::nullopt, true),
              (Position{-2, -1}));
    EXPECT_EQ(position_page(defaut, Ouvrier::LieADroite, kA4, w, h, std::nullopt, false),
              (Position{-1, -1}));
    // An odd positive remainder rounds down for both.
    EXPECT_EQ(position_page(defaut, Ouvrier::LieADroite, kA4, 4000, 7000, std::nullopt, true),
              (Position{480, 8}));
}

TEST(Placement, RoundsHalvesToEvenAfterSubtractingInDoubles) {
    // 0.5 pixel and 1.5 pixel offsets: rint gives 0 and 2.
    const double demi = 0.5 / kPixelsParMillimetre, un_et_demi = 1.5 / kPixelsParMillimetre;
    EXPECT_EQ(position_page(avec_reliure(demi), Ouvrier::LieAGauche, kA4, 4961, 7016, {}, true).x,
              0);
    EXPECT_EQ(
        position_page(avec_reliure(un_et_demi), Ouvrier::LieAGauche, kA4, 4961, 7016, {}, true).x,
        2);
    // Right-bound: 961 - 0.5 = 960.5 rounds to 960, not 961 as a rounded offset would give.
    EXPECT_EQ(position_page(avec_reliure(demi), Ouvrier::LieADroite, kA4, 4000, 7016, {}, true).x,
              960);
    // Negative offsets place the page beyond the edge, symmetric rounding.
    EXPECT_EQ(position_page(avec_reliure(-10), Ouvrier::LieAGauche, kA4, 4000, 7016, {}, true).x,
              -236);
}

TEST(Placement, HugeExceptionOffsetsStayWithinRange) {
    const Placement p{kBitReliure | kBitHaut | kCoinHautGauche, 0, 0};
    const DecalagesPage enorme{INT64_MAX, INT64_MIN};
    const Position pos = position_page(p, Ouvrier::LieAGauche, kA4, 10, 10, enorme, false);
    EXPECT_EQ(pos, (Position{100000, -100000}));
}

TEST(Placement, MillimetresAt600Dpi) {
    EXPECT_DOUBLE_EQ(kPixelsParMillimetre, 23.622047244094488);
    EXPECT_DOUBLE_EQ(millimetres_en_pixels(25.4), 600.0);
}

TEST(Formats, SizesAndSavedDepths) {
    EXPECT_EQ(taille_format(29), (TailleFormat{3780, 5787}));
    EXPECT_EQ(taille_format(30), (TailleFormat{3780, 5787}));
    for (int f : {31, 32, 33}) EXPECT_EQ(taille_format(f), (TailleFormat{4961, 7016}));
    EXPECT_FALSE(taille_format(34));
    EXPECT_FALSE(taille_format(28));
    const int attendues[] = {8, 24, 24, 8, 24, 8};
    for (int f = 29; f <= 34; ++f) EXPECT_EQ(profondeur_sauvegarde(f), attendues[f - 29]) << f;
    EXPECT_EQ(format_lu(0), 29);
    EXPECT_EQ(format_lu(35), 29);
    EXPECT_EQ(format_lu(32), 32);
}

TEST(Parametres, ValidationAndBindingHandOver) {
    Parametres p;
    EXPECT_TRUE(valider(p));
    p.decalage_haut = 1001;
    EXPECT_FALSE(valider(p));
    p.decalage_haut = -1000;
    p.bits = kBitReliure | kCoinHautDroit | kCoinBasDroit;
    EXPECT_FALSE(valider(p));
    p.bits = kBitReliure | kCoinBasDroit;
    EXPECT_TRUE(valider(p));
    p.format = kFormatFichier;
    EXPECT_FALSE(valider(p));
    p.page_vierge = "vierge.png";
    EXPECT_TRUE(valider(p));
    EXPECT_EQ(borner_decalage(5000), 1000);
    EXPECT_EQ(borner_decalage(-2000), -1000);

    Parametres sans_reliure;
    sans_reliure.decalage_reliure = 12;
    EXPECT_EQ(placement_de(sans_reliure).decalage_reliure, 0.0);
    sans_reliure.bits |= kBitReliure;
    EXPECT_EQ(placement_de(sans_reliure).decalage_reliure, 12.0);
}

}  // namespace
}  // namespace vellumor::reconstitution
