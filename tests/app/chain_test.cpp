#include <QCheckBox>

#include "app/startup.h"
#include "batch/mutex_registry.h"
#include "batch/originaux.h"
#include "panel_fixture.h"
#include "settings/preferences.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;
using vellumor::test::read_png_file;

class Enchainement : public PanneauTest {
  protected:
    std::vector<std::filesystem::path> quatre_pages() {
        std::vector<std::filesystem::path> f;
        for (int n = 2; n <= 5; ++n)
            f.push_back(ecrire("page_" + std::to_string(n) + ".png",
                               page(30, 30, {{4, 4}, {10, 10}, {11, 10}, {20, 24}, {20, 25}})));
        return f;
    }
};

TEST_F(Enchainement, CleaningWaitsThenEachPageIsCleanedCroppedAndColourisedWithOneMessage) {
    const auto pages = quatre_pages();
    lister(pages);
    Scenario s;
    s.quand([] { return control(96) && au_repos(); }, [&] { cliquer(16); })
        .quand([&] { return !infos().empty() && au_repos(); },
               [&] {
                   EXPECT_EQ(icones(), (std::vector<int>{2, 2, 2, 2}));
                   // One pass: the cropping and colourising panels are never opened.
                   EXPECT_FALSE(control(14) && control(14)->isVisible());
                   EXPECT_FALSE(control(15) && control(15)->isVisible());
                   cliquer(60);
               });
    operation(5, s);

    ASSERT_EQ(infos().size(), 1u);
    // Then where the pages it replaced are kept.
    EXPECT_TRUE(infos()[0].tache.corps.startsWith(
        QStringLiteral("Les opérations de colorisation sont terminées")))
        << infos()[0].tache.corps.toStdString();
    EXPECT_EQ(dialogs.appels.size(), 1u);
    for (const auto& p : pages) {
        // Cleaned (the isolated pixel at (4, 4) went), then cut to the ink from (10, 10) to
        // (20, 25), then colourised beside it.
        const auto coupee = read_png_file(p);
        ASSERT_TRUE(coupee);
        EXPECT_EQ(std::pair(coupee->width, coupee->height), std::pair(11, 16));
        auto colorisee = p;
        colorisee.replace_filename(p.stem().string() + "_Col.png");
        const auto bleue = read_png_file(colorisee);
        ASSERT_TRUE(bleue) << colorisee;
        EXPECT_EQ(std::pair(bleue->width, bleue->height), std::pair(11, 16));
        EXPECT_EQ(bleue->at(0, 0, 2), 255);  // blue
        EXPECT_EQ(bleue->at(0, 0, 0), 0);
    }
    EXPECT_TRUE(control(3)->isVisible());
    EXPECT_FALSE(control(15)->isVisible());
    EXPECT_TRUE(GLB_Liste_Mutex().empty());
}

TEST_F(Enchainement, LeavingTheCleaningPanelWithoutARunEndsTheChain) {
    const auto pages = quatre_pages();
    lister(pages);
    const std::string avant = read_bytes(pages[0]);
    Scenario s;
    s.quand([] { return control(96) && au_repos(); }, [&] { cliquer(60); });
    operation(5, s);
    EXPECT_TRUE(dialogs.appels.empty());
    EXPECT_EQ(read_bytes(pages[0]), avant);
    EXPECT_FALSE(std::filesystem::exists(dossier / "page_2_Col.png"));
    EXPECT_TRUE(control(3)->isVisible());
}

// Pages that take a moment each, so that the window can be closed while the workers run.
std::vector<std::filesystem::path> pages_lentes(const std::filesystem::path& dossier, int n) {
    std::vector<std::filesystem::path> f;
    vellumor::test::PngFile p = vellumor::test::blank_png(700, 700, PNG_COLOR_TYPE_GRAY, 8);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 700; ++x)
            p.at(x, y) = (x > 50 && x < 650 && y > 50 && y < 650) ? (x * y) % 251 : 255;
    for (int i = 1; i <= n; ++i) {
        f.push_back(dossier / ("lente_" + std::to_string(i) + ".png"));
        vellumor::test::write_png_file(f.back(), p);
    }
    return f;
}

TEST(FermetureEnCours, TheWindowGoesAtOnceAndTheProgramEndsOnceThePagesBeingWrittenAreWhole) {
    reprendre_boucles();
    GLB_Fichiers_Images().clear();
    vellumor::test::TempDir appdata, pages;
    const auto fichiers = pages_lentes(pages.path(), 24);
    const std::string original = read_bytes(fichiers[0]);
    DialogsScriptes dialogs;
    qputenv("APPDATA", appdata.path().string().c_str());
    auto session = Session::demarrer(dialogs, QString::fromStdString(appdata.path().string()));
    qunsetenv("APPDATA");
    ASSERT_NE(session, nullptr);
    FenetrePrincipale& f = session->fenetre();
    QStringList choix;
    for (const auto& p : fichiers) choix << QString::fromStdString(p.string());
    dialogs.choix_fichiers.push_back(choix);

    Scenario s;
    s.quand(
        [&] {
            for (int i = 0; i < f.liste()->topLevelItemCount(); ++i)
                if (f.liste()->topLevelItem(i)->data(0, Qt::UserRole).toInt() == 2) return true;
            return false;
        },
        [&] { f.close(); });
    s.pendant(f, [&] { control_as<QAbstractButton>(7)->click(); });
    EXPECT_TRUE(s.fini());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(control(14)->parentWidget(), control(1));  // the panel went with the window

    session->arreter();
    EXPECT_TRUE(std::filesystem::exists(appdata / "Vellumor" / "Vellumor.prefs"));
    EXPECT_TRUE(GLB_Liste_Mutex().empty());
    int coupees = 0;
    for (const auto& p : fichiers) {
        const auto png = read_png_file(p);
        ASSERT_TRUE(png) << p;  // whole, never half-written
        if (png->width == 599) {
            ++coupees;
        } else {
            EXPECT_EQ(read_bytes(p), original) << p;
        }
    }
    EXPECT_GE(coupees, 1);
    EXPECT_LT(coupees, 24);  // the workers stopped before their next files
    size_t dans_le_dossier = 0;
    for (const auto& e : std::filesystem::directory_iterator(pages.path()))
        dans_le_dossier += e.path().filename() != kDossierOriginaux;
    EXPECT_EQ(dans_le_dossier, fichiers.size());  // no temporary file left behind
    session.reset();
    GLB_Preferences() = Preferences{};
    GLB_Fichiers_Images().clear();
    reprendre_boucles();
}

}  // namespace
}  // namespace vellumor::app::test
