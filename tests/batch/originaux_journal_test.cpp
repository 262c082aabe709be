#include "batch/originaux_journal.h"

#include <gtest/gtest.h>

namespace vellumor {
namespace {

const std::filesystem::path kDossier = "/livre";

TEST(OriginauxJournal, WhatIsWrittenIsReadBackNameForName) {
    const std::string nom = "p\t1\\\n.png";
    const Empreinte e{12, 0xFFFFFFFFu, 7};
    const std::string texte = entete_journal("Détourage", "2026-12-08 13-55-02", -5) +
                              ligne_garde(nom) + ligne_garde("p_2.png") + ligne_resultat(nom, e) +
                              ligne_restauree("p_2.png") + ligne_fin();
    const JournalLu lu = lire_journal(texte, kDossier);
    ASSERT_TRUE(lu.execution) << lu.erreur;
    const ExecutionGardee& x = *lu.execution;
    EXPECT_EQ(x.operation, "Détourage");
    EXPECT_EQ(x.debut_ns, -5);
    EXPECT_TRUE(x.finie);
    // The page put back is no longer to restore.
    ASSERT_EQ(x.pages.size(), 1u);
    EXPECT_EQ(x.pages[0].nom, nom);
    EXPECT_EQ(x.pages[0].resultat, e);
}

TEST(OriginauxJournal, TheEarlierFormatIsReadOnlyForFilesOfItsOwnFolder) {
    struct Cas {
        std::string lignes;
        bool lu;
    };
    const Cas cas[] = {
        {"garde\t/livre/p_1.png\tp_1.png\nresultat\t/livre/p_1.png\t1\t2\t3\n", true},
        {"garde\t/livre/./p_1.png\tp_1.png\n", true},
        {"garde\t/ailleurs/p_1.png\tp_1.png\n", false},
        {"garde\t/livre/sous/p_1.png\tp_1.png\n", false},
        {"garde\t/livre/p_1.png\tautre.png\n", false},
        {"garde\tp_1.png\tp_1.png\n", false},
    };
    for (const Cas& c : cas) {
        const JournalLu lu = lire_journal("Vellumor originaux 1\n" + c.lignes, kDossier);
        EXPECT_EQ(lu.execution.has_value(), c.lu) << c.lignes << lu.erreur;
        if (lu.execution) {
            EXPECT_EQ(lu.execution->pages.at(0).nom, "p_1.png");
        }
    }
}

TEST(OriginauxJournal, AnythingButPlainNamesAndNumbersIsRefusedWithItsLine) {
    const std::string entete = "Vellumor originaux 2\n";
    struct Cas {
        std::string lignes;
        std::string erreur;
    };
    const Cas cas[] = {
        {"garde\t/etc/passwd\n", "ligne 2 : la page « /etc/passwd »"},
        {"garde\t../p.png\n", "ligne 2 : la page"},
        {"garde\t..\n", "ligne 2 : la page"},
        {"garde\t.\n", "ligne 2 : la page"},
        {"garde\t\n", "ligne 2 : la page"},
        {std::string("garde\ta\0b\n", 10), "ligne 2 : la page"},
        {"garde\tp\ngarde\tp\n", "ligne 3 : page « p » en double"},
        {"debut\t12x\n", "ligne 2 : date de début illisible"},
        {"debut\t99999999999999999999\n", "date de début illisible"},
        {"garde\tp\nresultat\tp\t1\t4294967296\t1\n", "ligne 3 : résultat illisible"},
        {"garde\tp\nresultat\tp\t-1\t1\t1\n", "résultat illisible"},
        {"resultat\tp\t1\t1\t1\n", "résultat d'une page qui n'est pas gardée"},
        {"restauree\tp\n", "restauration d'une page"},
        {"rm -rf\n", "ligne inconnue"},
        {"garde\t" + std::string(5000, 'a') + "\n", "ligne trop longue"},
    };
    for (const Cas& c : cas) {
        const JournalLu lu = lire_journal(entete + c.lignes, kDossier);
        EXPECT_FALSE(lu.execution) << c.lignes;
        EXPECT_NE(lu.erreur.find(c.erreur), std::string::npos) << c.lignes << " -> " << lu.erreur;
    }
    EXPECT_FALSE(lire_journal("Vellumor originaux 3\n", kDossier).execution);
    EXPECT_FALSE(lire_journal("", kDossier).execution);
}

TEST(OriginauxJournal, ALastLineCutByAKillIsLeftOut) {
    const JournalLu lu =
        lire_journal("Vellumor originaux 2\ngarde\tp_1.png\nresultat\tp_1.png\t12", kDossier);
    ASSERT_TRUE(lu.execution) << lu.erreur;
    EXPECT_FALSE(lu.execution->pages.at(0).resultat);
}

}  // namespace
}  // namespace vellumor
