#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

#include "app/window_progress.h"
#include "panel_fixture.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::blank_png;
using vellumor::test::PngFile;

class ListeFichiers : public PanneauTest {
  protected:
    QStringList colonne(int c) {
        QStringList textes;
        for (int i = 0; i < liste().topLevelItemCount(); ++i)
            textes << liste().topLevelItem(i)->text(c);
        return textes;
    }
    // A 4-bit palette page of 16 entries (0 black, 1 white), white but at the given points.
    static PngFile page_palette(std::vector<std::pair<int, int>> noirs) {
        PngFile p = blank_png(20, 20, PNG_COLOR_TYPE_PALETTE, 4);
        for (int i = 0; i < 16; ++i) p.palette.push_back(i == 0 ? 0 : i == 1 ? 0xFFFFFF : 0x808080);
        for (auto& s : p.samples) s = 1;
        for (auto [x, y] : noirs) p.at(x, y) = 0;
        return p;
    }
    // Drags urls onto the list as the file manager would; whether the list took the drop.
    bool deposer(const QList<QUrl>& urls) {
        QMimeData donnees;
        donnees.setUrls(urls);
        QWidget* zone = liste().viewport();
        QDragEnterEvent entree(QPoint(20, 20), Qt::CopyAction, &donnees, Qt::LeftButton, {});
        QCoreApplication::sendEvent(zone, &entree);
        if (!entree.isAccepted()) return false;
        QDropEvent depot(QPointF(20, 20), Qt::CopyAction, &donnees, Qt::LeftButton, {});
        QCoreApplication::sendEvent(zone, &depot);
        return depot.isAccepted();
    }
};

TEST_F(ListeFichiers, ColumnOneShowsEachPagesBitsAndColoursFromItsHeader) {
    const auto p1 = ecrire("p_1.png", blank_png(9, 9, PNG_COLOR_TYPE_GRAY, 1));
    const auto p2 = ecrire("p_2.png", page(9, 9));
    const auto p3 = ecrire("p_3.png", page_palette({}));
    const auto p4 = ecrire("p_4.png", blank_png(9, 9, PNG_COLOR_TYPE_RGB, 8));
    const auto p5 = ecrire("p_5.png", blank_png(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    vellumor::test::write_bytes(dossier / "p_6.png", "pas une image");
    lister({p5, p3, p1, dossier / "p_6.png", p4, p2});
    EXPECT_EQ(colonne(1),
              (QStringList{"1 - 2", "8 - 256", "4 - 16", "24 - 16 M", "32 - 16 M + alpha", ""}));
}

TEST_F(ListeFichiers, ColumnOneFollowsAPageThatARunRewrote) {
    // Cropped, the page keeps its 4 bits but its palette only the two colours left in it.
    const auto p = ecrire("p_1.png", page_palette({{4, 4}, {8, 6}}));
    lister({p});
    EXPECT_EQ(colonne(1), QStringList{"4 - 16"});
    Scenario s;
    s.quand([&] { return !infos().empty(); }, [&] { cliquer(60); });
    operation(7, s);
    EXPECT_EQ(icones(), std::vector<int>{2});
    EXPECT_EQ(colonne(1), QStringList{"4 - 2"});
}

TEST_F(ListeFichiers, FilesAndFoldersDroppedJoinTheListInNumberOrder) {
    const auto p9 = ecrire("p_9.png", page(4, 4));
    const auto p2 = ecrire("p_2.png", page(4, 4));
    std::filesystem::create_directories(dossier / "lot");
    const auto p5 = ecrire("lot/p_5.png", page(4, 4));
    const auto p1 = ecrire("lot/p_1.png", blank_png(4, 4, PNG_COLOR_TYPE_RGB, 8));
    vellumor::test::write_bytes(dossier / "lot/notes.txt", "x");
    const auto url = [&](const std::filesystem::path& f) { return QUrl::fromLocalFile(q(f)); };

    ASSERT_TRUE(deposer({url(p9), url(dossier / "lot"), url(p2)}));
    EXPECT_EQ(colonne(0), (QStringList{"p_1.png", "p_2.png", "p_5.png", "p_9.png"}));
    EXPECT_EQ(colonne(1), (QStringList{"24 - 16 M", "8 - 256", "8 - 256", "8 - 256"}));
    ASSERT_EQ(GLB_Fichiers_Images().size(), 4u);
    EXPECT_EQ(GLB_Fichiers_Images()[0].Fichier, p1);
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 4 fichiers"));
    EXPECT_EQ(texte_controle(18), QStringLiteral("  ") + q(dossier / "lot") + QStringLiteral("/"));
    EXPECT_TRUE(control(12)->isEnabled());
    EXPECT_TRUE(control(13)->isEnabled());

    // Dropped again, a listed page stays once; what is not a page is refused.
    ASSERT_TRUE(deposer({url(p2), url(ecrire("p_3.png", page(4, 4)))}));
    EXPECT_EQ(colonne(0), (QStringList{"p_1.png", "p_2.png", "p_3.png", "p_5.png", "p_9.png"}));
    EXPECT_FALSE(deposer({url(dossier / "lot/notes.txt"), QUrl("https://exemple.org/p_4.png")}));

    // During a run the column's buttons are disabled: nothing joins the list.
    control(4)->setEnabled(false);
    EXPECT_FALSE(deposer({url(ecrire("p_4.png", page(4, 4)))}));
    EXPECT_EQ(GLB_Fichiers_Images().size(), 5u);
}

// Column 0 never cuts its header: at creation, nor while a run's progress text grows.
TEST_F(ListeFichiers, ColumnZeroIsNeverNarrowerThanItsHeader) {
    EXPECT_GE(liste().columnWidth(0), liste().header()->sectionSizeHint(0));
    lister_pages(102);
    ajuster_colonne_0(*fenetre);
    ProgressionFenetre progression(*fenetre);
    progression.texte_entete(" 102 fichiers (Fichiers traités : 35/102)");
    traiter_evenements();
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 102 fichiers (Fichiers traités : 35/102)"));
    EXPECT_GE(liste().columnWidth(0), liste().header()->sectionSizeHint(0));
}

}  // namespace
}  // namespace vellumor::app::test
