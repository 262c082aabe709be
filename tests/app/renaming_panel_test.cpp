#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "app/main_window_ids.h"
#include "app/panels/renaming_ids.h"
#include "ops/renaming/disk_rename.h"
#include "panel_fixture.h"
#include "settings/preferences.h"

namespace vellumor::app::test {
namespace {

using vellumor::test::read_bytes;

class FenetreRenommageTest : public PanneauTest {
  protected:
    // Pages of a few pixels under the given names, in sous_dossier when one is given.
    std::vector<std::filesystem::path> pages(const std::vector<std::string>& noms,
                                             const std::string& sous_dossier = {}) {
        if (!sous_dossier.empty()) std::filesystem::create_directories(dossier / sous_dossier);
        std::vector<std::filesystem::path> r;
        for (const auto& n : noms)
            r.push_back(ecrire(sous_dossier.empty() ? n : sous_dossier + "/" + n,
                               page(4 + int(r.size()), 3)));
        return r;
    }
    // Opens the window on the listed files (the list is kept) and plays s in it.
    void ouvrir(int bouton, Scenario& s) {
        dialogs.reponses_simples.push_back(kCodeNon);
        operation(bouton, s);
    }
    static QString texte(int n) { return texte_controle(n); }
    static QSpinBox& spin(int n) { return *control_as<QSpinBox>(n); }
    static QColor couleur_texte(int n) { return control(n)->palette().color(QPalette::WindowText); }
};

std::vector<std::string> page_001_a_012() {
    std::vector<std::string> r;
    for (int i = 1; i <= 12; ++i) r.push_back(QString::asprintf("page_%03d.png", i).toStdString());
    return r;
}

TEST_F(FenetreRenommageTest, ThePatternTheSequenceAndTheExampleFollowTheControls) {
    lister(pages(page_001_a_012()));
    Scenario s;
    s.quand(au_repos, [&] {
        EXPECT_EQ(fond_barre(), qcouleur(0x92DAF4));
        EXPECT_FALSE(control(3)->isVisible());
        for (int n : {kPrefixeOrigine, kPrefixeRenomme}) EXPECT_EQ(texte(n), "page_");
        for (int n : {kSuffixeOrigine, kSuffixeRenomme}) EXPECT_EQ(texte(n), ".png");
        EXPECT_TRUE(texte(kIndiceMiniOrigine).endsWith(" : 1"));
        EXPECT_TRUE(texte(kIndiceMaxiOrigine).endsWith(" : 12"));
        EXPECT_EQ(texte(kIndiceMaxi), " 12");
        EXPECT_EQ(spin(kNombreChiffres).value(), 2);
        EXPECT_EQ(texte(kExempleNom), "  page_01.png");
        cliquer(kIncrementDeux);
        EXPECT_EQ(texte(kIndiceMaxi), " 23");
        EXPECT_EQ(GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer, 1);
        cliquer(kIncrementUn);
        EXPECT_EQ(texte(kIndiceMaxi), " 12");
        spin(kNombreChiffres).setValue(4);
        EXPECT_EQ(texte(kExempleNom), "  page_0001.png");
        spin(kNombreChiffres).setValue(1);
        EXPECT_EQ(spin(kNombreChiffres).value(), 2);  // the last number has two digits
        control_as<QLineEdit>(kPrefixeRenomme)->setText("livre-");
        EXPECT_EQ(texte(kExempleNom), "  livre-01.png");
        spin(kIndiceMini).clear();
        EXPECT_EQ(texte(kIndiceMaxi), " aucun");
        EXPECT_EQ(couleur_texte(kIndiceMaxi), qcouleur(0x0000FF));
        EXPECT_EQ(texte(kExempleNom), "");
        EXPECT_FALSE(control(kRenommer)->isEnabled());
        cliquer(kAnnuler);
    });
    ouvrir(kRenommerFichiers, s);
    EXPECT_TRUE(control(3)->isVisible());
    EXPECT_TRUE(control(kRenommerFichiers)->isVisible() && control(kRenommerFichiers)->isEnabled());
    EXPECT_FALSE(control(kRenommer)->isVisible());
    EXPECT_EQ(control(kExempleNom), nullptr);
    EXPECT_EQ(fond_barre(), qcouleur(0xDEC1B9));
}

TEST_F(FenetreRenommageTest, ThePatternOfOtherNamesAndNegativeNumbers) {
    struct Cas {
        std::vector<std::string> noms;
        int premier;  // typed in 45, or 0 to keep the first file's number
        const char* prefixe;
        const char* exemple;
    };
    const Cas cas[] = {
        {{"0001.png", "0002.png"}, 0, "", "  1.png"},
        {{"scan-7.tif", "scan-8.tif", "scan-9.tif"}, -5, "scan", "  scan-5.tif"},
        {{"page_1.png", "page_2.png", "page_3.png"}, -5, "page_", "  page_-5.png"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.exemple);
        lister(pages(c.noms, c.exemple));
        Scenario s;
        s.quand(au_repos, [&] {
            EXPECT_EQ(texte(kPrefixeRenomme), c.prefixe);
            if (c.premier) spin(kIndiceMini).setValue(c.premier);
            EXPECT_EQ(texte(kExempleNom), c.exemple);
            cliquer(kAnnuler);
        });
        ouvrir(kRenommerFichiers, s);
    }
}

TEST_F(FenetreRenommageTest, TestModeOffersTheTestAlone) {
    lister(pages({"p_1.png", "p_2.png"}));
    Scenario s;
    s.quand(au_repos, [&] {
        for (int n : {kTexteIndiceMini, kIndiceMini, kCadreFichiersOrigine, kCadrePagesRenommees,
                      kTexteSuffixeOrigine, kSuffixeOrigine, kPrefixeRenomme, kSuffixeRenomme,
                      kTexteDossierSauvegarde, kIncrementUn, kIncrementDeux})
            EXPECT_FALSE(control(n)->isEnabled()) << n;
        for (int n : {kExempleNom, kRenommer}) EXPECT_FALSE(control(n)->isVisible()) << n;
        for (int n : {kTesterNumerotation, kAnnuler, kPrefixeOrigine, kPagesSourcesToutes})
            EXPECT_TRUE(control(n)->isVisible() && control(n)->isEnabled()) << n;
        EXPECT_FALSE(app::fenetre(kFenetreDossierSauvegarde)->isEnabled());
        cliquer(kAnnuler);
    });
    ouvrir(kTesterNumeros, s);
}

// The test runs at opening and on 62: its message, then the clipboard as the findings leave it.
TEST_F(FenetreRenommageTest, TheFileNumberTestReportsThroughItsBoxAndTheClipboard) {
    struct Cas {
        std::vector<std::string> noms;
        std::string absent;  // removed before the window opens
        QString presse_papiers;
        std::size_t messages;
    };
    const QString doublon = "Plusieurs fichiers ont le même numéro : 2";
    const Cas cas[] = {
        {{"a_1.png", "b_2.png", "c_2.png", "d_2.png", "e_3.png"},
         "",
         doublon + "\r\n" + doublon + "\r\n" + doublon,
         1},
        {{"a_1.png", "a_2.png", "a_4.png"}, "", "", 0},  // a gap is no fault
        {{"a_1.png", "a_2.png"}, "a_2.png", "", 1},
    };
    int numero = 0;
    for (const Cas& c : cas) {
        const std::string sous_dossier = "cas" + std::to_string(++numero);
        SCOPED_TRACE(sous_dossier);
        lister(pages(c.noms, sous_dossier));
        const auto absent = dossier / sous_dossier / c.absent;
        if (!c.absent.empty()) std::filesystem::remove(absent);
        dialogs.appels.clear();
        dialogs.presse_papiers = "avant";
        Scenario s;
        s.quand(au_repos, [&] {
            const QString attendu =
                c.absent.empty() ? c.presse_papiers : "Fichier manquant : \r\n" + q(absent);
            EXPECT_EQ(dialogs.presse_papiers, attendu);
            dialogs.presse_papiers = "avant";
            cliquer(kTesterNumerotation);
            EXPECT_EQ(dialogs.presse_papiers, attendu);
            cliquer(kAnnuler);
        });
        ouvrir(kTesterNumeros, s);
        EXPECT_EQ(dialogs.de_genre(Genre::Tache).size() + dialogs.de_genre(Genre::Simple).size(),
                  1 + 2 * c.messages);  // the list question, then the test twice
    }
}

TEST_F(FenetreRenommageTest, RenamingOnDiskIsOfferedAndCanBeUndone) {
    const auto fichiers = pages(page_001_a_012());
    std::vector<std::string> contenus;
    for (const auto& f : fichiers) contenus.push_back(read_bytes(f));
    lister(fichiers);

    Scenario refus;
    refus.quand(au_repos, [&] {
        dialogs.reponses_tache.push_back(Reponse::Non);
        cliquer(kRenommer);
        cliquer(kAnnuler);
    });
    ouvrir(kRenommerFichiers, refus);
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        EXPECT_EQ(read_bytes(fichiers[k]), contenus[k]);
    const auto question = dialogs.de_genre(Genre::Tache).back().tache;
    EXPECT_EQ(question.instruction, " Renommer les fichiers sur le disque");
    EXPECT_TRUE(question.corps.contains("Les 12 fichiers"));
    EXPECT_TRUE(question.corps.contains("page_003.png -> page_03.png"));
    EXPECT_FALSE(question.corps.contains("page_004.png"));

    dialogs.appels.clear();
    Scenario accord;
    accord.quand(au_repos, [&] {
        dialogs.reponses_tache.push_back(Reponse::Oui);
        dialogs.reponses_tache.push_back(Reponse::Oui);  // open the undo list's folder
        cliquer(kRenommer);
        EXPECT_EQ(liste().topLevelItem(11)->text(0), "page_12.png");
        cliquer(kAnnuler);
    });
    ouvrir(kRenommerFichiers, accord);
    ASSERT_EQ(dialogs.de_genre(Genre::Dossier).size(), 1u);
    EXPECT_EQ(dialogs.de_genre(Genre::Dossier)[0].texte, q(dossier.path()));
    for (std::size_t k = 0; k < fichiers.size(); ++k) {
        EXPECT_FALSE(std::filesystem::exists(fichiers[k]));
        EXPECT_EQ(
            read_bytes(dossier / QString::asprintf("page_%02d.png", int(k + 1)).toStdString()),
            contenus[k]);
    }
    EXPECT_EQ(GLB_Fichiers_Images().back().Numero, 12);

    // A second renaming keeps the first one's undo list and names its own in the question.
    const std::filesystem::path premiere_liste =
        dossier / std::string(vellumor::renaming::kNomListeAnnulation);
    const std::string premiere = read_bytes(premiere_liste);
    Scenario retour;
    retour.quand(au_repos, [&] {
        control_as<QLineEdit>(kPrefixeRenomme)->setText("page_");
        spin(kNombreChiffres).setValue(3);
        dialogs.reponses_tache.push_back(Reponse::Oui);
        dialogs.reponses_tache.push_back(Reponse::Non);
        cliquer(kRenommer);
        cliquer(kAnnuler);
    });
    ouvrir(kRenommerFichiers, retour);
    EXPECT_EQ(read_bytes(premiere_liste), premiere);
    const QString seconde = dialogs.de_genre(Genre::Tache).back().tache.corps;
    EXPECT_FALSE(seconde.endsWith(q(premiere_liste))) << seconde.toStdString();
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        EXPECT_EQ(read_bytes(fichiers[k]), contenus[k]);

    const auto annulation = vellumor::renaming::annuler_renommage(premiere_liste);
    ASSERT_TRUE(annulation.ok) << annulation.message;
    for (std::size_t k = 0; k < fichiers.size(); ++k)
        EXPECT_EQ(read_bytes(fichiers[k]), contenus[k]);
}

// The source pages and the step are separate choices in both modes: one of each stays selected
// whatever is clicked.
TEST_F(FenetreRenommageTest, SourceAndStepOptionsAreTwoGroups) {
    const auto fichiers = pages({"page_1.png", "page_2.png"});
    struct Cas {
        int bouton;
        std::int64_t pas_deux;
    };
    for (const Cas& c :
         {Cas{kRenommerFichiers, 0}, Cas{kRenommerFichiers, 1}, Cas{kTesterNumeros, 1}}) {
        lister(fichiers);
        GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer = c.pas_deux;
        const int pas = c.pas_deux ? kIncrementDeux : kIncrementUn;
        auto coche = [](int n) { return control_as<QAbstractButton>(n)->isChecked(); };
        Scenario s;
        s.quand(au_repos, [&] {
            EXPECT_TRUE(coche(kPagesSourcesToutes)) << c.bouton;
            EXPECT_TRUE(coche(pas)) << c.bouton;
            control_as<QAbstractButton>(kPagesSourcesPaires)->click();
            EXPECT_TRUE(coche(kPagesSourcesPaires) && coche(pas)) << c.bouton;
            EXPECT_FALSE(coche(kPagesSourcesToutes));
            if (c.bouton == kRenommerFichiers) {
                cliquer(kIncrementUn + kIncrementDeux - pas);
                EXPECT_TRUE(coche(kPagesSourcesPaires));
            }
            cliquer(kAnnuler);
        });
        ouvrir(c.bouton, s);
    }
}

// Leaving the window gives column 0 the width its names and header need, and what the list
// leaves beside column 1: no elided name, no horizontal scroll bar.
TEST_F(FenetreRenommageTest, LeavingGivesColumnZeroTheWidthItsNamesNeed) {
    std::vector<std::string> noms;
    for (int i = 1; i <= 40; ++i)
        noms.push_back(QString::asprintf("scan_livre_de_bord_%03d.png", i).toStdString());
    for (int bouton : {kRenommerFichiers, kTesterNumeros}) {
        lister(pages(noms));
        Scenario s;
        s.quand(au_repos, [&] { cliquer(kAnnuler); });
        ouvrir(bouton, s);
        EXPECT_GE(liste().columnWidth(0),
                  liste().fontMetrics().horizontalAdvance(QString::fromStdString(noms.back())) +
                      liste().iconSize().width())
            << bouton;
        EXPECT_GE(liste().columnWidth(0), liste().header()->sectionSizeHint(0)) << bouton;
        EXPECT_LE(liste().columnWidth(0) + liste().columnWidth(1), liste().viewport()->width());
    }
}

}  // namespace
}  // namespace vellumor::app::test
