#include "batch/lot_fichiers.h"

#include <gtest/gtest.h>

namespace vellumor {
namespace {

TEST(TexteProgression, HeaderTextsForManyAndForOneFile) {
    EXPECT_EQ(texte_progression(12, 3, 12), " 12 fichiers (Fichiers traités : 3/12)");
    EXPECT_EQ(texte_progression(1, 1, 1), " 1 fichier (Fichier traité : 1/1)");
    EXPECT_EQ(texte_progression(1, 0, 1), " 1 fichier (Fichier traité : 0/1)");
    EXPECT_EQ(texte_progression(10, 9, 10), " 10 fichiers (Fichiers traités : 9/10)");
    // n and m are read at different times and may differ; each is printed as it is.
    EXPECT_EQ(texte_progression(0, 0, 2), " 0 fichiers (Fichiers traités : 0/2)");
    EXPECT_EQ(texte_nombre_fichiers(1), " 1 fichier");
    EXPECT_EQ(texte_nombre_fichiers(120), " 120 fichiers");
}

}  // namespace
}  // namespace vellumor
