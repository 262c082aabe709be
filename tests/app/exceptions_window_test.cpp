#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "ops/exceptions/page_exception.h"
#include "panel_fixture.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;
using vellumor::test::read_png_file;
using namespace vellumor::exceptions;

constexpr int kListe = 205, kPage = 207, kOffsetY = 209, kOffsetX = 211;
constexpr int kFermer = 200, kAjouter = 201, kSupprimer = 202, kCharger = 203, kSauvegarder = 204;

class FenetreExceptions : public PanneauTest {
  protected:
    void SetUp() override {
        PanneauTest::SetUp();
        GLB_Exceptions_Table().vider();
        GLB_Exceptions_Liste().clear();
        std::filesystem::create_directories(dossier / "Vellumor");
        qputenv("APPDATA", QByteArray::fromStdString(dossier.path().string()));
    }
    void TearDown() override {
        qunsetenv("APPDATA");
        GLB_Exceptions_Table().vider();
        GLB_Exceptions_Liste().clear();
        PanneauTest::TearDown();
    }
    static bool fenetre_ouverte() { return control(kPage) != nullptr; }
    static QTreeWidget* pages() { return control_as<QTreeWidget>(kListe); }
    static void saisir(int n, int v) { control_as<QSpinBox>(n)->setValue(v); }
    static void ajouter(int page, int y, int x) {
        saisir(kPage, page);
        saisir(kOffsetY, y);
        saisir(kOffsetX, x);
        control_as<QAbstractButton>(kAjouter)->click();
    }
    static std::vector<std::vector<int>> lignes() {
        std::vector<std::vector<int>> r;
        for (int i = 0; i < pages()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = pages()->topLevelItem(i);
            r.push_back({it->text(0).toInt(), it->text(1).toInt(), it->text(2).toInt()});
        }
        return r;
    }
    static int selection() {
        const auto choix = pages()->selectedItems();
        return choix.isEmpty() ? -1 : pages()->indexOfTopLevelItem(choix.first());
    }
    // Opens the panel on one listed page, then the window, and plays the steps inside it; the
    // last step closes the window and leaves the panel.
    void dans_la_fenetre(const std::function<void()>& etapes, const std::string& nom = "p1.png") {
        lister({ecrire(nom, page(30, 40))});
        dialogs.reponses_simples.push_front(kCodeNon);
        Scenario s;
        s.quand([] { return control(19) != nullptr; }, [&] { ouvrir_plus_tard(); })
            .quand([] { return fenetre_ouverte(); },
                   [&] {
                       etapes();
                       cliquer(kFermer);
                   })
            .quand([] { return !fenetre_ouverte() && control(19); },
                   [&] {
                       bouton_39 = control(39)->isEnabled();
                       cliquer(60);
                   });
        operation(9, s);
    }
    bool bouton_39 = false;
    // The window runs its own loop: it is opened from the event loop, not from inside a step.
    static void ouvrir_plus_tard() {
        QMetaObject::invokeMethod(control_as<QAbstractButton>(38), &QAbstractButton::click,
                                  Qt::QueuedConnection);
    }
};

TEST_F(FenetreExceptions, AddingKeepsOneRowPerPageSortedByPageAndEnables39) {
    dans_la_fenetre([] {
        EXPECT_EQ(pages()->headerItem()->text(0), QStringLiteral("Numéro de page"));
        EXPECT_FALSE(control(kSauvegarder)->isEnabled());
        EXPECT_EQ(control(kPage)->parentWidget()->windowTitle(),
                  QStringLiteral("Exception de page"));
        EXPECT_EQ(control(kPage)->parentWidget()->size(), QSize(640, 480));
        ajouter(30, 1, 2);
        ajouter(12, 3, 4);
        ajouter(4, 5, 6);
        ajouter(-2, 7, 8);
        ajouter(12, 9, 10);
        EXPECT_EQ(lignes(),
                  (std::vector<std::vector<int>>{{-2, 7, 8}, {4, 5, 6}, {12, 9, 10}, {30, 1, 2}}));
        EXPECT_EQ(pages()->headerItem()->text(0), QStringLiteral("Numéro de page    (4)"));
        EXPECT_TRUE(control(kSauvegarder)->isEnabled());
    });
    EXPECT_TRUE(bouton_39);
    ASSERT_EQ(GLB_Exceptions_Liste().size(), 4u);
    EXPECT_EQ(GLB_Exceptions_Liste()[2], (PageException{12, 10, 9}));
}

TEST_F(FenetreExceptions, RemovalSelectsTheNextRowTheNewLastOrNothing) {
    dans_la_fenetre([] {
        for (int p : {4, 12, 30, 50}) ajouter(p, 0, 0);
        saisir(kPage, 12);  // the middle: the row that took its place is selected
        control_as<QAbstractButton>(kSupprimer)->click();
        EXPECT_EQ(lignes().size(), 3u);
        EXPECT_EQ(selection(), 1);
        EXPECT_EQ(control_as<QSpinBox>(kPage)->value(), 30);
        saisir(kPage, 50);  // the last: the new last is selected
        control_as<QAbstractButton>(kSupprimer)->click();
        EXPECT_EQ(selection(), 1);
        EXPECT_EQ(control_as<QSpinBox>(kPage)->value(), 30);
        saisir(kPage, 77);  // not listed: nothing changes, nothing selected
        control_as<QAbstractButton>(kSupprimer)->click();
        EXPECT_EQ(lignes().size(), 2u);
        EXPECT_EQ(selection(), -1);
        for (int p : {4, 30}) {
            saisir(kPage, p);
            control_as<QAbstractButton>(kSupprimer)->click();
        }
        EXPECT_FALSE(control(kSauvegarder)->isEnabled());
    });
    EXPECT_FALSE(bouton_39);
}

TEST_F(FenetreExceptions, TypedValuesAreClampedAndTheUnitsFollowThePanel) {
    lister({ecrire("p1.png", page(30, 40))});
    dialogs.reponses_simples.push_front(kCodeNon);
    Scenario s;
    s.quand([] { return control(19) != nullptr; },
            [&] {
                control_as<QComboBox>(22)->setCurrentIndex(1);
                ouvrir_plus_tard();
            })
        .quand([] { return fenetre_ouverte(); },
               [&] {
                   const struct {
                       int champ;
                       const char* tape;
                       const char* reste;
                   } cas[] = {{kPage, "3000", "2000"},
                              {kPage, "-80", "-50"},
                              {kPage, "007", "7"},
                              {kOffsetY, "-2000", "-1000"},
                              {kOffsetX, "5000", "1000"}};
                   for (const auto& c : cas) {
                       control(c.champ)->findChild<QLineEdit*>()->setText(c.tape);
                       EXPECT_EQ(texte_controle(c.champ), QString::fromUtf8(c.reste)) << c.tape;
                   }
                   for (int n : {40, 41})
                       EXPECT_EQ(control_as<QLabel>(n)->text(), QStringLiteral("pixels"));
                   cliquer(kFermer);
               })
        .quand([] { return !fenetre_ouverte() && control(19); }, [&] { cliquer(60); });
    operation(9, s);
}

TEST_F(FenetreExceptions, ASavedFileLoadsBackWithItsUnitAndDecliningTheUnitLeavesTheRows) {
    const auto cup = dossier.path() / "Vellumor" / "pages.cup";
    dans_la_fenetre([&] {
        ajouter(12, 0, 5);
        ajouter(-2, 3, -4);
        dialogs.noms_enregistrement.push_back(q(dossier.path() / "ailleurs" / "pages.txt"));
        cliquer(kSauvegarder);
    });
    EXPECT_EQ(read_bytes(cup),
              "Page;Marge supérieure;Marge intérieure; Données en millimètres\r\n-2;3;-4\r\n"
              "12;0;5\r\n");
    const auto enregistre = dialogs.de_genre(Genre::Tache).back();
    EXPECT_EQ(enregistre.tache.instruction, QStringLiteral("Fichier enregistré"));
    const PageExceptionList sauvee = GLB_Exceptions_Liste();

    // The file is now in pixels; the panel's unit is millimetres: No keeps the rows, Yes loads.
    vellumor::test::write_bytes(
        cup, "Page;Marge supérieure;Marge intérieure; Données en pixels\r\n-2;3;-4\r\n12;0;5\r\n");
    dialogs.appels.clear();
    dans_la_fenetre([&] {
        dialogs.choix_fichiers.push_back({q(cup)});
        dialogs.reponses_simples.push_back(kCodeNon);
        cliquer(kCharger);
        EXPECT_EQ(lignes(), (std::vector<std::vector<int>>{{-2, 3, -4}, {12, 0, 5}}));
        EXPECT_TRUE(GLB_Exceptions_Table().empty());
        EXPECT_EQ(control_as<QLabel>(40)->text(), QStringLiteral("millimètres"));
        dialogs.choix_fichiers.push_back({q(cup)});
        dialogs.reponses_simples.push_back(kCodeOui);
        cliquer(kCharger);
        EXPECT_EQ(lignes(), (std::vector<std::vector<int>>{{-2, 3, -4}, {12, 0, 5}}));
        EXPECT_EQ(selection(), 0);
        for (int n : {40, 41}) EXPECT_EQ(control_as<QLabel>(n)->text(), QStringLiteral("pixels"));
        EXPECT_EQ(control_as<QComboBox>(22)->currentText(), QStringLiteral("pixels"));
    });
    const auto questions = dialogs.de_genre(Genre::Simple);
    ASSERT_GE(questions.size(), 2u);
    EXPECT_EQ(questions[questions.size() - 2].titre, QStringLiteral("Unités différentes!"));
    EXPECT_EQ(GLB_Exceptions_Liste(), sauvee);
}

TEST_F(FenetreExceptions, AnExistingFileKeptOnNoAndACancelledDialogSaveNothing) {
    const auto cup = dossier.path() / "Vellumor" / "pages.cup";
    vellumor::test::write_bytes(cup, "ancien");
    dans_la_fenetre([&] {
        ajouter(3, 1, 1);
        dialogs.noms_enregistrement = {QStringLiteral("pages"), QString()};
        dialogs.reponses_simples.push_back(kCodeNon);
        cliquer(kSauvegarder);  // the file exists: No
        cliquer(kSauvegarder);  // the dialog is cancelled
    });
    const auto questions = dialogs.de_genre(Genre::Simple);
    ASSERT_FALSE(questions.empty());
    EXPECT_EQ(questions.back().titre, QStringLiteral("Information"));
    EXPECT_EQ(questions.back().texte, QStringLiteral("Le fichier existe déjà\rL'écraser ?"));
    const auto taches = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(taches.size(), 1u);
    EXPECT_EQ(taches[0].tache.instruction, QStringLiteral("Aucun fichier enregistré"));
    EXPECT_EQ(taches[0].tache.titre, QStringLiteral("Enregistrer les pages d'exception"));
    EXPECT_EQ(read_bytes(cup), "ancien");
}

// Page 12 at binding offset 5 mm and top offset 0, both offsets in use, A4
// colour, a 4000 x 6000 page: the even page goes to x = rint(961 - 118.11) = 843, y = 0.
TEST_F(FenetreExceptions, TheNextRunPlacesAnExceptionPageAtItsOwnOffsets) {
    GLB_Preferences().Reconstituer_Img_params = 1 | 16 | 32;
    GLB_Preferences().Reconstituer_Img_Decalage = 10;
    GLB_Preferences().Reconstituer_Img_Decalage_Y = 20;
    GLB_Preferences().Image_Vierge_Format = 33;
    const auto f = ecrire("scan_012.png", page(4000, 6000, {{0, 0}}));
    lister({f});
    dialogs.reponses_simples.push_front(kCodeNon);
    Scenario s;
    s.quand([] { return control(19) != nullptr; }, [&] { ouvrir_plus_tard(); })
        .quand([] { return fenetre_ouverte(); },
               [&] {
                   ajouter(12, 0, 5);
                   cliquer(kFermer);
               })
        .quand([] { return !fenetre_ouverte() && control(19) && control(39)->isEnabled(); },
               [&] { cliquer(37); })
        .quand([&] { return infos().size() == 1 && control(3)->isVisible(); }, [&] { cliquer(3); });
    operation(9, s);
    const auto p = read_png_file(f);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->width, 4961);
    ASSERT_EQ(p->colour_type, PNG_COLOR_TYPE_RGB);
    const auto pixel = [&](int x, int y) {
        return std::vector<int>{p->at(x, y, 0), p->at(x, y, 1), p->at(x, y, 2)};
    };
    EXPECT_EQ(pixel(843, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(pixel(842, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixel(843, 1), (std::vector<int>{255, 255, 255}));
}

// A new account has no settings folder until the program first quits: the save creates it, and
// the box names the file's full path in its visible text. A negative offset shows its sign.
TEST_F(FenetreExceptions, SavingOnANewAccountCreatesTheFolderAndNamesThePath) {
    std::filesystem::remove_all(dossier / "Vellumor");
    const auto cup = dossier.path() / "Vellumor" / "pages.cup";
    dans_la_fenetre([&] {
        for (int n : {kOffsetY, kOffsetX}) {
            auto* s = control_as<QSpinBox>(n);
            s->setValue(-1000);
            EXPECT_GE(s->width(), s->sizeHint().width()) << n;
            const QLineEdit* e = s->findChild<QLineEdit*>();
            EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(QStringLiteral("-1000")));
        }
        ajouter(4, 1, 2);
        dialogs.noms_enregistrement.push_back(QStringLiteral("pages"));
        cliquer(kSauvegarder);
    });
    EXPECT_TRUE(std::filesystem::is_regular_file(cup));
    const auto fin = dialogs.de_genre(Genre::Tache).back().tache;
    EXPECT_EQ(fin.instruction, QStringLiteral("Fichier enregistré"));
    EXPECT_TRUE(fin.corps.contains(q(cup))) << fin.corps.toStdString();
}

}  // namespace
}  // namespace vellumor::app::test
