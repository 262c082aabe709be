#include "ops/numbering/numbering_worker.h"

#include <gtest/gtest.h>

#include <map>

#include "batch/batch_recorder.h"
#include "batch/png_io.h"
#include "imagelist/repartition_parite.h"
#include "ops/numbering/placement.h"
#include "ops/numbering/stamp_files.h"
#include "ops/numbering/test_font.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor::numbering {
namespace {

using Appel = test::ProgressionEnregistree::Appel;

// Also keeps the texts written into the rows' columns.
class Rapport : public test::ProgressionEnregistree {
  public:
    void texte_ligne(std::int64_t ligne, int colonne, const std::string& texte) override {
        std::lock_guard g(garde_);
        colonnes[{ligne, colonne}] = texte;
    }
    std::string colonne(std::int64_t ligne, int colonne) { return colonnes[{ligne, colonne}]; }
    std::map<std::pair<std::int64_t, int>, std::string> colonnes;

  private:
    std::mutex garde_;
};

constexpr int kW = 700, kH = 450;

class NumberingRun : public ::testing::Test {
  protected:
    // Pages named name + number for each number, white kW x kH, in list order.
    ListeImages pages(const std::vector<int>& numbers, const std::string& name = "page_") {
        ListeImages liste;
        for (int n : numbers) {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%03d", n);
            const auto file = sources_ / (name + digits + ".png");
            EXPECT_TRUE(save_png(*Image::create(kW, kH, 24, kWhite), file));
            liste.push_back(entree_pour(file));
        }
        return liste;
    }

    // Builds the stamps, runs both workers to their end and completes the run.
    Message run(const ListeImages& liste, std::int64_t debut,
                PositionNumero position = PositionNumero::BasDroite) {
        reglages_.debut = debut;
        reglages_.fin = debut + std::int64_t(liste.size()) - 1;
        reglages_.position = position;
        reglages_.dossier = dir_.path() / "Vellumor";
        reglages_.dossier_travail = dir_.path() / "travail";
        std::filesystem::create_directories(reglages_.dossier);
        ResultatTampons built = construire_tampons(
            police(), {reglages_.debut, reglages_.fin, modele_, 5, 5}, reglages_.dossier_travail);
        EXPECT_FALSE(built.abandon);
        reglages_.taille_tampons = built.taille_empaquetee();
        std::vector<std::string> rows;
        for (const EntreeImage& e : liste) rows.push_back(e.Fichier.filename().string());
        lignes_ = std::make_unique<LignesFixes>(rows);
        Repartition r = repartir_par_parite(liste, constantes_lots(kDescription));
        ParametresExecution p;
        p.lignes = lignes_.get();
        p.progression = &rapport_;
        p.nombre_fichiers = std::int64_t(liste.size());
        {
            ExecutionLot execution(std::move(*r.lots), p);
            const ReglagesNumerotation reglages = reglages_;
            EXPECT_TRUE(execution.demarrer(
                [reglages](Travailleur& t) { travail_numerotation(t, reglages); }));
            execution.attendre();
            mots_pair_.assign(std::begin(execution.lots().pair.Mots_Operation),
                              std::end(execution.lots().pair.Mots_Operation));
        }
        // Keep the stamps around for the checks, then complete like the main thread does.
        for (std::int64_t n = reglages_.debut; n <= reglages_.fin; ++n)
            if (auto s = load_png(reglages_.dossier_travail / nom_tampon(n))) stamps_[n] = *s.image;
        return terminer_numerotation(reglages_);
    }

    Image output(const std::string& name) {
        LoadResult r = load_png(reglages_.dossier / name);
        if (!r) throw std::runtime_error("missing output " + name);
        return *r.image;
    }

    // True when the stamp of number n stands on page at (x, y), pixel for pixel.
    bool stamp_at(const Image& page, std::int64_t n, int x, int y) {
        const Image& s = stamps_.at(n);
        for (int sy = 0; sy < s.height(); ++sy)
            for (int sx = 0; sx < s.width(); ++sx)
                if (page.pixel(x + sx, y + sy) != s.pixel(sx, sy)) return false;
        return true;
    }
    int stamp_w(std::int64_t n) { return stamps_.at(n).width(); }
    int stamp_h(std::int64_t n) { return stamps_.at(n).height(); }

    test::TempDir dir_;
    std::filesystem::path sources_ = dir_.path();
    ModeleNumero modele_ = ModeleNumero::RectangleBlanc;
    ReglagesNumerotation reglages_;
    Rapport rapport_;
    std::unique_ptr<LignesFixes> lignes_;
    std::map<std::int64_t, Image> stamps_;
    std::vector<std::int64_t> mots_pair_;
};

TEST_F(NumberingRun, TwelvePagesCarryTheirNumbersOnTheirSideAndKeepTheirSources) {
    ListeImages liste = pages({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const std::string source_bytes = test::read_bytes(liste[0].Fichier);
    Message done = run(liste, 1);
    EXPECT_EQ(done.instruction, " Info");
    EXPECT_EQ(done.texte, "\nLes opérations de numérotation sont terminées");
    EXPECT_EQ(done.style, kIconeInformation);

    const auto& x = reglages_.parametres;
    for (int n = 1; n <= 12; ++n) {
        const std::string name = nom_page_numerotee(n, 12);
        ASSERT_EQ(name, (n < 10 ? "Img__0" : "Img__") + std::to_string(n) + ".png");
        Image page = output(name);
        ASSERT_EQ(page.width(), kW);
        const int sx = n % 2 ? kW - stamp_w(n) - int(x.offset_x) : int(x.offset_x + x.reliure);
        EXPECT_TRUE(stamp_at(page, n, sx, kH - stamp_h(n) - int(x.offset_y))) << n;
        EXPECT_EQ(page.pixel(kW / 2, 10), kWhite);
        EXPECT_EQ(rapport_.icones(n - 1), (std::vector<int>{kIconeEnCours, kIconeFait}));
        EXPECT_EQ(rapport_.colonne(n - 1, 2), name);
    }
    EXPECT_EQ(test::read_bytes(liste[0].Fichier), source_bytes);
    EXPECT_EQ(rapport_.entetes().back(), " 12 fichiers (Fichiers traités : 12/12)");
    EXPECT_EQ(mots_pair_, (std::vector<std::int64_t>{1, 12, reglages_.taille_tampons}));
    // Only the numbered pages are left in the temporary folder.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(reglages_.dossier)) {
        EXPECT_EQ(e.path().filename().string().rfind("Img__", 0), 0u) << e.path();
        ++files;
    }
    EXPECT_EQ(files, 12);
}

TEST_F(NumberingRun, WorkersRunOneAfterTheOtherAndPostTheirEvents) {
    run(pages({1, 2, 3, 4, 5, 6}), 1);
    const std::vector<Appel> calls = rapport_.appels();
    // Each worker's reports form one block: the thread changes once.
    int changes = 0;
    for (std::size_t i = 1; i < calls.size(); ++i) changes += calls[i].fil != calls[i - 1].fil;
    EXPECT_EQ(changes, 1);
    std::vector<std::int64_t> events = rapport_.evenements();
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events, (std::vector<std::int64_t>{0x1000F, 0x10010}));
}

TEST_F(NumberingRun, StartingAtTwoShiftsNumbersButSidesFollowTheFileNumbers) {
    run(pages({1, 2, 3, 4}), 2);
    const auto& x = reglages_.parametres;
    // page_001 carries 2 on the right; page_002 carries 3 on the left.
    EXPECT_TRUE(stamp_at(output("Img__2.png"), 2, kW - stamp_w(2) - 50, kH - stamp_h(2) - 50));
    EXPECT_TRUE(
        stamp_at(output("Img__3.png"), 3, int(x.offset_x + x.reliure), kH - stamp_h(3) - 50));
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__5.png"));
}

TEST_F(NumberingRun, NumbersThatDoNotAlternateStillGiveEveryPageItsOwnOutput) {
    // Two even file numbers in a row: each file takes Début + its place in the list.
    ListeImages liste = pages({2, 4, 5, 7});
    run(liste, 1, PositionNumero::HautDroite);
    const int y = 50, left = 80;
    EXPECT_TRUE(stamp_at(output("Img__1.png"), 1, left, y));
    EXPECT_TRUE(stamp_at(output("Img__2.png"), 2, left, y));
    EXPECT_TRUE(stamp_at(output("Img__3.png"), 3, kW - stamp_w(3) - 50, y));
    EXPECT_TRUE(stamp_at(output("Img__4.png"), 4, kW - stamp_w(4) - 50, y));
    for (int row = 0; row < 4; ++row) EXPECT_EQ(rapport_.icones(row).back(), kIconeFait);
}

TEST_F(NumberingRun, TheThirdOfTenFailingToLoadKeepsTheOthersOnTheirNumbers) {
    modele_ = ModeleNumero::Disque;
    ListeImages liste = pages({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    test::write_bytes(liste[2].Fichier, "not a picture");
    run(liste, 1, PositionNumero::BasCentre);
    EXPECT_EQ(rapport_.icones(2), (std::vector<int>{kIconeEnCours, kIconeEchec}));
    EXPECT_FALSE(std::filesystem::exists(reglages_.dossier / "Img__03.png"));
    for (int n : {1, 2, 4, 10}) {
        const Image page = output(nom_page_numerotee(n, 10));
        // (W - w) x 0.5 with a half going to the even neighbour.
        const int d = kW - stamp_w(n), q = d / 2;
        const int x = d % 2 != 0 && q % 2 != 0 ? q + 1 : q;
        EXPECT_TRUE(stamp_at(page, n, x, kH - stamp_h(n) - 50)) << n;
    }
    EXPECT_EQ(rapport_.entetes().back(), " 10 fichiers (Fichiers traités : 9/10)");
    bool told = false;
    for (const Appel& a : rapport_.appels())
        told |= a.type == Appel::Boite && a.texte == "page_003.png";
    EXPECT_TRUE(told);
}

TEST_F(NumberingRun, FinNineAndFinTenNameThePagesDifferently) {
    run(pages({1, 2, 3, 4, 5, 6, 7, 8, 9}), 1);
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__7.png"));
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__9.png"));
    run(pages({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "other_"), 1);
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__07.png"));
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__10.png"));
}

TEST_F(NumberingRun, ASingleImageLeavesOneRecordEmptyAndARunFromZeroWorks) {
    run(pages({8}), 0);  // refused by the window (Début and Fin 0), but the core copes
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__0.png"));
    EXPECT_EQ(rapport_.evenements().size(), 2u);
    EXPECT_EQ(rapport_.entetes().back(), " 1 fichier (Fichier traité : 1/1)");
}

TEST_F(NumberingRun, APageThatCannotBeWrittenIsAFailureNotADone) {
    ListeImages liste = pages({1, 2});
    // A 16-bit grey page loads but its own depth cannot be written back.
    test::PngFile deep = test::blank_png(kW, kH, 0 /* grey */, 16);
    test::write_png_file(liste[1].Fichier, deep);
    run(liste, 1);
    EXPECT_EQ(rapport_.icones(1).back(), kIconeEchec);
    EXPECT_EQ(rapport_.icones(0).back(), kIconeFait);
    EXPECT_EQ(rapport_.entetes().back(), " 2 fichiers (Fichiers traités : 1/2)");
    EXPECT_FALSE(std::filesystem::exists(reglages_.dossier / "Img__2.png"));
}

TEST_F(NumberingRun, AMissingStampFailsItsPageInsteadOfWritingItUnnumbered) {
    ListeImages liste = pages({1, 2});
    reglages_.dossier = dir_.path() / "Vellumor";
    reglages_.dossier_travail = dir_.path() / "travail";
    reglages_.debut = 1;
    reglages_.fin = 2;
    std::filesystem::create_directories(reglages_.dossier);
    ASSERT_FALSE(
        construire_tampons(police(), {1, 2, modele_, 5, 5}, reglages_.dossier_travail).abandon);
    // What a second run deleting this one's stamps did.
    std::filesystem::remove(reglages_.dossier_travail / nom_tampon(2));
    LignesFixes rows({"page_001.png", "page_002.png"});
    ParametresExecution p{&rows, &rapport_, 2};
    {
        ExecutionLot execution(
            std::move(*repartir_par_parite(liste, constantes_lots(kDescription)).lots), p);
        const ReglagesNumerotation r = reglages_;
        EXPECT_TRUE(execution.demarrer([r](Travailleur& t) { travail_numerotation(t, r); }));
    }
    EXPECT_TRUE(std::filesystem::exists(reglages_.dossier / "Img__1.png"));
    EXPECT_FALSE(std::filesystem::exists(reglages_.dossier / "Img__2.png"));
    EXPECT_EQ(rapport_.icones(1).back(), kIconeEchec);
    EXPECT_EQ(rapport_.entetes().back(), " 2 fichiers (Fichiers traités : 1/2)");
    bool told = false;
    for (const Appel& a : rapport_.appels())
        told |= a.type == Appel::Boite && a.texte.find("Num___2.png") != std::string::npos;
    EXPECT_TRUE(told);
}

}  // namespace
}  // namespace vellumor::numbering
