#include "imagelist/repartition_parite.h"

#include <gtest/gtest.h>

namespace vellumor {
namespace {

const ConstantesLots kLots{"GLB_Fichier_Pair_Detourage", "GLB_Fichier_ImPair_Detourage", 0x10009,
                           0x1000A};

std::vector<std::filesystem::path> chemins(const Lot_Fichiers& lot) {
    std::vector<std::filesystem::path> r;
    for (const FichierLot& f : lot.Fichiers) r.push_back(f.Fichier);
    return r;
}

TEST(RepartitionParParite, EvenNumbersFirstRecordInListOrderWithTheirOwnRows) {
    const ListeImages liste = {entree_pour("/p/s_2.png"), entree_pour("/p/s_3.png"),
                               entree_pour("/p/s_4.png"), entree_pour("/p/s_5.png"),
                               entree_pour("/p/s-7.png"), entree_pour("/p/sans.png")};
    const Repartition r = repartir_par_parite(liste, kLots);
    ASSERT_TRUE(r.lots);
    EXPECT_FALSE(r.message);
    const PaireLots& lots = *r.lots;
    EXPECT_EQ(chemins(lots.pair),
              (std::vector<std::filesystem::path>{"/p/s_2.png", "/p/s_4.png", "/p/sans.png"}));
    EXPECT_EQ(chemins(lots.impair),
              (std::vector<std::filesystem::path>{"/p/s_3.png", "/p/s_5.png", "/p/s-7.png"}));
    EXPECT_EQ(lots.pair.Fichiers[0].Ligne, 0);
    EXPECT_EQ(lots.pair.Fichiers[1].Ligne, 2);
    EXPECT_EQ(lots.pair.Fichiers[2].Ligne, 5);    // no trailing number: page 0, even
    EXPECT_EQ(lots.impair.Fichiers[2].Ligne, 4);  // -7 is odd
    EXPECT_EQ(lots.pair.Evenement_Fin, 0x10009);
    EXPECT_EQ(lots.impair.Evenement_Fin, 0x1000A);
    EXPECT_EQ(lots.pair.First_ListIndex, 0);
    EXPECT_EQ(
        lots.pair.Mots_Operation[0] | lots.pair.Mots_Operation[1] | lots.pair.Mots_Operation[2], 0);
}

TEST(RepartitionParParite, OneSidedAndEmptyListsGiveEmptyRecords) {
    const Repartition tous_pairs =
        repartir_par_parite({entree_pour("/a/p10.png"), entree_pour("/a/p12.png")}, kLots);
    ASSERT_TRUE(tous_pairs.lots);
    EXPECT_EQ(tous_pairs.lots->pair.Fichiers.size(), 2u);
    EXPECT_TRUE(tous_pairs.lots->impair.Fichiers.empty());
    EXPECT_EQ(tous_pairs.lots->impair.Evenement_Fin, 0x1000A);

    const Repartition vide = repartir_par_parite({}, kLots);
    ASSERT_TRUE(vide.lots);
    EXPECT_TRUE(vide.lots->pair.Fichiers.empty());
    EXPECT_TRUE(vide.lots->impair.Fichiers.empty());
}

}  // namespace
}  // namespace vellumor
