#include "app/windows/page_viewer.h"

#include <png.h>

#include <QKeyEvent>

#include "event_waits.h"
#include "support/png_fixtures.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using VisionneuseFenetre = FenetreTest;

// The viewer opens over the main window, not in a corner of the screen; a page larger than the
// view at its zoom has scroll bars, which go again when the page is fitted.
TEST_F(VisionneuseFenetre, OpensOverTheMainWindowWithScrollBarsWhenZoomed) {
    const auto page = dossier / "grande.png";
    vellumor::test::write_png_file(page,
                                   vellumor::test::blank_png(2000, 3000, PNG_COLOR_TYPE_GRAY, 8));
    VisionneusePage* v = ouvrir_visionneuse(page, fenetre.get());
    ASSERT_TRUE(attendre_evenements([&] { return v->chargee(); }));
    const QPoint ecart = v->geometry().center() - fenetre->geometry().center();
    EXPECT_LE(ecart.manhattanLength(), 4);  // whole pixels each way
    const struct {
        Qt::Key touche;
        bool barres;
    } cas[] = {{Qt::Key_1, true}, {Qt::Key_0, false}};
    for (const auto& c : cas) {
        QKeyEvent e(QEvent::KeyPress, c.touche, Qt::NoModifier);
        QCoreApplication::sendEvent(v, &e);
        for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical})
            EXPECT_EQ(v->barre(o).isVisible(), c.barres) << c.touche;
    }
    v->close();
}

}  // namespace
}  // namespace vellumor::app::test
