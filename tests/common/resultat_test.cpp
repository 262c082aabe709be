#include "common/resultat.h"

#include <gtest/gtest.h>

#include <memory>

namespace vellumor {
namespace {

Resultat<std::unique_ptr<int>> lire(bool lisible) {
    if (!lisible) return Echec{"fichier illisible"};
    return std::make_unique<int>(7);
}

TEST(Resultat, CarriesEitherItsValueOrItsReasonAndMovesValuesThatCannotBeCopied) {
    Resultat<std::unique_ptr<int>> bon = lire(true);
    ASSERT_TRUE(bon);
    std::unique_ptr<int> valeur = std::move(bon).valeur();
    EXPECT_EQ(*valeur, 7);

    const Resultat<std::unique_ptr<int>> mauvais = lire(false);
    ASSERT_FALSE(mauvais.ok());
    EXPECT_EQ(mauvais.raison(), "fichier illisible");

    const Verdict fait = Reussite{};
    EXPECT_TRUE(fait.ok());
}

}  // namespace
}  // namespace vellumor
