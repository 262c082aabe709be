#include "ops/renaming/sequence.h"

#include <gtest/gtest.h>

#include <limits>

namespace vellumor::renaming {
namespace {

ListeImages pages(const char* pattern, int first, int last) {
    ListeImages list;
    char name[64];
    for (int n = first; n <= last; ++n) {
        std::snprintf(name, sizeof name, pattern, n);
        list.push_back(entree_pour(name));
    }
    return list;
}

TEST(RenamingPattern, StemAndSuffixOfTheFirstFile) {
    EXPECT_EQ(modele_origine("/p/page_012.png").prefixe, "page_");
    EXPECT_EQ(modele_origine("/p/page_012.png").suffixe, ".png");
    EXPECT_EQ(modele_origine("/p/scan-7.png").prefixe, "scan");
    EXPECT_EQ(modele_origine("/p/0001.png").prefixe, "");
    EXPECT_EQ(modele_origine("/p/a-1-2.tar.png").prefixe, "a-1-2.tar");
    EXPECT_EQ(modele_origine("/p/v2.0-3.TIF").prefixe, "v2.");
    EXPECT_EQ(modele_origine("/p/v2.0-3.TIF").suffixe, ".TIF");
    EXPECT_EQ(modele_origine("/p/page12").suffixe, "");
}

TEST(RenamingSequence, TwelvePagesStepOneAndTwo) {
    const ListeImages list = pages("/p/page_%03d.png", 1, 12);
    ParametresRenommage p = parametres_par_defaut(list);
    EXPECT_EQ(p.prefixe, "page_");
    EXPECT_EQ(p.suffixe, ".png");
    EXPECT_EQ(p.premier, 1);
    EXPECT_EQ(p.pas, 1);
    EXPECT_EQ(dernier_numero_sequence(1, 12, 1), 12);
    EXPECT_EQ(dernier_numero_sequence(1, 12, 2), 23);
    EXPECT_EQ(p.chiffres, 2);
    EXPECT_EQ(nouveau_nom(p, 0), "page_01.png");
    EXPECT_EQ(nouveau_nom(p, 11), "page_12.png");
    p.chiffres = 4;
    EXPECT_EQ(nouveau_nom(p, 0), "page_0001.png");
    p.pas = 2;
    EXPECT_EQ(nouveau_nom(p, 11), "page_0023.png");

    // The digit count cannot go below the digits of the last number.
    p = parametres_par_defaut(list);
    EXPECT_FALSE(valider(p, 12));
    p.chiffres = 1;
    EXPECT_EQ(valider(p, 12), "Le nombre de chiffres doit être compris entre 2 et 30");
    p.chiffres = 30;
    EXPECT_FALSE(valider(p, 12));
    EXPECT_EQ(nouveau_nom(p, 0), "page_" + std::string(29, '0') + "1.png");
    p.chiffres = 31;
    EXPECT_TRUE(valider(p, 12));
}

TEST(RenamingSequence, NegativeNumbersAndTruncation) {
    ParametresRenommage p{"page_", ".png", -5, 1, 0};
    EXPECT_EQ(dernier_numero_sequence(-5, 3, 1), -3);
    p.chiffres = nombre_chiffres(dernier_numero_sequence(-5, 3, 1));
    EXPECT_EQ(p.chiffres, 1);
    EXPECT_EQ(nouveau_nom(p, 0), "page_-5.png");
    EXPECT_EQ(nouveau_nom(p, 2), "page_-3.png");
    EXPECT_EQ(nouveau_nom({"page_", ".png", 7, 1, 3}, 0), "page_007.png");
    EXPECT_EQ(nouveau_nom({"page_", ".png", -7, 1, 3}, 0), "page_-007.png");
    // Crossing zero: -1, 0, 1.
    EXPECT_EQ(nouveau_nom({"p", "", -1, 1, 2}, 1), "p00");
    EXPECT_EQ(nouveau_nom({"p", "", -1, 1, 2}, 2), "p01");
    // A first number of larger magnitude than the last keeps its leftmost digits.
    EXPECT_EQ(nouveau_nom({"p", ".png", -1000, 1, 3}, 0), "p-100.png");
    EXPECT_EQ(nouveau_nom({"p", ".png", 12345, 1, 2}, 0), "p12.png");

    EXPECT_EQ(nombre_chiffres(0), 1);
    EXPECT_EQ(nombre_chiffres(-1000000), 7);
    EXPECT_EQ(nombre_chiffres(INT64_MIN), 19);
}

TEST(RenamingSequence, DigitsOnlyNamesAndValidation) {
    const ListeImages list = {entree_pour("/p/0001.png"), entree_pour("/p/0002.png")};
    const ParametresRenommage p = parametres_par_defaut(list);
    EXPECT_EQ(p.prefixe, "");
    EXPECT_EQ(nouveau_nom(p, 1), "2.png");
    EXPECT_EQ(parametres_par_defaut({}).premier, 0);

    EXPECT_EQ(valider({"", "", 1000001, 1, 7}, 1),
              "Le premier numéro doit être compris entre -1000000 et 1000000");
    EXPECT_EQ(valider({"", "", -1000001, 1, 7}, 1),
              "Le premier numéro doit être compris entre -1000000 et 1000000");
    EXPECT_EQ(valider({"", "", 1, 3, 7}, 1), "Le pas doit valoir 1 ou 2");
    EXPECT_FALSE(valider({"", "", -1000000, 2, 7}, 1));
}

// Twenty-digit numbers saturate at the bounds of std::int64_t, and nothing derived from them
// overflows (the sanitizer build checks each sum).
TEST(RenamingSequence, TwentyDigitNamesSaturateWithoutOverflow) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const ListeImages list = {entree_pour("/p/scan_99999999999999999999.png"),
                              entree_pour("/p/scan_99999999999999999998.png")};
    EXPECT_EQ(list.front().Numero, kMax);
    EXPECT_EQ(entree_pour("/p/scan-99999999999999999999.png").Numero, -kMax);
    const ParametresRenommage p = parametres_par_defaut(list);
    EXPECT_EQ(p.chiffres, 19);
    EXPECT_EQ(nouveau_nom(p, 5), "scan_9223372036854775807.png");
    struct Cas {
        std::int64_t premier;
        std::size_t count;
        int pas;
        std::int64_t dernier;
    };
    for (const Cas& c : {Cas{kMax, 3, 2, kMax}, Cas{kMax - 1, 2, 1, kMax}, Cas{kMin, 1, 2, kMin},
                         Cas{-kMax, 1, 2, -kMax}, Cas{0, std::size_t(-1), 2, kMax}})
        EXPECT_EQ(dernier_numero_sequence(c.premier, c.count, c.pas), c.dernier) << c.premier;
    EXPECT_EQ(nouveau_nom({"n", "", kMin, 2, 1}, 0), "n-9");
    EXPECT_EQ(nouveau_nom({"n", "", 0, 2, 3}, std::size_t(-1)), "n922");

    const auto refus = refus_premier_par_defaut(list);
    ASSERT_TRUE(refus);
    EXPECT_NE(refus->find("« scan_99999999999999999999.png »"), std::string::npos) << *refus;
    EXPECT_FALSE(refus_premier_par_defaut(pages("/p/page_%03d.png", 1, 2)));
}

}  // namespace
}  // namespace vellumor::renaming
