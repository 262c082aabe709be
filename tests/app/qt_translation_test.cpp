#include "app/qt_translation.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "app/dialogs_qt.h"

namespace vellumor::app::test {
namespace {

QStringList textes_sans_raccourci(const QList<QAbstractButton*>& boutons) {
    QStringList textes;
    for (const QAbstractButton* b : boutons) textes << b->text().remove(QLatin1Char('&'));
    return textes;
}

// Qt's French texts for the duration of one test; the other tests keep Qt's own language.
class TraductionQt : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(installer_traduction_qt(*QCoreApplication::instance())); }
    void TearDown() override {
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            t->deleteLater();
        }
        QLocale::setDefault(QLocale::system());
    }
};

TEST_F(TraductionQt, TheProgramsFileDialogSpeaksFrench) {
    QStringList boutons;
    QStringList etiquettes;
    // Read the dialog's widgets once it runs, then close it as the user's "Annuler" would.
    std::function<void()> lire = [&] {
        auto* dialogue = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialogue) return QTimer::singleShot(10, lire);
        boutons = textes_sans_raccourci(dialogue->findChild<QDialogButtonBox*>()->buttons());
        for (const QLabel* l : dialogue->findChildren<QLabel*>())
            etiquettes << l->text().remove(QLatin1Char('&'));
        dialogue->reject();
    };
    QTimer::singleShot(0, lire);
    DialogsQt dialogs;
    EXPECT_TRUE(dialogs
                    .ouvrir_fichiers(QStringLiteral("Sélectionner les fichiers à détourer"),
                                     QDir::tempPath(), QStringLiteral("Fichiers images|*.png"),
                                     true)
                    .isEmpty());
    EXPECT_TRUE(boutons.contains(QStringLiteral("Ouvrir"))) << boutons.join(u',').toStdString();
    EXPECT_TRUE(boutons.contains(QStringLiteral("Annuler"))) << boutons.join(u',').toStdString();
    EXPECT_TRUE(etiquettes.contains(QStringLiteral("Voir dans :")));
    EXPECT_TRUE(etiquettes.contains(QStringLiteral("Nom de fichier :")))
        << etiquettes.join(u',').toStdString();
}

TEST_F(TraductionQt, YesNoBoxesAndTheDetailsButtonSpeakFrench) {
    const auto simple =
        construire_boite_simple(QStringLiteral("T"), QStringLiteral("?"), 0x24, nullptr);
    EXPECT_EQ(textes_sans_raccourci(simple->buttons()),
              (QStringList{QStringLiteral("Oui"), QStringLiteral("Non")}));

    DialogueTache d;
    d.oui_non = true;
    d.details = QStringLiteral("pages12/p_003.png : fichier illisible");
    const auto tache = construire_boite_tache(d, nullptr);
    const QStringList textes = textes_sans_raccourci(tache->buttons());
    EXPECT_TRUE(textes.contains(QStringLiteral("Oui"))) << textes.join(u',').toStdString();
    EXPECT_TRUE(textes.contains(QStringLiteral("Non")));
    EXPECT_FALSE(textes.filter(QStringLiteral("détails")).isEmpty())
        << textes.join(u',').toStdString();
}

// The file dialog's detail view names folders, sizes and dates in French, whatever the
// desktop's locale: the program's locale is French (France).
TEST_F(TraductionQt, TheFileDialogsDetailViewIsFrench) {
    EXPECT_EQ(QLocale().name(), QStringLiteral("fr_FR"));
    const QTemporaryDir dossier;
    ASSERT_TRUE(QDir(dossier.path()).mkdir(QStringLiteral("pages")));
    QFile page(dossier.filePath(QStringLiteral("p.png")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(QByteArray(500, 'x'));
    page.close();
    const auto d =
        construire_dialogue_fichiers(QStringLiteral("Choisir"), dossier.path(),
                                     QStringLiteral("Fichiers images|*.png"), false, true);
    auto* fs = d->findChild<QFileSystemModel*>();
    ASSERT_NE(fs, nullptr);
    const QModelIndex racine = fs->index(dossier.path());
    const QDeadlineTimer limite(20000);  // the model reads the folder on a thread of its own
    while (fs->rowCount(racine) < 2 && !limite.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_EQ(fs->rowCount(racine), 2);
    const auto texte = [&](const QString& nom, int colonne) {
        const QModelIndex i = fs->index(dossier.filePath(nom));
        return d->proxyModel()->mapFromSource(i.sibling(i.row(), colonne)).data().toString();
    };
    EXPECT_EQ(texte(QStringLiteral("pages"), 2), QStringLiteral("Dossier"));
    EXPECT_EQ(texte(QStringLiteral("p.png"), 1), QStringLiteral("500 octets"));
    const QDateTime quand = QFileInfo(dossier.filePath(QStringLiteral("p.png"))).lastModified();
    EXPECT_EQ(texte(QStringLiteral("p.png"), 3),
              QLocale(QLocale::French, QLocale::France).toString(quand, QLocale::ShortFormat));
}

}  // namespace
}  // namespace vellumor::app::test
