// kill -9 of vellumor-cli at random moments while it writes pages over their sources (cropping,
// cleaning). After every kill each source must hold either its original bytes or its complete
// result, no leftover may pass for a page, and running again over the folder must finish the work.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "cli_process.h"
#include "pages.h"
#include "support/seed.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;

constexpr int kPages = 6;

Lancement commande(const std::string& name, const fs::path& folder,
                   const std::vector<std::string>& names) {
    Lancement l = avec_arguments({name, "--silencieux"});
    for (const std::string& n : names) l.args.push_back((folder / n).string());
    return l;
}

void restaurer(const fs::path& folder, const std::map<std::string, std::string>& pages) {
    for (const std::string& n : noms(folder)) fs::remove_all(folder / n);
    for (const auto& [name, bytes] : pages) test::write_bytes(folder / name, bytes);
}

// Runs the command once to learn each page's result and its duration, then kills it that many
// times at random moments of such a run, checking the folder after each kill and after the run that
// follows it.
void tuer_pendant(const std::string& name, int kills) {
    test::TempDir dir;
    std::map<std::string, std::string> originals;
    std::vector<std::string> names;
    for (int i = 1; i <= kPages; ++i) {
        names.push_back("scan_" + std::to_string(i) + ".png");
        originals[names.back()] = test::encode_png(page_avec_marges(1800, 2500, unsigned(i)));
    }
    restaurer(dir.path(), originals);
    const Execution reference = executer_cli(commande(name, dir.path(), names));
    ASSERT_EQ(reference.status, 0) << reference.erreurs;
    std::map<std::string, std::string> results;
    for (const std::string& n : names) {
        results[n] = test::read_bytes(dir / n);
        ASSERT_NE(results[n], originals[n]);
    }

    const unsigned seed = test::graine_aleatoire("kill -9 while " + name);
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, long(reference.secondes * 0.9e6));
    int during_run = 0, mixed = 0, left_over = 0, replaced = 0, kept = 0;
    for (int kill = 0; kill < kills; ++kill) {
        restaurer(dir.path(), originals);
        Lancement l = commande(name, dir.path(), names);
        l.tuer_apres = std::chrono::microseconds(moment(random));
        const Execution run = executer_cli(l);
        if (run.tue) ++during_run;

        int new_here = 0;
        for (const std::string& n : names) {
            const std::string now = test::read_bytes(dir / n);
            const bool is_new = now == results[n];
            ASSERT_TRUE(is_new || now == originals[n])
                << n << " is neither its original nor its result after kill " << kill << " at "
                << l.tuer_apres->count() << " µs (seed " << seed << "), " << now.size() << " bytes";
            new_here += is_new;
        }
        replaced += new_here;
        kept += kPages - new_here;
        if (new_here > 0 && new_here < kPages) ++mixed;
        ASSERT_EQ(noms_png(dir.path()), names) << "a leftover would pass for a page";
        left_over += int(noms(dir.path()).size() - names.size());

        // The user runs the same command again over what the folder now holds.
        const Execution again = executer_cli(commande(name, dir.path(), noms_png(dir.path())));
        ASSERT_EQ(again.status, 0) << again.erreurs;
        for (const std::string& n : names)
            ASSERT_EQ(test::read_bytes(dir / n), results[n]) << n << " after the run that follows";
    }
    std::printf(
        "%s: %d kills (seed %u), %d during the run, %d between two pages' writes; pages "
        "afterwards: "
        "%d original, %d complete result, never anything else; %d temporary files left, none "
        "named like a page\n",
        name.c_str(), kills, seed, during_run, mixed, kept, replaced, left_over);
    EXPECT_GE(during_run, kills / 3) << "kills should land while pages are written";
}

TEST(SlowFaults, KillNineWhileCroppingOverTheSources) {
    tuer_pendant("detourer", 60);
}

TEST(SlowFaults, KillNineWhileCleaningOverTheSources) {
    tuer_pendant("nettoyer", 30);
}

}  // namespace
}  // namespace vellumor::faults
