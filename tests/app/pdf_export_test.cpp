#include <png.h>

#include <QKeyEvent>
#include <algorithm>

#include "app/controls.h"
#include "app/list_menu.h"
#include "batch/lot_fichiers.h"
#include "event_waits.h"
#include "ops/pdf/pdf_constants.h"
#include "support/pdf_tools.h"
#include "support/png_fixtures.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

class ExportPdfFenetre : public FenetreTest {
  protected:
    // Lists pages of the test folder, page_N being N * 100 pixels wide, in the order given.
    void lister(const std::vector<int>& numeros) {
        for (int n : numeros) {
            const auto f = dossier / ("page_" + std::to_string(n) + ".png");
            vellumor::test::write_png_file(
                f, vellumor::test::blank_png(n * 100, 80, PNG_COLOR_TYPE_GRAY, 8));
            GLB_Fichiers_Images().push_back(entree_pour(f));
        }
        remplir_lignes(*fenetre);
    }
    const EntreeMenuListe& entree() { return entrees_menu_liste().front(); }
    std::vector<int> icones_lignes() {
        std::vector<int> r;
        for (int i = 0; i < liste().topLevelItemCount(); ++i) r.push_back(icone(i));
        return r;
    }
    // Chooses the entry as a user would and waits for the message that ends the export.
    void exporter(const QString& nom) {
        dialogs.noms_enregistrement.push_back(nom);
        ASSERT_TRUE(entree().disponible(*fenetre));
        entree().action(*fenetre);
        attendre_evenements([&] { return !dialogs.de_genre(Genre::Tache).empty(); });
        traiter_evenements();
    }
};

TEST_F(ExportPdfFenetre, TheMenuEntryWritesTheListInItsOrderOffTheMainThread) {
    EXPECT_EQ(liste().contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(entree().texte, QStringLiteral("Exporter en PDF pour l'impression…"));
    EXPECT_FALSE(entree().disponible(*fenetre));  // nothing listed
    lister({3, 1, 2});
    exporter(QString::fromStdString((dossier / "livre").string()));

    const auto enregistrer = dialogs.de_genre(Genre::Enregistrer);
    ASSERT_EQ(enregistrer.size(), 1u);
    EXPECT_EQ(enregistrer[0].filtre, QStringLiteral("Document PDF|*.pdf"));
    EXPECT_EQ(enregistrer[0].texte, QString::fromStdString(dossier.path().string()));
    const auto pdf = dossier / "livre.pdf";
    const std::vector<std::pair<double, double>> tailles = {{36, 9.6}, {12, 9.6}, {24, 9.6}};
    EXPECT_EQ(vellumor::test::tailles_pages_pdf(pdf), tailles);  // 600 dpi
    const auto fin = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_EQ(fin[0].tache.instruction, QStringLiteral(" Info"));
    EXPECT_EQ(fin[0].tache.corps, QStringLiteral("Le document PDF de 3 pages a été écrit :\r") +
                                      QString::fromStdString(pdf.string()));
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 3 fichiers (Fichiers traités : 3/3)"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(icone(i), kIconeFait);
    EXPECT_TRUE(entree().disponible(*fenetre));  // the buttons are back
}

TEST_F(ExportPdfFenetre, AFailedExportSaysWhyAndLeavesNoPdf) {
    lister({1, 2});
    std::filesystem::remove(dossier / "page_2.png");
    exporter(QString::fromStdString((dossier / "livre.pdf").string()));
    const auto fin = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_EQ(fin[0].tache.instruction, QStringLiteral("Le document PDF n'a pas été écrit."));
    EXPECT_EQ(fin[0].tache.titre, QStringLiteral(" Export PDF"));
    EXPECT_TRUE(fin[0].tache.corps.contains(QStringLiteral("page_2.png » ne peut pas être lue")))
        << fin[0].tache.corps.toStdString();
    EXPECT_EQ(icone(1), kIconeEchec);
    EXPECT_FALSE(std::filesystem::exists(dossier / "livre.pdf"));
}

TEST_F(ExportPdfFenetre, ACancelledSaveDialogWritesNothing) {
    lister({1});
    entree().action(*fenetre);
    traiter_evenements();
    EXPECT_EQ(dialogs.de_genre(Genre::Enregistrer).size(), 1u);
    EXPECT_TRUE(dialogs.de_genre(Genre::Tache).empty());
    EXPECT_EQ(vellumor::test::folder_contents(dossier.path()).size(), 1u);
}

// Closing window 1 stops the export before its next page: no PDF, or a whole one, never a part;
// no message once the window is closed.
TEST_F(ExportPdfFenetre, ClosingTheWindowDuringAnExportLeavesNoPartialPdf) {
    std::vector<int> numeros;
    for (int n = 1; n <= 60; ++n) numeros.push_back(n);
    lister(numeros);
    dialogs.noms_enregistrement.push_back(QString::fromStdString((dossier / "livre.pdf").string()));
    entree().action(*fenetre);
    fenetre->close();
    fenetre->attendre_les_travaux();
    traiter_evenements();
    // The close asked first and the shutdown counted the pages; the export itself says nothing.
    const auto taches = dialogs.de_genre(Genre::Tache);
    ASSERT_EQ(taches.size(), 2u);
    EXPECT_EQ(taches[0].tache.instruction, QStringLiteral(" Un traitement est en cours… "));
    EXPECT_TRUE(taches[1].tache.corps.contains(QStringLiteral("sur 60 ont été traitées")));
    const auto contenu = vellumor::test::folder_contents(dossier.path());
    EXPECT_GE(contenu.size(), 60u);
    EXPECT_LE(contenu.size(), 61u);  // the pages, and the PDF when it was done first
    if (contenu.size() == 61u) {
        EXPECT_EQ(vellumor::test::tailles_pages_pdf(dossier / "livre.pdf").size(), 60u);
    }
}

// "Retirer de la liste" and the Delete key take the selected rows out; the files stay.
TEST_F(ExportPdfFenetre, SelectedRowsAreTakenOutOfTheListByTheMenuOrTheDeleteKey) {
    lister({3, 1, 2, 4});
    const auto retirer =
        std::find_if(entrees_menu_liste().begin(), entrees_menu_liste().end(),
                     [](const auto& e) { return e.texte == "Retirer de la liste"; });
    ASSERT_NE(retirer, entrees_menu_liste().end());
    EXPECT_FALSE(retirer->disponible(*fenetre));  // nothing selected
    const struct {
        std::vector<int> choisies;
        bool touche;
        std::vector<std::string> restent;
    } cas[] = {{{0, 2}, false, {"page_1.png", "page_4.png"}},
               {{1}, true, {"page_1.png"}},
               {{0}, true, {}}};
    for (const auto& c : cas) {
        for (int i : c.choisies) liste().topLevelItem(i)->setSelected(true);
        if (c.touche) {
            QKeyEvent suppr(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
            QCoreApplication::sendEvent(&liste(), &suppr);
        } else {
            ASSERT_TRUE(retirer->disponible(*fenetre));
            retirer->action(*fenetre);
        }
        std::vector<std::string> restent;
        for (const auto& e : GLB_Fichiers_Images())
            restent.push_back(e.Fichier.filename().string());
        EXPECT_EQ(restent, c.restent);
        ASSERT_EQ(liste().topLevelItemCount(), int(c.restent.size()));
        for (std::size_t i = 0; i < c.restent.size(); ++i)
            EXPECT_EQ(ligne(int(i)).toStdString(), c.restent[i]);
    }
    EXPECT_EQ(titre_colonne(), QStringLiteral("Nombre de fichiers : "));
    EXPECT_FALSE(control(13)->isEnabled());
    EXPECT_EQ(vellumor::test::folder_contents(dossier.path()).size(), 4u);
}

// A failed export puts back the marks and the header the last run left; the bad page keeps its
// cross. A written one says how many pages went where.
TEST_F(ExportPdfFenetre, AFailedExportKeepsThePreviousMarks) {
    lister({1, 2, 3});
    definir_icone_ligne(*fenetre, 0, kIconeFait);
    liste().headerItem()->setText(0, QStringLiteral(" 3 fichiers (Fichiers traités : 3/3)"));
    vellumor::test::write_bytes(dossier / "page_2.png", "tronqué");
    exporter(QString::fromStdString((dossier / "livre.pdf").string()));
    EXPECT_EQ(icones_lignes(), (std::vector<int>{kIconeFait, kIconeEchec, kIconeNeutre}));
    EXPECT_EQ(titre_colonne(), QStringLiteral(" 3 fichiers (Fichiers traités : 3/3)"));
}

}  // namespace
}  // namespace vellumor::app::test
