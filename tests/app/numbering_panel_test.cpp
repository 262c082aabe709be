#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <optional>

#include "app/events.h"
#include "app/main_window_ids.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/panels/numbering_ids.h"
#include "imagelist/list_file.h"
#include "panel_fixture.h"
#include "settings/preferences.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_png_file;

// The numbering window over pages of a temporary folder; the program's temporary folder is one of
// the test's own.
class FenetreNumerotation : public PanneauTest {
  protected:
    void SetUp() override {
        PanneauTest::SetUp();
        std::filesystem::create_directory(dossier / "tmp");
        for (const char* v : {"TMPDIR", "XDG_RUNTIME_DIR"}) {
            anciens_.emplace_back(v, qEnvironmentVariableIsSet(v)
                                         ? std::optional<QByteArray>(qgetenv(v))
                                         : std::nullopt);
            qputenv(v, QByteArray::fromStdString((dossier / "tmp").string()));
        }
    }
    void TearDown() override {
        for (const auto& [v, ancien] : anciens_) ancien ? qputenv(v, *ancien) : qunsetenv(v);
        PanneauTest::TearDown();
    }
    std::filesystem::path temporaire() { return chemin(Dossier_Temporaire()); }
    static bool ouverte() { return control(kAnnulerNumerotation) != nullptr; }
    static bool au_repos_numerotation() {
        QWidget* n = control(kNumeroterImages);
        return n && n->isEnabled();
    }
    static void outil(int barre) {
        qobject_cast<QToolBar*>(barre_outils(barre))->actions().front()->trigger();
    }
    static void debut(const char* texte) {
        control_as<QLineEdit>(kDebut)->setText(QString::fromUtf8(texte));
    }
    static QString fin() { return texte_controle(kFin); }
    static QSpinBox* champ(int n) { return control_as<QSpinBox>(n); }
    static QColor couleur(int n) {
        return champ(n)->findChild<QLineEdit*>()->palette().color(QPalette::Text);
    }
    std::vector<DialogueTache> taches() const {
        std::vector<DialogueTache> r;
        for (const auto& a : dialogs.de_genre(Genre::Tache)) r.push_back(a.tache);
        return r;
    }
    // Opens the window, plays the steps, and leaves it with "Annuler".
    void dans_la_fenetre(const std::function<void(Scenario&)>& etapes) {
        Scenario s;
        etapes(s);
        s.quand([] { return ouverte() && au_repos_numerotation(); },
                [] { control_as<QAbstractButton>(kAnnulerNumerotation)->click(); });
        operation(kNumeroterPages, s);
    }
    std::vector<std::pair<const char*, std::optional<QByteArray>>> anciens_;
};

TEST_F(FenetreNumerotation, OpensBelowALoweredListAndRefusesAnEmptyList) {
    const QRect liste_avant = control(kListeFichiers)->geometry();
    const QRect statut = control(kStatutDossier)->geometry();
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            EXPECT_EQ(fond_barre(), qcouleur(0xF6AED8));
            EXPECT_FALSE(control(kQuitter)->isVisible());
            for (int n = kPremierBoutonColonne; n <= kDernierBoutonColonne; ++n)
                EXPECT_FALSE(control(n)->isVisible()) << n;
            const QRect annuler = control(kAnnulerNumerotation)->geometry();
            EXPECT_EQ(annuler, control(kAnnuler)->geometry());
            const QRect numeroter = control(kNumeroterImages)->geometry();
            EXPECT_EQ(numeroter.right() + 1 + 20, annuler.x());
            EXPECT_EQ(numeroter.height(), 40);
            EXPECT_EQ(control(kOuvrirDossierTemporaire)->x(), 10);
            EXPECT_EQ(control(kStatutDossier)->geometry(),
                      QRect(30, statut.y(), 1020, statut.height()));
            EXPECT_EQ(control(kListeFichiers)->geometry(),
                      QRect(30, statut.bottom() + 1, 1020, liste_avant.height() / 2 - 40));
            const int B = control(kListeFichiers)->geometry().bottom() + 1;
            EXPECT_EQ(control(kCadrePosition)->pos(), QPoint(30, B + 15));
            EXPECT_EQ(control(kBasADroite)->pos(), QPoint(65, B + 60));
            EXPECT_EQ(control(kHautAuCentre)->y(), B + 150);
            EXPECT_EQ(control(kCadreDebutFin)->x(),
                      control(kCadrePosition)->geometry().right() + 31);
            EXPECT_EQ(control(kTexteChargerImages)->x(), 550);
            EXPECT_EQ(app::fenetre(kFenetreChargerImages)->size(), QSize(40, 40));
            EXPECT_LE(app::fenetre(kFenetreChargerImages)->geometry().bottom(),
                      control(kCorps)->height());
            EXPECT_LE(control(kCadreParametres)->geometry().right(), 1080);
            EXPECT_EQ(fin(), QStringLiteral("0"));
            EXPECT_EQ(liste().columnCount(), 2);
            EXPECT_TRUE(control_as<QRadioButton>(kBasADroite)->isChecked());
            EXPECT_TRUE(control_as<QRadioButton>(kModeleRectangleBlanc)->isChecked());
            for (const auto& [n, image, taille] :
                 {std::tuple{kEchantillonDisque, kImageDisque, QSize(50, 45)},
                  std::tuple{kEchantillonAnneau, kImageAnneauGrisee, QSize(50, 45)},
                  std::tuple{kEchantillonRectangleNoir, kImageRectangleNoir, QSize(50, 34)},
                  std::tuple{kEchantillonRectangleBlanc, kImageRectangleBlancGrisee,
                             QSize(50, 34)}}) {
                EXPECT_EQ(control(n)->size(), taille) << n;
                EXPECT_EQ(ressources.image(image)->format(), QImage::Format_Grayscale8) << image;
                EXPECT_EQ(ressources.image(image)->size(), taille) << image;
            }
            // The defaults are each parameter's lowest value: red.
            EXPECT_EQ(champ(kOffsetX)->value(), 50);
            EXPECT_EQ(champ(kOffsetReliureNumero)->value(), 30);
            EXPECT_EQ(couleur(kEpaisseurCadre), QColor(255, 0, 0));
            cliquer(kNumeroterImages);
            ASSERT_EQ(taches().size(), 1u);
            EXPECT_EQ(taches()[0].instruction,
                      QStringLiteral(" La liste ne contient aucun fichier image"));
            EXPECT_EQ(taches()[0].icone, Bouclier::Rouge);
            EXPECT_TRUE(control(kNumeroterImages)->isEnabled());
            cliquer(kOuvrirDossierTemporaire);
            ASSERT_EQ(dialogs.de_genre(Genre::Dossier).size(), 1u);
            EXPECT_EQ(dialogs.de_genre(Genre::Dossier)[0].texte, Dossier_Temporaire());
        });
    });
    EXPECT_EQ(control(kAnnulerNumerotation), nullptr);
    EXPECT_EQ(control(kCadreParametres), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app::fenetre(kFenetreChargerListe), nullptr);
    EXPECT_EQ(control(kListeFichiers)->geometry(), liste_avant);
    EXPECT_TRUE(control(kQuitter)->isVisible());
    EXPECT_EQ(fond_barre(), qcouleur(kFondBarreBasAccueil));
}

TEST_F(FenetreNumerotation, EndNumberIsStartPlusRowsMinusOne) {
    struct Cas {
        int lignes;
        const char* debut;
        const char* fin;
    };
    for (const Cas& c : {Cas{12, "7", "18"}, Cas{12, "", "0"}, Cas{10, "5", "14"},
                         Cas{10, "-20", "0"}, Cas{0, "5", "0"}, Cas{1, "0", "0"}}) {
        GLB_Fichiers_Images().clear();
        liste().clear();
        lister_pages(c.lignes);
        dans_la_fenetre([&](Scenario& s) {
            s.quand(ouverte, [&] {
                debut("3");
                debut(c.debut);
                EXPECT_EQ(fin(), QString::fromUtf8(c.fin)) << c.lignes << " " << c.debut;
            });
        });
    }
}

TEST_F(FenetreNumerotation, ParametersAreKeptAtOnceRedAtTheirBoundsAndRepaintedAfterAnArrow) {
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            champ(kOffsetX)->setValue(600);
            EXPECT_EQ(couleur(kOffsetX), QColor(255, 0, 0));
            EXPECT_EQ(GLB_Preferences().Offset_X__Impression_numero, 600);
            champ(kOffsetX)->stepBy(-1);
            EXPECT_EQ(couleur(kOffsetX), QColor(0, 0, 0));
            EXPECT_EQ(GLB_Preferences().Offset_X__Impression_numero, 599);
            EXPECT_FALSE(champ(kOffsetX)->updatesEnabled());
            EXPECT_TRUE(liste().hasFocus() || !fenetre->isActiveWindow());
        });
        s.quand([] { return champ(kOffsetX)->updatesEnabled(); },
                [&] { champ(kOffsetReliureNumero)->setValue(31); });
    });
    EXPECT_EQ(GLB_Preferences().Binding_Offset, 31);
}

// Tool bar 1: the selection on an empty list; No keeps the list and only resets its icons.
TEST_F(FenetreNumerotation, DirectSelectionAsksBeforeReplacingTheList) {
    const auto p1 = ecrire("p_1.png", page(20, 20));
    const auto p2 = ecrire("p_2.png", page(20, 20));
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            outil(kBarreChargerImages);  // cancelled
            EXPECT_EQ(dialogs.de_genre(Genre::Ouvrir).back().titre,
                      QStringLiteral("Sélectionner les fichiers pour la numérotation"));
            EXPECT_FALSE(control(kQuitter)->isVisible());
            EXPECT_TRUE(control(kAnnulerNumerotation)->isVisible());
            EXPECT_FALSE(control(kNumeroterImages)->isVisible());
            EXPECT_EQ(fond_barre(), qcouleur(kFondBarreBasAccueil));
            EXPECT_TRUE(control(kTesterNumeros)->isEnabled());
            EXPECT_FALSE(control(kEffacerListe)->isEnabled());
            choisir({p2, p1});
            outil(kBarreChargerImages);
            EXPECT_EQ(ligne(0), QStringLiteral("p_1.png"));
            EXPECT_TRUE(control(kAnnulerNumerotation)->isVisible());
            EXPECT_FALSE(control(kQuitter)->isVisible());
            debut("4");
            EXPECT_EQ(fin(), QStringLiteral("5"));
            definir_icone_ligne(*fenetre, 1, kIconeFait);
            dialogs.reponses_simples.push_back(kCodeNon);
            outil(kBarreChargerImages);
            const auto question = dialogs.de_genre(Genre::Simple).back();
            EXPECT_EQ(question.titre, QStringLiteral("Liste des fichiers"));
            EXPECT_EQ(
                question.texte,
                QStringLiteral("Effacer la liste des fichiers et\r\ncharger une nouvelle liste ?"));
            EXPECT_EQ(icones(), (std::vector<int>{kIconeAttente, kIconeAttente}));
            EXPECT_EQ(liste().topLevelItemCount(), 2);
            dialogs.reponses_simples.push_back(kCodeOui);
            outil(kBarreChargerImages);  // cancelled after Yes: the list is empty
            EXPECT_EQ(dialogs.de_genre(Genre::Ouvrir).back().titre,
                      QStringLiteral("Sélectionner les fichiers pour la numérotation "));
            EXPECT_EQ(fin(), QStringLiteral("0"));
        });
        s.quand([] { return true; },
                [&] {
                    choisir({p1});
                    outil(kBarreChargerImages);
                });
    });
}

// Tool bar 0 loads a list saved by "Enregistrer  la  liste", in the file's order.
TEST_F(FenetreNumerotation, ASavedListLoadsBackThroughToolBarZero) {
    const std::filesystem::path fichier = dossier / "pages.txt";
    const std::vector<std::filesystem::path> pages = {dossier / "b_9.png", dossier / "a_2.png"};
    enregistrer_fichier_liste(fichier.string(), pages);
    GLB_Preferences().Last_Numbering_Image_List_File = (dossier / "ancienne.txt").string();
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            outil(kBarreChargerListe);  // cancelled
            EXPECT_EQ(taches().back().instruction,
                      QStringLiteral(" Aucun fichier Liste sélectionné"));
            choisir({fichier});
            outil(kBarreChargerListe);
            const auto ouvert = dialogs.de_genre(Genre::Ouvrir).back();
            EXPECT_EQ(ouvert.titre, QStringLiteral("Fichier Liste des images à numéroter"));
            EXPECT_EQ(ouvert.filtre, QStringLiteral("Fichier Liste|*.txt"));
            EXPECT_EQ(ouvert.texte, q(dossier.path()));
            EXPECT_FALSE(ouvert.multiple);
            ASSERT_EQ(liste().topLevelItemCount(), 2);
            EXPECT_EQ(ligne(0), QStringLiteral("b_9.png"));
            EXPECT_EQ(titre_colonne(), QStringLiteral(" 2 fichiers"));
            EXPECT_EQ(GLB_Fichiers_Images()[1].Numero, 2);
            EXPECT_EQ(GLB_Preferences().Last_Numbering_Image_List_File, fichier.string());
            EXPECT_EQ(liste().columnCount(), 3);
        });
    });
}

// Début 0 with one image is refused; with two images the pages are numbered 0 and 1, their new
// names in the third column, and the run ends with one message and no work file left.
TEST_F(FenetreNumerotation, NumbersThePagesIntoTheTemporaryFolder) {
    const auto p1 = ecrire("p_1.png", page(400, 500));
    const auto p2 = ecrire("p_2.png", page(400, 500));
    lister({p1});
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            debut("0");
            cliquer(kNumeroterImages);
            EXPECT_EQ(taches().back().instruction,
                      QStringLiteral(" La numérotation des images est incorrecte 123"));
            dialogs.reponses_simples.push_back(kCodeOui);
            choisir({p2, p1});
            outil(kBarreChargerImages);
            cliquer(kNumeroterImages);
            for (int n : {kAnnulerNumerotation, kNumeroterImages, kOffsetX, kDebut, kBasADroite,
                          kModeleDisque})
                EXPECT_FALSE(control(n)->isEnabled()) << n;
            EXPECT_TRUE(control(kOuvrirDossierTemporaire)->isEnabled());
            EXPECT_EQ(valeur_affichage(kTexteChargerListe), 2);
            EXPECT_EQ(control_as<QLabel>(kEchantillonDisque)->pixmap().toImage(),
                      ressources.image(kImageDisqueGrisee)
                          ->convertToFormat(
                              control_as<QLabel>(kEchantillonDisque)->pixmap().toImage().format()));
        });
        s.quand([&] { return au_repos_numerotation(); },
                [&] {
                    EXPECT_EQ(liste().headerItem()->text(2),
                              QStringLiteral("Nouveau nom de fichier"));
                    EXPECT_EQ(liste().topLevelItem(0)->text(2), QStringLiteral("Img__0.png"));
                    EXPECT_EQ(liste().topLevelItem(1)->text(2), QStringLiteral("Img__1.png"));
                    EXPECT_EQ(icones(), (std::vector<int>{kIconeFait, kIconeFait}));
                    EXPECT_EQ(valeur_affichage(kTexteChargerListe), 1);
                });
    });
    fenetre->poster(kVerifierFinNumerotation);  // the run has gone: nothing more to end
    traiter_evenements();
    const auto fins = infos();
    ASSERT_EQ(fins.size(), 1u);
    EXPECT_EQ(fins[0].tache.corps, QStringLiteral("Les opérations de numérotation sont terminées"));
    std::vector<std::string> fichiers;
    for (const auto& e : std::filesystem::directory_iterator(temporaire()))
        fichiers.push_back(e.path().filename().string());
    std::sort(fichiers.begin(), fichiers.end());
    EXPECT_EQ(fichiers, (std::vector<std::string>{"Img__0.png", "Img__1.png"}));
    EXPECT_EQ(liste().columnCount(), 2);
    EXPECT_EQ(liste().headerItem()->text(1), QStringLiteral("Bits par pixel - nombre de couleurs"));

    // p_1 (odd) carries 0 at the right, X from the edge; p_2 (even) carries 1 at the left, X plus
    // the binding offset from the edge. The row crosses the stamps' bottom frame.
    const int y = 500 - 50 - 3;
    const auto noirs = [&](const std::string& nom, int de, int a) {
        const auto p = read_png_file(temporaire() / nom);
        int n = 0;
        for (int x = de; x < a; ++x) n += p && noir(*p, x, y);
        return n;
    };
    EXPECT_EQ(noirs("Img__0.png", 0, 200), 0);
    EXPECT_GT(noirs("Img__0.png", 200, 350), 40);
    EXPECT_EQ(noirs("Img__0.png", 350, 400), 0);
    EXPECT_EQ(noirs("Img__1.png", 0, 80), 0);
    EXPECT_GT(noirs("Img__1.png", 80, 200), 40);
    EXPECT_EQ(noirs("Img__1.png", 200, 400), 0);
}

// The stamps are built while window 1 goes on handling its events; the list header shows how far.
TEST_F(FenetreNumerotation, TheWindowStaysResponsiveWhileTheStampsAreBuilt) {
    std::vector<std::filesystem::path> pages;
    for (int i = 1; i <= 100; ++i)
        pages.push_back(ecrire("p_" + std::to_string(i) + ".png", page(8, 8)));
    lister(pages);
    std::vector<QString> vus;
    dans_la_fenetre([&](Scenario& s) {
        s.quand(ouverte, [&] {
            debut("1");
            cliquer(kNumeroterImages);
        });
        s.quand(
            [&] {
                if (titre_colonne().contains(QStringLiteral("Préparation")))
                    vus.push_back(titre_colonne());
                return au_repos_numerotation();
            },
            [] {});
    });
    ASSERT_FALSE(vus.empty());
    EXPECT_TRUE(vus.front().startsWith(QStringLiteral(" 100 fichiers (Préparation des numéros : ")))
        << vus.front().toStdString();
    EXPECT_EQ(infos().size(), 1u);
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 100 fichiers (Fichiers traités : 100/100)"));
}

// Closing window 1 while the stamps are built stops the build; the shutdown waits for it, and the
// run's work folder goes with the run: nothing is left in the temporary folder.
TEST_F(FenetreNumerotation, ClosingWindowOneWhileTheStampsAreBuiltLeavesNothingBehind) {
    std::vector<std::filesystem::path> pages;
    for (int i = 1; i <= 60; ++i)
        pages.push_back(ecrire("p_" + std::to_string(i) + ".png", page(8, 8)));
    lister(pages);
    Scenario s;
    s.quand(ouverte, [&] {
        debut("1");
        cliquer(kNumeroterImages);
        fenetre->close();
    });
    operation(kNumeroterPages, s);
    EXPECT_FALSE(ouverte());
    fenetre->attendre_les_travaux();
    std::vector<std::string> restes;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dossier / "tmp"))
        if (!e.is_directory()) restes.push_back(e.path().string());
    EXPECT_TRUE(restes.empty()) << restes.front();
    // No completion box: only the shutdown's count of the pages done.
    ASSERT_EQ(infos().size(), 1u);
    EXPECT_TRUE(infos()[0].tache.corps.contains(QStringLiteral("sur 60 ont été traitées")));
}

// A cancelled selection leaves "Annuler" to leave the window by, never a "Quitter" that ends the
// program; a folder that no file explorer opens is named in a message and put on the clipboard.
TEST_F(FenetreNumerotation, ACancelledSelectionKeepsAnnulerAndAnUnopenedFolderIsNamed) {
    dialogs.dossier_ouvert = false;
    Scenario s;
    s.quand(ouverte, [&] {
        outil(kBarreChargerImages);  // cancelled
        EXPECT_FALSE(control(kQuitter)->isVisible());
        cliquer(kOuvrirDossierTemporaire);
        const DialogueTache t = taches().back();
        EXPECT_EQ(t.instruction, QStringLiteral(" Le dossier temporaire n'a pas pu être ouvert"));
        EXPECT_TRUE(t.corps.contains(Dossier_Temporaire())) << t.corps.toStdString();
        EXPECT_EQ(dialogs.presse_papiers, Dossier_Temporaire());
        cliquer(kAnnulerNumerotation);
    });
    operation(kNumeroterPages, s);
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_FALSE(fenetre->fermeture_demandee());
    EXPECT_TRUE(control(kQuitter)->isVisible());
}

}  // namespace
}  // namespace vellumor::app::test
