#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "window_fixture.h"

namespace vellumor::app::test {
namespace {

using Genre = DialogsScriptes::Appel::Genre;

class ListSaving : public FenetreTest {
  protected:
    QString chemin(const std::string& nom) {
        return QString::fromStdString((dossier / nom).string());
    }
    void lister(const QStringList& fichiers) {
        dialogs.choix_fichiers.push_back(fichiers);
        selectionner_images(*fenetre, QStringLiteral("t"));
        activer_selon_liste(*fenetre);
        dialogs.appels.clear();
    }
    void enregistrer_sous(const QString& nom) {
        dialogs.noms_enregistrement.push_back(nom);
        control_as<QPushButton>(12)->click();
    }
    // The boxes shown after the question.
    std::vector<DialogsScriptes::Appel> fin() {
        auto boites = dialogs.de_genre(Genre::Simple);
        EXPECT_FALSE(boites.empty());
        if (!boites.empty()) boites.erase(boites.begin());
        return boites;
    }
};

std::string utf16le(const std::string& ascii) {
    std::string octets;
    for (char c : ascii) octets += {c, '\0'};
    return octets;
}

TEST_F(ListSaving, ListedFilesAreWrittenInUtf16WithCrLfAndTheUserIsTold) {
    lister({chemin("b2.png"), chemin("a1.png")});
    enregistrer_sous(chemin("liste"));

    const auto boites = dialogs.de_genre(Genre::Simple);
    ASSERT_EQ(boites.size(), 2u);
    EXPECT_EQ(boites[0].titre, QStringLiteral("Mode de sauvegarde"));
    EXPECT_EQ(boites[0].texte, QStringLiteral("Enregistrer le chemin complet ?"));
    EXPECT_EQ(boites[0].style, 0x24u);
    const auto enregistre = dialogs.de_genre(Genre::Enregistrer);
    ASSERT_EQ(enregistre.size(), 1u);
    EXPECT_EQ(enregistre[0].titre, QStringLiteral("Liste des fichiers à Sauvegarder"));
    EXPECT_EQ(enregistre[0].filtre, QStringLiteral("*.txt"));
    EXPECT_TRUE(dialogs.de_genre(Genre::Ouvrir).empty());

    const std::string fichier = (dossier / "liste.txt").string();
    EXPECT_EQ(vellumor::test::read_bytes(fichier), utf16le((dossier / "a1.png").string() + "\r\n" +
                                                           (dossier / "b2.png").string() + "\r\n"));
    EXPECT_EQ(boites[1].titre, QStringLiteral("Info"));
    EXPECT_EQ(boites[1].texte, QStringLiteral("Le fichier\r\r") + QString::fromStdString(fichier) +
                                   QStringLiteral("\r  a été créé"));
    EXPECT_EQ(boites[1].style, 0x40u);
    for (int n = 4; n <= 13; ++n) EXPECT_TRUE(control(n)->isEnabled()) << n;
}

TEST_F(ListSaving, NamesGetTheTextExtensionOrAreRefused) {
    lister({chemin("a1.png")});
    enregistrer_sous(chemin("point."));
    enregistrer_sous(chemin("rapport.doc"));
    enregistrer_sous(chemin("GRAND.TXT"));
    EXPECT_TRUE(std::filesystem::exists(dossier / "point.txt"));
    EXPECT_TRUE(std::filesystem::exists(dossier / "rapport.txt"));
    EXPECT_FALSE(std::filesystem::exists(dossier / "rapport.doc"));
    EXPECT_TRUE(std::filesystem::exists(dossier / "GRAND.TXT"));

    dialogs.appels.clear();
    enregistrer_sous(chemin("a:b.txt"));
    enregistrer_sous(chemin("quoi?.txt"));
    const auto refus = fin();
    ASSERT_EQ(refus.size(), 3u);  // the question of the second saving comes in between
    for (const auto& r : {refus[0], refus[2]}) {
        EXPECT_EQ(r.titre, QStringLiteral("Info"));
        EXPECT_EQ(r.texte, QStringLiteral("Le fichier comporte des caractères interdits!\rLa liste "
                                          "ne sera pas enregistrée!"));
    }
    EXPECT_FALSE(std::filesystem::exists(dossier / "a:b.txt"));
}

TEST_F(ListSaving, EmptyListAsksForImagesAndCancellingSavesNothing) {
    control(12)->setEnabled(true);
    control_as<QPushButton>(12)->click();
    const auto ouverts = dialogs.de_genre(Genre::Ouvrir);
    ASSERT_EQ(ouverts.size(), 1u);
    EXPECT_EQ(ouverts[0].titre, QStringLiteral("Liste des fichiers à Sauvegarder"));
    EXPECT_EQ(ouverts[0].filtre, QStringLiteral("Fichiers images|*.png;*.tif"));
    const auto boites = fin();
    ASSERT_EQ(boites.size(), 1u);
    EXPECT_EQ(boites[0].titre, QStringLiteral("Info"));
    EXPECT_EQ(boites[0].texte, QStringLiteral("La liste ne sera pas enregistrée!"));
    EXPECT_TRUE(dialogs.de_genre(Genre::Enregistrer).empty());
    EXPECT_FALSE(control(12)->isEnabled());
    EXPECT_TRUE(control(4)->isEnabled());
}

TEST_F(ListSaving, EmptyListSavesThePickedImagesInTheDialogsOrder) {
    dialogs.choix_fichiers.push_back({chemin("z9.png"), chemin("a1.tif")});
    dialogs.noms_enregistrement.push_back(chemin("choisis.txt"));
    control(12)->setEnabled(true);
    control_as<QPushButton>(12)->click();
    EXPECT_EQ(
        vellumor::test::read_bytes(dossier / "choisis.txt"),
        utf16le((dossier / "z9.png").string() + "\r\n" + (dossier / "a1.tif").string() + "\r\n"));
    EXPECT_TRUE(GLB_Fichiers_Images().empty());
}

TEST_F(ListSaving, CancelledSaveDialogAndUnwritableFolderAreReported) {
    lister({chemin("a1.png")});
    control_as<QPushButton>(12)->click();
    auto boites = fin();
    ASSERT_EQ(boites.size(), 1u);
    EXPECT_EQ(boites[0].texte, QStringLiteral("La liste ne sera pas enregistrée!"));

    dialogs.appels.clear();
    enregistrer_sous(chemin("absent/liste.txt"));
    boites = fin();
    ASSERT_EQ(boites.size(), 1u);
    EXPECT_EQ(boites[0].titre, QStringLiteral("Erreur"));
    EXPECT_EQ(boites[0].texte,
              QStringLiteral("Impossible de créer le fichier\rLa liste ne sera pas enregistrée!"));
    EXPECT_TRUE(control(12)->isEnabled());
}

}  // namespace
}  // namespace vellumor::app::test
