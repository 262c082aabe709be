#include "ops/reconstitution/repartition.h"

#include <gtest/gtest.h>

#include "ops/reconstitution/textes.h"

namespace vellumor::reconstitution {
namespace {

ListeImages liste(std::initializer_list<const char*> chemins) {
    ListeImages l;
    for (const char* c : chemins) l.push_back(entree_pour(c));
    return l;
}

TEST(Repartition, SplitsByLastCharacterInListOrder) {
    const RepartitionNoms r = repartir_par_dernier_chiffre(
        liste({"/p/scan_12.png", "/p/scan-3.png", "/p/a0.png", "/p/b9.PNG", "/p/c.x/d8.png"}));
    EXPECT_EQ(r.paires, (std::vector<std::size_t>{0, 2, 4}));
    EXPECT_EQ(r.impaires, (std::vector<std::size_t>{1, 3}));
    EXPECT_TRUE(r.refuses.empty());
    EXPECT_FALSE(message_noms_refuses(r.refuses));
}

TEST(Repartition, RefusesNamesNotEndingInADigit) {
    const RepartitionNoms un = repartir_par_dernier_chiffre(liste({"/p/a1.png", "/p/page12b.png"}));
    ASSERT_EQ(un.refuses, (std::vector<std::string>{"page12b.png"}));
    const auto m1 = message_noms_refuses(un.refuses);
    ASSERT_TRUE(m1);
    EXPECT_EQ(m1->instruction, " Erreur de nom de fichier ");
    EXPECT_EQ(m1->texte,
              "Le fichier page12b.png\rne se termine pas par un numéro\n\nL'opération de "
              "reconstitution d'images n'aura pas lieu");
    EXPECT_EQ(m1->style, kIconeAvertissement);
    EXPECT_EQ(m1->titre, "");

    const RepartitionNoms trois =
        repartir_par_dernier_chiffre(liste({"/p/x.png", "/p/2.png", "/p/y_.png", "/p/z 1 .png"}));
    const auto m3 = message_noms_refuses(trois.refuses);
    ASSERT_TRUE(m3);
    EXPECT_EQ(m3->texte,
              "Les fichiers x.png , \ry_.png , \rz 1 .png\rne se terminent pas par un "
              "numéro\n\nL'opération de reconstitution d'images n'aura pas lieu");
}

TEST(Repartition, WorkerNameWarningHasTwoBlanks) {
    EXPECT_EQ(message_nom_sans_numero("p.png").texte,
              "Le fichier p.png  ne se termine pas par un numéro\n\nL'opération de "
              "reconstitution d'images n'aura pas lieu");
}

TEST(Textes, HeadingAndCompletion) {
    EXPECT_EQ(base_entete(12), " 12 fichiers : ");
    EXPECT_EQ(base_entete(1), " 1 fichier : ");
    EXPECT_EQ(base_entete(0), " 0 fichiers : ");
    EXPECT_EQ(entete_progression(base_entete(12), 3, 12),
              " 12 fichiers :  (Fichiers traités : 3/12)");
    EXPECT_EQ(message_fin(false).texte,
              "\nLes opérations de reconstitution d'images sont terminées");
    EXPECT_EQ(message_fin(true).texte,
              "\nLes opérations de reconstitution d'images ont été arrêtées");
    EXPECT_EQ(message_fin(true).instruction, " Info");
    EXPECT_EQ(message_page_vierge(true).instruction,
              " Le fichier de l'image vierge n'est pas défini 456");
    EXPECT_EQ(message_page_vierge(false).instruction,
              " Le fichier de l'image vierge n'est pas défini 123");
    EXPECT_EQ(message_page_vierge(false).titre, " Sélection de l'image vierge ");
}

}  // namespace
}  // namespace vellumor::reconstitution
