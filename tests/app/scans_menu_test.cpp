#include <leptonica/allheaders.h>

#include <QUrl>

#include "app/list_drop.h"
#include "app/list_menu.h"
#include "batch/lot_fichiers.h"
#include "batch/png_io.h"
#include "event_waits.h"
#include "ops/leptonica/pix.h"
#include "support/skewed_page.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

class MenuScans : public FenetreTest {
  protected:
    const EntreeMenuListe& entree(const char* texte) {
        for (const EntreeMenuListe& e : entrees_menu_liste())
            if (e.texte == QString::fromUtf8(texte)) return e;
        ADD_FAILURE() << texte;
        return entrees_menu_liste().front();
    }
    // Waits for the box that ends a run or an import.
    void attendre_la_fin() {
        attendre_evenements([&] { return !dialogs.de_genre(Genre::Tache).empty(); });
        traiter_evenements();
    }
    QString bulle(int i) { return liste().topLevelItem(i)->toolTip(0); }
};

TEST_F(MenuScans, StraighteningTheSelectedRowsShowsEachAngle) {
    const double inclinaisons[] = {2.0, 0.0, -1.5};
    for (int i = 0; i < 3; ++i) {
        const auto f = dossier / ("p_" + std::to_string(i + 1) + ".png");
        ASSERT_TRUE(save_png(vellumor::testing::page_inclinee(1200, 1500, inclinaisons[i], 8), f));
        GLB_Fichiers_Images().push_back(entree_pour(f));
    }
    remplir_lignes(*fenetre);
    const std::string troisieme = vellumor::test::read_bytes(dossier / "p_3.png");
    liste().topLevelItem(0)->setSelected(true);
    liste().topLevelItem(1)->setSelected(true);
    const EntreeMenuListe& e = entree("Redresser les pages");
    ASSERT_TRUE(e.disponible(*fenetre));
    e.action(*fenetre);
    attendre_la_fin();
    const auto fin = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_EQ(fin[0].tache.instruction, QStringLiteral(" Info"));
    EXPECT_EQ(icone(0), kIconeFait);
    EXPECT_EQ(icone(1), kIconeSansMarge);
    EXPECT_NE(icone(2), kIconeFait);
    EXPECT_TRUE(bulle(0).startsWith(QStringLiteral("inclinaison mesurée : 2,0")))
        << bulle(0).toStdString();
    EXPECT_TRUE(bulle(1).contains(QStringLiteral("déjà droite"))) << bulle(1).toStdString();
    EXPECT_TRUE(bulle(2).isEmpty());
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 2 fichiers (Fichiers traités : 2/3)"));
    EXPECT_TRUE(vellumor::test::read_bytes(dossier / "p_3.png") == troisieme);
    EXPECT_TRUE(e.disponible(*fenetre));
}

TEST_F(MenuScans, ImportedAndDroppedScansJoinTheList) {
    const auto tiff = dossier / "scan.tif";
    for (int k = 0; k < 2; ++k) {
        const leptonica::PixPtr p(pixCreate(300, 200, 1));
        pixSetPixel(p.get(), 10 + k, 10, 1);
        ASSERT_EQ(pixWriteTiff(tiff.c_str(), p.get(), IFF_TIFF_G4, k ? "a" : "w"), 0);
    }
    const auto jpeg = dossier / "photo.jpg";
    const leptonica::PixPtr gris(pixCreate(120, 80, 8));
    ASSERT_EQ(pixWriteJpeg(jpeg.c_str(), gris.get(), 90, 0), 0);
    const auto pages = dossier / "pages";

    dialogs.choix_fichiers.push_back({QString::fromStdString(tiff.string())});
    dialogs.noms_enregistrement.push_back(QString::fromStdString((pages / "livre_0005").string()));
    const EntreeMenuListe& e = entree("Importer des scans…");
    ASSERT_TRUE(e.disponible(*fenetre));  // an empty list may take scans
    e.action(*fenetre);
    attendre_la_fin();
    auto fin = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_EQ(fin[0].tache.instruction, QStringLiteral("2 pages importées"));
    ASSERT_EQ(GLB_Fichiers_Images().size(), 2u);
    EXPECT_EQ(GLB_Fichiers_Images()[0].Fichier, pages / "livre_0005.png");
    EXPECT_EQ(GLB_Fichiers_Images()[1].Fichier, pages / "livre_0006.png");
    EXPECT_EQ(dialogs.de_genre(Genre::Ouvrir)[0].filtre,
              QStringLiteral("Scans|*.tif;*.tiff;*.jpg;*.jpeg;*.png;*.pnm;*.pbm;*.pgm;*.ppm"));

    dialogs.appels.clear();
    dialogs.noms_enregistrement.push_back(QString::fromStdString((pages / "livre_0005").string()));
    EXPECT_TRUE(deposer_sur_la_liste(*fenetre,
                                     {QUrl::fromLocalFile(QString::fromStdString(jpeg.string()))}));
    attendre_la_fin();
    fin = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_EQ(fin[0].tache.instruction, QStringLiteral("Aucune page n'est importée"));
    EXPECT_TRUE(fin[0].tache.corps.contains(QStringLiteral("livre_0005.png » existe déjà")));

    dialogs.appels.clear();
    dialogs.noms_enregistrement.push_back(QString::fromStdString((pages / "photo").string()));
    EXPECT_TRUE(deposer_sur_la_liste(*fenetre,
                                     {QUrl::fromLocalFile(QString::fromStdString(jpeg.string()))}));
    attendre_la_fin();
    ASSERT_EQ(GLB_Fichiers_Images().size(), 3u);
    EXPECT_TRUE(load_png(pages / "photo0001.png"));
}

}  // namespace
}  // namespace vellumor::app::test
