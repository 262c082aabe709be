#include <gtest/gtest.h>
#include <png.h>

#include "batch/batch_run.h"
#include "batch_recorder.h"
#include "imagelist/repartition_parite.h"
#include "ops/cleaning/cleaning_worker.h"
#include "ops/colourising/colourising_worker.h"
#include "ops/cropping/cropping_worker.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::blank_png;
using test::PngFile;
using test::ProgressionEnregistree;

// Grey page, white everywhere except the given ink pixels (value 0 unless given).
PngFile page_grise(int w, int h, int depth, std::vector<std::pair<int, int>> encre,
                   std::uint16_t valeur_encre = 0) {
    PngFile png = blank_png(w, h, PNG_COLOR_TYPE_GRAY, depth);
    for (auto& s : png.samples) s = std::uint16_t((1u << depth) - 1);
    for (auto [x, y] : encre) png.at(x, y) = valeur_encre;
    return png;
}

// Runs a worker body over files (listed in the given order) and waits for its end.
struct Passage {
    ProgressionEnregistree progression;
    std::int64_t compteur = -1;

    Passage(const std::vector<std::filesystem::path>& fichiers, const ConstantesLots& c,
            ExecutionLot::Travail travail) {
        ListeImages liste;
        std::vector<std::string> noms;
        for (const auto& f : fichiers) {
            liste.push_back(entree_pour(f));
            noms.push_back(f.filename().string());
        }
        LignesFixes lignes(noms);
        ParametresExecution p;
        p.lignes = &lignes;
        p.progression = &progression;
        p.nombre_fichiers = std::int64_t(liste.size());
        ExecutionLot run(std::move(*repartir_par_parite(liste, c).lots), p);
        EXPECT_TRUE(run.demarrer(std::move(travail)));
        run.attendre();
        compteur = run.compteur();
    }
    std::string dernier_entete() const { return progression.entetes().back(); }
};

const std::vector<int> kFait = {kIconeEnCours, kIconeFait};

TEST(TravailDetourage, OutcomesIconsDepthsAndUntouchedSources) {
    test::TempDir dir;
    const auto encre = dir / "p_1.png", blanche = dir / "p_2.png", pleine = dir / "p_3.png",
               seize = dir / "p_4.png", bilevel = dir / "p_5.png";
    test::write_png_file(encre, page_grise(20, 30, 8, {{4, 5}, {9, 12}}, 0x80));
    test::write_png_file(blanche, page_grise(20, 30, 8, {}));
    // 254 is not white: a near-white corner pixel stops two margins, ink the two others.
    test::write_png_file(pleine, page_grise(20, 30, 8, {{0, 0}, {19, 29}}, 254));
    test::write_png_file(seize, page_grise(20, 30, 16, {{3, 3}}));
    test::write_png_file(bilevel, page_grise(16, 16, 1, {{2, 3}, {5, 9}}));
    const std::string avant_blanche = test::read_bytes(blanche),
                      avant_pleine = test::read_bytes(pleine),
                      avant_seize = test::read_bytes(seize);

    Passage p({encre, blanche, pleine, seize, bilevel}, constantes_lots(cropping::kDescription),
              cropping::travail_detourage());

    EXPECT_EQ(p.progression.icones(0), kFait);
    EXPECT_EQ(p.progression.icones(1), (std::vector<int>{kIconeEnCours, kIconeVierge}));
    EXPECT_EQ(p.progression.icones(2), (std::vector<int>{kIconeEnCours, kIconeSansMarge}));
    EXPECT_EQ(p.progression.icones(3), (std::vector<int>{kIconeEnCours, kIconeEchec}));
    EXPECT_EQ(p.progression.icones(4), kFait);
    EXPECT_EQ(p.compteur, 4);  // blank and uncut pages count, the failed write does not
    EXPECT_EQ(p.dernier_entete(), " 5 fichiers (Fichiers traités : 4/5)");

    const auto coupee = test::read_png_file(encre);
    ASSERT_TRUE(coupee);
    EXPECT_EQ(coupee->width, 6);
    EXPECT_EQ(coupee->height, 8);
    EXPECT_EQ(coupee->bit_depth, 8);
    const auto un_bit = test::read_png_file(bilevel);
    ASSERT_TRUE(un_bit);
    EXPECT_EQ(un_bit->bit_depth, 1);
    EXPECT_EQ(un_bit->width, 4);
    EXPECT_EQ(un_bit->height, 7);
    EXPECT_EQ(test::read_bytes(blanche), avant_blanche);
    EXPECT_EQ(test::read_bytes(pleine), avant_pleine);
    EXPECT_EQ(test::read_bytes(seize), avant_seize);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

TEST(TravailNettoyage, WritesOverTheSourceAtItsDepthAndKeepsItWhenTheWriteFails) {
    test::TempDir dir;
    const auto bilevel = dir / "s_2.png", seize = dir / "s_3.png", sans_motif = dir / "s_4.png";
    test::write_png_file(bilevel, page_grise(12, 12, 1, {{6, 6}, {0, 11}}));
    test::write_png_file(seize, page_grise(12, 12, 16, {{6, 6}}));
    test::write_png_file(sans_motif, page_grise(12, 12, 8, {{6, 6}}));
    const std::string avant_seize = test::read_bytes(seize);

    Passage p({bilevel, seize}, constantes_lots(cleaning::kDescription),
              cleaning::travail_nettoyage(0x81));
    EXPECT_EQ(p.progression.icones(0), kFait);
    EXPECT_EQ(p.progression.icones(1), (std::vector<int>{kIconeEnCours, kIconeEchec}));
    EXPECT_EQ(p.dernier_entete(), " 2 fichiers (Fichiers traités : 1/2)");
    const auto propre = test::read_png_file(bilevel);
    ASSERT_TRUE(propre);
    EXPECT_EQ(propre->bit_depth, 1);
    for (std::uint16_t s : propre->samples) EXPECT_NE(s, 0);  // both specks whitened
    EXPECT_EQ(test::read_bytes(seize), avant_seize);

    // No pattern: the page is still read and written back, with its pixels.
    Passage rien({sans_motif}, constantes_lots(cleaning::kDescription),
                 cleaning::travail_nettoyage(0));
    EXPECT_EQ(rien.progression.icones(0), kFait);
    const LoadResult relue = load_png(sans_motif);
    ASSERT_TRUE(relue);
    EXPECT_EQ(relue.image->pixel(6, 6), kBlack);
    EXPECT_EQ(relue.image->file_depth(), 8);
}

TEST(TravailColorisation, WritesTwentyFourBitsBesideTheSourceUnderItsColName) {
    test::TempDir dir;
    const auto page = dir / "page12.png", autre = dir / "page13.png";
    test::write_png_file(page, page_grise(8, 8, 8, {{1, 1}}, 0x80));
    test::write_png_file(autre, page_grise(8, 8, 1, {{2, 2}}));
    const std::string avant = test::read_bytes(page);
    std::filesystem::create_directory(dir / "page13_Col.png");  // cannot be replaced by a file

    Passage p({page, autre}, constantes_lots(colourising::kDescription),
              colourising::travail_colorisation());
    EXPECT_EQ(test::read_bytes(page), avant);
    const auto bleue = test::read_png_file(dir / "page12_Col.png");
    ASSERT_TRUE(bleue);
    EXPECT_EQ(bleue->colour_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(bleue->bit_depth, 8);
    const LoadResult relue = load_png(dir / "page12_Col.png");
    ASSERT_TRUE(relue);
    EXPECT_EQ(relue.image->pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(relue.image->pixel(0, 0), kWhite);
    EXPECT_EQ(p.progression.icones(0), kFait);
    EXPECT_EQ(p.progression.icones(1), (std::vector<int>{kIconeEnCours, kIconeEchec}));
    EXPECT_EQ(p.compteur, 1);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "page13_Col.png"));

    Passage encore({dir / "page12_Col.png"}, constantes_lots(colourising::kDescription),
                   colourising::travail_colorisation());
    EXPECT_TRUE(std::filesystem::exists(dir / "page12_Col_Col.png"));
}

}  // namespace
}  // namespace vellumor
