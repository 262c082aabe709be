// Inputs that are not files, pages held by another run, and pages changed while a worker had them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "batch/batch_run.h"
#include "batch/png_io.h"
#include "batch_recorder.h"
#include "common/regular_file.h"
#include "common/text_file.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

void ecrire_page(const fs::path& f, std::uint32_t couleur_encre = kBlack) {
    Image page = *Image::create(6, 6, 24, kWhite);
    page.fill_box(1, 1, 3, 3, couleur_encre);
    ASSERT_TRUE(save_png(page, f, 24));
}

TEST(RegularFile, ANamedPipeAFolderOrASocketIsRefusedAtOnce) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "tube.png").c_str(), 0600), 0);
    fs::create_directory(dir / "dossier.png");
    const auto debut = std::chrono::steady_clock::now();
    for (const char* nom : {"tube.png", "dossier.png"}) {
        const OpenResult r = open_regular_file(dir / nom);
        EXPECT_EQ(r.error, OpenError::NotRegular) << nom;
        EXPECT_NE(r.message.find("n'est pas un fichier ordinaire"), std::string::npos) << nom;
        const LoadResult l = load_png(dir / nom);
        EXPECT_FALSE(l);
        EXPECT_NE(l.message.find("n'est pas un fichier ordinaire"), std::string::npos) << nom;
        EXPECT_FALSE(lire_octets(dir / nom)) << nom;
    }
    // Opening a pipe for reading would block until a writer came: refused at once, never hung.
    EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(20));
    EXPECT_EQ(open_regular_file(dir / "absent.png").error, OpenError::Missing);
}

TEST(RegularFile, APageHeldByAnotherRunIsBusyUntilReleased) {
    test::TempDir dir;
    ecrire_page(dir / "p1.png");
    LoadResult premier = load_png_locked(dir / "p1.png");
    ASSERT_TRUE(premier) << premier.message;
    ASSERT_TRUE(premier.identity);
    EXPECT_EQ(premier.identity, identity_of(dir / "p1.png"));

    const LoadResult second = load_png_locked(dir / "p1.png");
    EXPECT_EQ(second.error, LoadError::Busy);
    EXPECT_NE(second.message.find("en cours de traitement par un autre Vellumor"),
              std::string::npos);
    EXPECT_TRUE(load_png(dir / "p1.png")) << "reading without the lock is not refused";

    // The holder writes its result over the page and lets it go: the next run takes the new file.
    ASSERT_TRUE(save_png_replacing(*premier.image, dir / "p1.png", 24));
    premier = LoadResult{};
    const LoadResult apres = load_png_locked(dir / "p1.png");
    ASSERT_TRUE(apres) << apres.message;
    EXPECT_EQ(apres.identity, identity_of(dir / "p1.png"));
}

// A real page run whose step lets something else happen to the source before the result is saved.
struct Banc {
    test::TempDir dir;
    test::ProgressionEnregistree progression;
    std::int64_t compteur = -1;

    std::vector<test::ProgressionEnregistree::Appel> executer(
        const std::function<void(const fs::path&)>& pendant) {
        ecrire_page(dir / "p_1.png");
        LignesFixes lignes({"p_1.png"});
        ParametresExecution p;
        p.lignes = &lignes;
        p.progression = &progression;
        p.nombre_fichiers = 1;
        PaireLots lots;
        lots.impair.Fichiers.push_back({dir / "p_1.png", 0});
        ExecutionLot run(std::move(lots), p);
        EtapeFichier etape;
        etape.traiter = [&](PageEnCours& page) {
            page.image.fill_box(0, 0, 6, 6, kBlack);
            page.arreter_dessin();
            pendant(page.source);
            return enregistrer_sur_source(page, 0);
        };
        EXPECT_TRUE(run.demarrer([&](Travailleur& t) { travail_standard(t, etape); }));
        run.attendre();
        compteur = run.compteur();
        return progression.appels();
    }
};

TEST(PageGuard, APageChangedOrDeletedDuringTheRunKeepsWhatHappenedToIt) {
    const struct {
        const char* cas;
        std::function<void(const fs::path&)> pendant;
        bool existe_apres;
    } cas[] = {
        {"rewritten in place",
         [](const fs::path& f) { test::write_bytes(f, "réécrite par un autre programme"); }, true},
        {"replaced by another file",
         [](const fs::path& f) {
             ecrire_page(f.parent_path() / "autre.png", couleur(0, 0, 255));
             fs::rename(f.parent_path() / "autre.png", f);
         },
         true},
        {"deleted", [](const fs::path& f) { fs::remove(f); }, false},
    };
    for (const auto& c : cas) {
        Banc b;
        std::string pendant_le_travail;
        const auto appels = b.executer([&](const fs::path& f) {
            c.pendant(f);
            if (fs::exists(f)) pendant_le_travail = test::read_bytes(f);
        });
        EXPECT_EQ(b.progression.icones(0), (std::vector<int>{kIconeEnCours, kIconeEchec})) << c.cas;
        EXPECT_EQ(b.compteur, 0) << c.cas;
        // The empty record's worker may report its end at any moment: look for the file's outcome.
        const auto fini = std::find_if(appels.begin(), appels.end(), [](const auto& a) {
            return a.type == test::ProgressionEnregistree::Appel::Fini;
        });
        ASSERT_NE(fini, appels.end()) << c.cas;
        EXPECT_EQ(fini->issue, IssueFichier::Echec) << c.cas;
        EXPECT_NE(fini->texte.find("modifié pendant le traitement"), std::string::npos) << c.cas;
        EXPECT_EQ(fs::exists(b.dir / "p_1.png"), c.existe_apres) << c.cas;
        if (c.existe_apres) {
            EXPECT_EQ(test::read_bytes(b.dir / "p_1.png"), pendant_le_travail);
        }
        EXPECT_EQ(test::folder_contents(b.dir.path()).size(), c.existe_apres ? 1u : 0u) << c.cas;
    }
}

TEST(PageGuard, AnUntouchedPageIsWrittenAndAnotherRunFindsItBusyMeanwhile) {
    Banc b;
    LoadResult pendant;
    b.executer([&](const fs::path& f) { pendant = load_png_locked(f); });
    EXPECT_EQ(pendant.error, LoadError::Busy);
    EXPECT_EQ(b.progression.icones(0), (std::vector<int>{kIconeEnCours, kIconeFait}));
    EXPECT_EQ(load_png(b.dir / "p_1.png").image->pixel(0, 0), kBlack);
}

}  // namespace
}  // namespace vellumor
