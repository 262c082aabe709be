#include "imagelist/image_list.h"

#include <gtest/gtest.h>

namespace vellumor {
namespace {

TEST(NumeroFinNom, TrailingDigitsSignAndNoDigits) {
    EXPECT_EQ(Numero_Fin_Nom("page_12"), 12);
    EXPECT_EQ(Numero_Fin_Nom("page-12"), -12);
    EXPECT_EQ(Numero_Fin_Nom("page12b"), 0);
    EXPECT_EQ(Numero_Fin_Nom("0012"), 12);
    EXPECT_EQ(Numero_Fin_Nom("-7"), -7);
    EXPECT_EQ(Numero_Fin_Nom("page-"), 0);
    EXPECT_EQ(Numero_Fin_Nom(""), 0);
    EXPECT_EQ(Numero_Fin_Nom("a9223372036854775807"), INT64_MAX);
}

TEST(NumeroFinNom, DigitRunsTooLongForSixtyFourBitsSaturate) {
    EXPECT_EQ(Numero_Fin_Nom("9223372036854775808"), INT64_MAX);
    EXPECT_EQ(Numero_Fin_Nom("p99999999999999999999999999"), INT64_MAX);
    EXPECT_EQ(Numero_Fin_Nom("p-99999999999999999999999999"), -INT64_MAX);
    // Leading zeros beyond 19 digits add nothing.
    EXPECT_EQ(Numero_Fin_Nom("p000000000000000000000000042"), 42);
}

TEST(ImageList, EntriesSortNumericallyAndStably) {
    ListeImages list = {entree_pour("/a/p10.png"), entree_pour("/b/p2.png"),
                        entree_pour("/a/p1.png"), entree_pour("/c/x2.png")};
    trier_par_numero(list);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].Fichier, "/a/p1.png");
    EXPECT_EQ(list[1].Fichier, "/b/p2.png");
    EXPECT_EQ(list[2].Fichier, "/c/x2.png");
    EXPECT_EQ(list[3].Numero, 10);
}

}  // namespace
}  // namespace vellumor
