#include "ops/numbering/placement.h"

#include <gtest/gtest.h>

namespace vellumor::numbering {
namespace {

TEST(Placement, SidePositionsFollowTheFileNumberAndAddTheBindingOnEvenFiles) {
    ParametresNumerotation p;  // X 50, Y 50, B 30
    // A 4960 x 7016 page, a 265 x 126 stamp.
    EXPECT_EQ(placer_tampon(PositionNumero::BasDroite, 1, 4960, 7016, 265, 126, p),
              (Emplacement{4960 - 265 - 50, 7016 - 126 - 50}));
    EXPECT_EQ(placer_tampon(PositionNumero::BasDroite, 2, 4960, 7016, 265, 126, p),
              (Emplacement{80, 6840}));
    EXPECT_EQ(placer_tampon(PositionNumero::HautDroite, -3, 4960, 7016, 265, 126, p),
              (Emplacement{4645, 50}));
    EXPECT_EQ(placer_tampon(PositionNumero::HautDroite, 0, 4960, 7016, 265, 126, p),
              (Emplacement{80, 50}));
    p.offset_x = 600;
    p.reliure = 500;
    p.offset_y = 75;
    EXPECT_EQ(placer_tampon(PositionNumero::BasDroite, 12, 1000, 900, 100, 100, p),
              (Emplacement{1100, 725}));  // beyond the page: the paste clips
}

TEST(Placement, CentredPositionsIgnoreXAndBindingAndRoundHalvesToEven) {
    ParametresNumerotation p;
    p.offset_x = 400;
    p.reliure = 200;
    // (W - w) x 0.5 = 100.5 -> 100, 101.5 -> 102, 100 stays.
    EXPECT_EQ(placer_tampon(PositionNumero::BasCentre, 2, 301, 500, 100, 40, p).x, 100);
    EXPECT_EQ(placer_tampon(PositionNumero::BasCentre, 3, 301, 500, 100, 40, p).x, 100);
    EXPECT_EQ(placer_tampon(PositionNumero::HautCentre, 4, 303, 500, 100, 40, p).x, 102);
    EXPECT_EQ(placer_tampon(PositionNumero::HautCentre, 5, 300, 500, 100, 40, p),
              (Emplacement{100, 50}));
    EXPECT_EQ(placer_tampon(PositionNumero::BasCentre, 5, 300, 500, 100, 40, p).y, 410);
    // A stamp wider than the page: -0.5 -> 0, -1.5 -> -2.
    EXPECT_EQ(placer_tampon(PositionNumero::BasCentre, 1, 100, 500, 101, 40, p).x, 0);
    EXPECT_EQ(placer_tampon(PositionNumero::BasCentre, 1, 100, 500, 103, 40, p).x, -2);
}

TEST(Placement, PageNamesArePaddedToTheDigitsOfFin) {
    EXPECT_EQ(nom_page_numerotee(7, 120), "Img__007.png");
    EXPECT_EQ(nom_page_numerotee(45, 120), "Img__045.png");
    EXPECT_EQ(nom_page_numerotee(120, 120), "Img__120.png");
    EXPECT_EQ(nom_page_numerotee(7, 9), "Img__7.png");
    EXPECT_EQ(nom_page_numerotee(7, 10), "Img__07.png");
    EXPECT_EQ(nom_page_numerotee(0, 1), "Img__0.png");
    EXPECT_EQ(nom_page_numerotee(1234, 99), "Img__1234.png");
}

TEST(Parameters, RangesAreEnforcedWithTheirCaption) {
    ParametresNumerotation p;
    EXPECT_TRUE(valider(p));
    p.offset_x = 600;
    p.epaisseur = 150;
    p.espacement = 200;
    p.reliure = 500;
    EXPECT_TRUE(valider(p));
    p.offset_y = 49;
    const Verdict refus = valider(p);
    ASSERT_FALSE(refus);
    EXPECT_EQ(refus.raison(),
              "Le paramètre « Offset en Y » vaut 49 : il doit être compris entre 50 et "
              "600 pixels.");
    p.offset_y = 50;
    p.reliure = 501;
    EXPECT_NE(valider(p).raison().find("Offset de reliure"), std::string::npos);
}

TEST(Parameters, FinAndTheRefusalsOfARequest) {
    EXPECT_EQ(fin_affichee(7, 12), 18);
    EXPECT_EQ(fin_affichee(std::nullopt, 12), 0);
    EXPECT_EQ(fin_affichee(5, 0), 0);
    EXPECT_EQ(fin_affichee(0, 1), 0);

    EXPECT_EQ(refus_demande(1, 0)->instruction, " La liste ne contient aucun fichier image");
    EXPECT_EQ(refus_demande(std::nullopt, 3)->instruction,
              " La numérotation des images est incorrecte 123");
    EXPECT_EQ(refus_demande(0, 1)->instruction, " La numérotation des images est incorrecte 123");
    EXPECT_EQ(refus_demande(0, 1)->style, kIconeErreur);
    EXPECT_FALSE(refus_demande(0, 2));  // numbers 0 and 1
    EXPECT_FALSE(refus_demande(1, 1));
}

}  // namespace
}  // namespace vellumor::numbering
