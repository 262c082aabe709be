#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "batch/originaux.h"
#include "batch/png_io.h"
#include "ops/straightening/straightening.h"
#include "support/cli_run.h"
#include "support/skewed_page.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

class Redresser : public ::testing::Test {
  protected:
    void SetUp() override {
        ecrire_pages();
        std::filesystem::create_directory(tmp_.path() / "t");
    }
    void ecrire_pages() {
        std::filesystem::remove_all(pages_ / kDossierOriginaux);
        ASSERT_TRUE(save_png(testing::page_inclinee(1200, 1500, 2.0, 8), pages_ / "p_1.png"));
        ASSERT_TRUE(save_png(testing::page_inclinee(1200, 1500, -1.5, 1), pages_ / "p_2.png"));
        ASSERT_TRUE(save_png(testing::page_inclinee(1200, 1500, 0.0, 8), pages_ / "p_3.png"));
    }
    test::SortieCli lancer(const std::string& options) {
        return test::lancer_cli(
            "redresser " + options + " " + test::entre_guillemets(pages_.path().string()),
            tmp_.path() / "t");
    }
    test::TempDir pages_, tmp_;
};

TEST_F(Redresser, TurnsSkewedPagesInPlaceAndPrintsEachAngle) {
    const std::string droite = test::read_bytes(pages_ / "p_3.png");
    const test::SortieCli s = lancer("");
    EXPECT_EQ(s.status, 0) << s.texte;
    EXPECT_NE(s.texte.find("p_1.png : inclinaison mesurée : 2,0"), std::string::npos) << s.texte;
    EXPECT_NE(s.texte.find("p_2.png : inclinaison mesurée : -1,"), std::string::npos);
    EXPECT_NE(s.texte.find("p_3.png : déjà droite, rien n'est écrit"), std::string::npos);
    EXPECT_NE(s.texte.find("Les opérations de redressement sont terminées"), std::string::npos);
    EXPECT_TRUE(test::read_bytes(pages_ / "p_3.png") == droite);
    for (const auto& [nom, profondeur] : {std::pair{"p_1.png", 8}, std::pair{"p_2.png", 1}}) {
        const LoadResult l = load_png(pages_ / nom);
        ASSERT_TRUE(l) << nom;
        EXPECT_EQ(l.image->file_depth(), profondeur);
        EXPECT_EQ(l.image->width(), 1200);
        EXPECT_EQ(l.image->resolution(), resolution_from_dpi(600));
        EXPECT_LT(std::abs(straightening::mesurer(*l.image, 5).angle), 0.1) << nom;
    }
    EXPECT_TRUE(std::filesystem::is_directory(pages_ / kDossierOriginaux));
}

TEST_F(Redresser, OptionsAndTheirLimits) {
    struct Cas {
        std::string options;
        int status;
        std::string attendu;
        bool ecrit;
        bool originaux;
    };
    for (const Cas& c :
         {Cas{"--angle-max 0,2", 2, "L'angle maximal doit être compris entre 0,50° et 10,00°",
              false, false},
          Cas{"--angle-max deux", 2, "Angle invalide : deux", false, false},
          Cas{"--angle-max 1.8", 0, "p_1.png : inclinaison au-delà de l'angle maximal", false,
              true},
          Cas{"--sans-originaux", 0, "p_1.png : inclinaison mesurée : 2,0", true, false}}) {
        ecrire_pages();
        const std::string avant = test::read_bytes(pages_ / "p_1.png");
        const test::SortieCli s = lancer(c.options);
        EXPECT_EQ(s.status, c.status) << c.options << "\n" << s.texte;
        EXPECT_NE(s.texte.find(c.attendu), std::string::npos) << c.options << "\n" << s.texte;
        EXPECT_EQ(test::read_bytes(pages_ / "p_1.png") != avant, c.ecrit) << c.options;
        EXPECT_EQ(std::filesystem::exists(pages_ / kDossierOriginaux), c.originaux) << c.options;
    }
}

}  // namespace
}  // namespace vellumor
