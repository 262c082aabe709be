#pragma once

#include <png.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "support/png_fixtures.h"
#include "window_fixture.h"

namespace vellumor::app::test {

// Closing a session's window asks the application to quit, which keeps every event loop started
// afterwards from running until the application's own loop has run once: run it once.
inline void reprendre_boucles() {
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// Steps played while an operation's panel runs its own loop: each step waits for its condition,
// then acts, as a user would. A scenario still running after the time limit closes the window.
class Scenario {
  public:
    Scenario& quand(std::function<bool()> condition, std::function<void()> action) {
        etapes_.push_back({std::move(condition), std::move(action)});
        return *this;
    }
    // Plays the steps while fonction runs (a click that opens a panel returns when it is left).
    void pendant(QWidget& fenetre, const std::function<void()>& fonction) {
        QElapsedTimer chrono;
        chrono.start();
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] {
            if (chrono.elapsed() > 30000) {
                ADD_FAILURE() << "scenario left at step " << joues_;
                etapes_.clear();
                fenetre.close();
                return;
            }
            if (etapes_.empty() || !etapes_.front().first()) return;
            const auto action = std::move(etapes_.front().second);
            etapes_.pop_front();
            ++joues_;
            action();
        });
        minuterie.start(2);
        fonction();
    }
    bool fini() const { return etapes_.empty(); }

  private:
    std::deque<std::pair<std::function<bool()>, std::function<void()>>> etapes_;
    int joues_ = 0;
};

// A main window over a temporary folder of small pages.
class PanneauTest : public FenetreTest {
  protected:
    void SetUp() override {
        reprendre_boucles();
        FenetreTest::SetUp();
    }
    using Genre = DialogsScriptes::Appel::Genre;

    // A white 8-bit grey page with black pixels at the given points.
    static vellumor::test::PngFile page(int largeur, int hauteur,
                                        std::vector<std::pair<int, int>> noirs = {}) {
        vellumor::test::PngFile p =
            vellumor::test::blank_png(largeur, hauteur, PNG_COLOR_TYPE_GRAY, 8);
        for (auto& s : p.samples) s = 255;
        for (auto [x, y] : noirs) p.at(x, y) = 0;
        return p;
    }
    std::filesystem::path ecrire(const std::string& nom, const vellumor::test::PngFile& p) {
        const auto f = dossier / nom;
        vellumor::test::write_png_file(f, p);
        return f;
    }
    QString q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }
    // The files chosen in the next file dialog.
    void choisir(const std::vector<std::filesystem::path>& fichiers) {
        QStringList l;
        for (const auto& f : fichiers) l << q(f);
        dialogs.choix_fichiers.push_back(l);
    }
    // Lists the files as the user would select them from the main window.
    void lister(const std::vector<std::filesystem::path>& fichiers) {
        choisir(fichiers);
        effacer_liste(*fenetre);
        selectionner_images(*fenetre, QStringLiteral("Sélection"));
        activer_selon_liste(*fenetre);
        dialogs.appels.clear();  // the test looks at what the operations show
    }
    // A pixel of a grey or palette page read back is white, at whatever depth it was written.
    static bool blanc(const vellumor::test::PngFile& p, int x, int y) {
        if (p.colour_type == PNG_COLOR_TYPE_PALETTE) return p.palette.at(p.at(x, y)) == 0xFFFFFF;
        return p.at(x, y) == (1 << p.bit_depth) - 1;
    }
    static bool noir(const vellumor::test::PngFile& p, int x, int y) {
        if (p.colour_type == PNG_COLOR_TYPE_PALETTE) return p.palette.at(p.at(x, y)) == 0;
        return p.at(x, y) == 0;
    }
    void cliquer(int numero) { control_as<QAbstractButton>(numero)->click(); }
    // Clicks the main window's button and plays the scenario until the operation returns.
    void operation(int bouton, Scenario& s) {
        s.pendant(*fenetre, [&] { cliquer(bouton); });
        EXPECT_TRUE(s.fini());
    }
    std::vector<DialogsScriptes::Appel> infos() const {
        std::vector<DialogsScriptes::Appel> r;
        for (const auto& a : dialogs.de_genre(Genre::Tache))
            if (a.tache.instruction == QStringLiteral(" Info")) r.push_back(a);
        return r;
    }
    // The panel is idle: its run (if any) is over and "Annuler" can be clicked.
    static bool au_repos() {
        QWidget* annuler = control(60);
        return annuler && annuler->isVisible() && annuler->isEnabled();
    }
    std::vector<int> icones() {
        std::vector<int> r;
        for (int i = 0; i < liste().topLevelItemCount(); ++i) r.push_back(icone(i));
        return r;
    }
    QColor fond_barre() { return control(2)->palette().color(QPalette::Window); }
};

}  // namespace vellumor::app::test
