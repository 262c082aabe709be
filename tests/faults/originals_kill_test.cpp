// kill -9 of vellumor-cli restaurer at random moments, alone and while a crop runs over the same
// pages. Whatever the moment, restoring again until nothing is kept must give back every page's
// original bytes: no original is ever lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include "batch/originaux.h"
#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;
using Octets = std::map<std::string, std::string>;

constexpr int kPages = 24;

Octets lire(const fs::path& dossier) {
    Octets o;
    for (const std::string& n : noms_png(dossier)) o[n] = test::read_bytes(dossier / n);
    return o;
}

void ecrire(const fs::path& dossier, const Octets& pages) {
    fs::remove_all(dossier / kDossierOriginaux);
    for (const auto& [nom, octets] : pages) test::write_bytes(dossier / nom, octets);
}

Execution cli(std::vector<std::string> args) {
    return executer_cli(avec_arguments(std::move(args)));
}

// Restores until nothing is kept; the pages that are then not their original bytes. bloquee is
// set when the restores never get there (a page refused for ever).
int originaux_perdus(const fs::path& dossier, const Octets& avant, int& bloquees) {
    bool fini = false;
    for (int essai = 0; essai < 6 && !fini; ++essai) {
        const Execution r = cli({"restaurer", dossier.string()});
        fini = r.erreurs.find("Aucun original gardé") != std::string::npos;
        EXPECT_NE(r.status, -1) << r.erreurs;
    }
    bloquees += !fini;
    int perdus = 0;
    for (const auto& [nom, octets] : avant) perdus += test::read_bytes(dossier / nom) != octets;
    return perdus;
}

Octets pages_originales() {
    Octets o;
    for (int i = 1; i <= kPages; ++i)
        o["scan_" + std::to_string(i) + ".png"] =
            test::encode_png(page_avec_marges(900, 1200, unsigned(i)));
    return o;
}

TEST(SlowFaults, KillNineWhileRestoringLosesNoOriginal) {
    test::TempDir dir;
    const Octets avant = pages_originales();
    ecrire(dir.path(), avant);
    ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
    const Octets detoure = lire(dir.path());
    const Execution reference = cli({"restaurer", dir.path()});
    ASSERT_EQ(reference.status, 0) << reference.erreurs;
    const double duree = std::max(0.01, reference.secondes);

    const unsigned graine = std::random_device{}();
    std::mt19937 hasard(graine);
    std::uniform_int_distribution<long> moment(0, long(duree * 1e6));
    const int tours = 20;
    int tues = 0, perdus = 0, bloquees = 0;
    for (int tour = 0; tour < tours; ++tour) {
        ecrire(dir.path(), avant);
        ASSERT_EQ(cli({"detourer", "--silencieux", dir.path()}).status, 0);
        Lancement l = avec_arguments({"restaurer", dir.path()});
        l.tuer_apres = std::chrono::microseconds(moment(hasard));
        tues += executer_cli(l).tue;
        for (const auto& [nom, octets] : lire(dir.path()))
            ASSERT_TRUE(octets == avant.at(nom) || octets == detoure.at(nom))
                << nom << " is neither its original nor its crop (seed " << graine << ")";
        perdus += originaux_perdus(dir.path(), avant, bloquees);
    }
    std::printf(
        "restaurer killed: %d rounds of %d pages (seed %u), %d killed during the restore; "
        "originals lost: %d; rounds whose restores could not finish: %d\n",
        tours, kPages, graine, tues, perdus, bloquees);
    EXPECT_EQ(perdus, 0);
    EXPECT_EQ(bloquees, 0);
}

TEST(SlowFaults, KillNineOfARestoreRacingACropLosesNoOriginal) {
    test::TempDir dir;
    const Octets avant = pages_originales();
    ecrire(dir.path(), avant);
    ASSERT_EQ(cli({"nettoyer", "--silencieux", "--masque", "127", dir.path()}).status, 0);
    const double duree = std::max(0.01, cli({"restaurer", dir.path()}).secondes);

    const unsigned graine = std::random_device{}();
    std::mt19937 hasard(graine);
    // Within what a restore alone takes: most kills land while it races the crop.
    std::uniform_int_distribution<long> moment(0, long(duree * 1.2e6));
    const int tours = 16;
    int tues = 0, perdus = 0, refusees = 0, bloquees = 0;
    for (int tour = 0; tour < tours; ++tour) {
        ecrire(dir.path(), avant);
        ASSERT_EQ(cli({"nettoyer", "--silencieux", "--masque", "127", dir.path()}).status, 0);
        Execution detourage;
        std::thread fil([&] { detourage = cli({"detourer", "--silencieux", dir.path()}); });
        Lancement l = avec_arguments({"restaurer", dir.path()});
        l.tuer_apres = std::chrono::microseconds(moment(hasard));
        const Execution restauration = executer_cli(l);
        fil.join();
        tues += restauration.tue;
        refusees += restauration.status == 1;
        EXPECT_NE(detourage.status, -1) << detourage.erreurs;
        perdus += originaux_perdus(dir.path(), avant, bloquees);
    }
    std::printf(
        "restaurer racing detourer: %d rounds of %d pages (seed %u), %d restores killed, "
        "%d refused in part or whole; originals lost: %d; rounds whose restores could not "
        "finish: %d\n",
        tours, kPages, graine, tues, refusees, perdus, bloquees);
    EXPECT_EQ(perdus, 0);
    EXPECT_EQ(bloquees, 0);
}

}  // namespace
}  // namespace vellumor::faults
