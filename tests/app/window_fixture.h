#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "app/banner.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/originaux_menu.h"
#include "batch/originaux.h"
#include "imagelist/image_list.h"
#include "scripted_dialogs.h"
#include "settings/preferences.h"
#include "support/temp_dir.h"

namespace vellumor::app::test {

// A shown main window with scripted dialogs and an empty image list.
class FenetreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GLB_Fichiers_Images().clear();
        GLB_Preferences() = Preferences{};
        ressources.charger_polices_de_base();
        ressources.charger_images_partagees();
        ASSERT_TRUE(preparer_images_bandeau(ressources, kLargeurClient));
        fenetre = std::make_unique<FenetrePrincipale>(ressources, dialogs,
                                                      QStringLiteral("Titre de la fenêtre"));
        fenetre->show();
    }
    void TearDown() override {
        fenetre.reset();
        GLB_Fichiers_Images().clear();
    }

    QTreeWidget& liste() { return *fenetre->liste(); }
    // Lists /pages/p1.png to /pages/pN.png, each on its row.
    void lister_pages(int n) {
        for (int i = 1; i <= n; ++i)
            GLB_Fichiers_Images().push_back(entree_pour("/pages/p" + std::to_string(i) + ".png"));
        remplir_lignes(*fenetre);
    }
    QString ligne(int i) { return liste().topLevelItem(i)->text(0); }
    QString titre_colonne() { return liste().headerItem()->text(0); }
    int icone(int i) { return liste().topLevelItem(i)->data(0, Qt::UserRole).toInt(); }
    // Lets posted events reach the window, and the events those post in turn.
    static void traiter_evenements() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    vellumor::test::TempDir dossier;
    // What a completion box adds after a run that kept the pages of dossier: its run folder.
    QString fin_originaux() const {
        const auto e = executions_gardees(dossier.path());
        return e.empty() ? QString() : texte_fin_originaux({e.back().dossier});
    }
    DialogsScriptes dialogs;
    Ressources ressources;
    std::unique_ptr<FenetrePrincipale> fenetre;
};

}  // namespace vellumor::app::test
