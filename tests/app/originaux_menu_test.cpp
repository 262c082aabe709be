#include "app/originaux_menu.h"

#include <png.h>

#include <QApplication>
#include <QKeyEvent>

#include "app/application.h"
#include "app/list_menu.h"
#include "app/windows/page_viewer.h"
#include "batch/originaux.h"
#include "event_waits.h"
#include "support/png_fixtures.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

// A white grey page, black at (x, y) when x >= 0.
vellumor::test::PngFile page(int x, int y) {
    auto png = vellumor::test::blank_png(40, 30, PNG_COLOR_TYPE_GRAY, 8);
    for (auto& s : png.samples) s = 255;
    if (x >= 0) png.at(x, y) = 0;
    return png;
}

class OriginauxFenetre : public FenetreTest {
  protected:
    // Lists n pages with a speck at (5, 5), then "cleans" them as a run that keeps them would.
    void lister_et_nettoyer(int n) {
        Originaux run(kOperationNettoyage);
        for (int i = 1; i <= n; ++i) {
            const auto f = dossier / ("page_" + std::to_string(i) + ".png");
            vellumor::test::write_png_file(f, page(5, 5));
            avant.push_back(vellumor::test::read_bytes(f));
            GLB_Fichiers_Images().push_back(entree_pour(f));
            ASSERT_TRUE(replace_file(
                f,
                [](OutputFile& out) {
                    return out.write(vellumor::test::encode_png(page(-1, 0)));
                },
                run.options(identity_of(f))));
            run.noter_resultat(f);
        }
        remplir_lignes(*fenetre);
    }
    const EntreeMenuListe& entree(const QString& texte) {
        for (const EntreeMenuListe& e : entrees_menu_liste())
            if (e.texte == texte) return e;
        throw std::runtime_error("no such entry");
    }
    std::vector<std::string> avant;
};

TEST_F(OriginauxFenetre, RestoreAsksNamingTheRunThenPutsThePagesBack) {
    EXPECT_FALSE(entree(kMenuRestaurer).disponible(*fenetre));
    lister_et_nettoyer(2);
    ASSERT_TRUE(entree(kMenuRestaurer).disponible(*fenetre));
    ASSERT_TRUE(entree(kMenuSupprimerOriginaux).disponible(*fenetre));

    dialogs.reponses_simples.push_back(kCodeNon);
    entree(kMenuRestaurer).action(*fenetre);
    auto boites = dialogs.de_genre(Genre::Simple);
    ASSERT_EQ(boites.size(), 1u);
    EXPECT_TRUE(
        boites[0].texte.startsWith(QStringLiteral("Remettre les pages telles qu'elles étaient "
                                                  "avant l'opération «\u00A0Nettoyage\u00A0» du ")))
        << boites[0].texte.toStdString();
    EXPECT_TRUE(boites[0].texte.contains(QStringLiteral("2 pages seront remplacées")));
    EXPECT_TRUE(boites[0].texte.endsWith(QString::fromUtf8(kTexteExecutionsGardees)));
    EXPECT_EQ(boites[0].style, kIconeQuestion | kBoutonsOuiNon);
    EXPECT_NE(vellumor::test::read_bytes(dossier / "page_1.png"), avant[0]);  // "Non" keeps them

    entree(kMenuRestaurer).action(*fenetre);  // "Oui"
    boites = dialogs.de_genre(Genre::Simple);
    ASSERT_EQ(boites.size(), 3u);
    EXPECT_EQ(boites[2].texte, QStringLiteral("2 pages remises en place."));
    EXPECT_EQ(vellumor::test::read_bytes(dossier / "page_1.png"), avant[0]);
    EXPECT_EQ(vellumor::test::read_bytes(dossier / "page_2.png"), avant[1]);
    EXPECT_FALSE(entree(kMenuRestaurer).disponible(*fenetre));
    EXPECT_EQ(liste().topLevelItemCount(), 2);  // the same rows, not a second copy
}

TEST_F(OriginauxFenetre, ADoubleClickOpensTheViewerWhichSwitchesBeforeAndAfter) {
    lister_et_nettoyer(1);
    liste().setCurrentItem(liste().topLevelItem(0));
    emit liste().itemDoubleClicked(liste().topLevelItem(0), 0);
    VisionneusePage* v = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* trouvee = dynamic_cast<VisionneusePage*>(w)) v = trouvee;
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(attendre_evenements([&] { return v->chargee(); }));
    EXPECT_EQ(v->windowTitle(), QStringLiteral("page_1.png"));
    EXPECT_TRUE(v->statut().startsWith(QStringLiteral("40 x 30 pixels, 8 bits par pixel")))
        << v->statut().toStdString();
    ASSERT_TRUE(v->a_original());

    QKeyEvent un(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QCoreApplication::sendEvent(v, &un);
    EXPECT_DOUBLE_EQ(v->echelle(), 1.0);
    EXPECT_EQ(qGray(v->image_affichee().pixel(5, 5)), 255);  // after: the speck is gone
    QKeyEvent espace(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(v, &espace);
    EXPECT_TRUE(v->montre_avant());
    EXPECT_EQ(qGray(v->image_affichee().pixel(5, 5)), 0);
    EXPECT_DOUBLE_EQ(v->echelle(), 1.0);  // same zoom
    EXPECT_TRUE(v->statut().contains(QStringLiteral("Avant")));
    v->close();
}

// A handler that lets an exception escape, as a journal parser once did.
class Lanceur : public QObject {
  public:
    bool event(QEvent*) override { throw std::invalid_argument("stoll"); }
};

TEST_F(OriginauxFenetre, AnExceptionEscapingAHandlerIsToldInABoxAndTheProgramGoesOn) {
    auto* application = dynamic_cast<Application*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    application->signaler_par(&dialogs);
    Lanceur lanceur;
    QEvent e(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&lanceur, &e));
    const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (dialogs.de_genre(Genre::Simple).empty() && std::chrono::steady_clock::now() < fin)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    application->signaler_par(nullptr);
    const auto boites = dialogs.de_genre(Genre::Simple);
    ASSERT_EQ(boites.size(), 1u);
    EXPECT_EQ(boites[0].texte, kTexteErreurInattendue.arg(QStringLiteral("stoll")));
}

}  // namespace
}  // namespace vellumor::app::test
