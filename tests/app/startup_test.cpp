#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTreeWidget>

#include "app/controls.h"
#include "app/single_instance.h"
#include "event_waits.h"
#include "imagelist/image_list.h"
#include "scripted_dialogs.h"
#include "settings/preferences.h"
#include "support/temp_dir.h"

namespace vellumor::app::test {
namespace {

QString q(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

void toucher(const std::filesystem::path& p) {
    vellumor::test::write_bytes(p, "MZ");
}

TEST(Version, WithoutBackupCopiesTheTitleReadsOneTen) {
    vellumor::test::TempDir vide;
    EXPECT_EQ(Numero_Version(q(vide.path())), 11);
    EXPECT_EQ(Numero_Version(q(vide / "absent")), 11);
    EXPECT_EQ(titre_programme(11),
              QStringLiteral("Traitement des images - version 1.10  --  Qt6 Linux  (x64)"));
}

TEST(Version, BackupCopiesUpToTwelveGiveTwoThirty) {
    vellumor::test::TempDir copies;
    toucher(copies / "Vellumor - Copie (3).exe");
    toucher(copies / "Vellumor - Copie (12) - bis.exe");
    toucher(copies / "Vellumor - Copie (7).txt");
    std::filesystem::create_directory(copies / "Vellumor - Copie (40).exe");
    EXPECT_EQ(Numero_Version(q(copies.path())), 23);
    EXPECT_TRUE(titre_programme(23).startsWith(
        QStringLiteral("Traitement des images - version 2.30  --  ")));
}

TEST(Version, ACopyNamedWithALetterAfterThePrefixCountsZero) {
    vellumor::test::TempDir copies;
    toucher(copies / "Vellumor - Copie (x9).exe");
    EXPECT_EQ(Numero_Version(q(copies.path())), 11);
    const QString titre = titre_programme(11);
    const QString libelle = titre.mid(titre.indexOf(QStringLiteral("  --  ")) + 6);
    EXPECT_EQ(libelle.size(), 11 + 5);  // the build label, then "(x64)"
    EXPECT_TRUE(libelle.endsWith(QStringLiteral("  (x64)")));
}

TEST(Folders, TemporaryFolderIsTheUsersOwn) {
    vellumor::test::TempDir tmp;
    qputenv("TMPDIR", tmp.path().string().c_str());
    qputenv("XDG_RUNTIME_DIR", "");
    const QString temp = Dossier_Temporaire();
    const auto own = tmp / ("Vellumor-" + std::to_string(::geteuid()));
    EXPECT_EQ(temp, q(own) + QStringLiteral("/"));
    EXPECT_EQ(std::filesystem::status(own).permissions(), std::filesystem::perms(0700));
    // Someone else's folder under that name is not used, nor is the lock another user left.
    std::filesystem::permissions(own, std::filesystem::perms(0777));
    EXPECT_TRUE(Dossier_Temporaire().isEmpty());
    EXPECT_TRUE(InstanceUnique(QString()).premiere());
    std::filesystem::permissions(own, std::filesystem::perms(0700));
    {
        const InstanceUnique first(temp);
        EXPECT_TRUE(first.premiere());
        EXPECT_FALSE(InstanceUnique(temp).premiere());
    }
    qunsetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
}

TEST(FatalError, TextNamesTheLine) {
    EXPECT_EQ(texte_erreur_fatale(QStringLiteral("Impossible d'ajouter un élément à la liste"), 42),
              QStringLiteral("Impossible d'ajouter un élément à la liste\r\nline 42"));
}

TEST(Session, StartsTitledShownAndShutsDownOnce) {
    vellumor::test::TempDir appdata;
    vellumor::test::TempDir copies;
    qputenv("APPDATA", appdata.path().string().c_str());
    DialogsScriptes dialogs;
    auto session = Session::demarrer(dialogs, q(copies.path()));
    qunsetenv("APPDATA");
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(Session::courante(), session.get());
    EXPECT_EQ(session->dossier_preferences(), appdata.path() / "Vellumor/");
    FenetrePrincipale& f = session->fenetre();
    EXPECT_EQ(fenetre(1), &f);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), titre_programme(11));
    EXPECT_TRUE(dialogs.appels.empty());  // the stamp font is there
    EXPECT_FALSE(control(12)->isEnabled());

    int attentes = 0;
    f.a_l_arret([&] {
        ++attentes;
        EXPECT_NE(control(17), nullptr);  // the window is still there while workers finish
    });
    f.close();
    session->arreter();
    session->arreter();
    EXPECT_EQ(attentes, 1);
    EXPECT_EQ(control(17), nullptr);
    EXPECT_EQ(fenetre(1), nullptr);
}

// A session of the program whose preferences live in appdata.
std::unique_ptr<Session> demarrer_dans(const std::filesystem::path& appdata, Dialogs& dialogs,
                                       const QString& copies) {
    qputenv("APPDATA", appdata.string().c_str());
    auto session = Session::demarrer(dialogs, copies);
    qunsetenv("APPDATA");
    return session;
}

TEST(Session, PreferencesAreWrittenAtCloseBeforeAnythingGoesAndReadAtTheNextStart) {
    vellumor::test::TempDir appdata;
    const auto fichier = appdata / "Vellumor" / "Vellumor.prefs";
    DialogsScriptes dialogs;
    {
        auto session = demarrer_dans(appdata.path(), dialogs, q(appdata.path()));
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(GLB_Preferences(), Preferences{});  // first run: the defaults
        GLB_Preferences().Binding_Offset = 77;
        GLB_Preferences().DossierImages = "/pages/";
        bool ecrit_avant = false;
        session->fenetre().a_l_arret([&] { ecrit_avant = std::filesystem::exists(fichier); });
        session->fenetre().close();
        session->arreter();
        EXPECT_TRUE(ecrit_avant);
    }
    EXPECT_EQ(vellumor::test::read_bytes(fichier).substr(0, 3), "\xEF\xBB\xBF");
    GLB_Preferences() = Preferences{};
    auto session = demarrer_dans(appdata.path(), dialogs, q(appdata.path()));
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(GLB_Preferences().Binding_Offset, 77);
    EXPECT_EQ(GLB_Preferences().DossierImages, "/pages/");
    EXPECT_TRUE(dialogs.appels.empty());
    GLB_Preferences() = Preferences{};
}

TEST(Session, APreferencesFolderThatCannotBeMadeIsReportedAtClose) {
    vellumor::test::TempDir dossier;
    vellumor::test::write_bytes(dossier / "fichier", "x");
    DialogsScriptes dialogs;
    auto session = demarrer_dans(dossier / "fichier", dialogs, q(dossier.path()));
    ASSERT_NE(session, nullptr);
    session->arreter();
    ASSERT_EQ(dialogs.appels.size(), 1u);
    EXPECT_EQ(dialogs.appels[0].titre, QStringLiteral("Erreur"));
    EXPECT_EQ(dialogs.appels[0].texte,
              QStringLiteral("Impossible de créer le dossier des préférences"));
    GLB_Preferences() = Preferences{};
}

TEST(Session, ADamagedPreferencesFileIsToldAndLeftAsItIs) {
    vellumor::test::TempDir appdata;
    const auto fichier = appdata / "Vellumor" / "Vellumor.prefs";
    std::filesystem::create_directories(fichier.parent_path());
    const std::string damaged =
        "\xEF\xBB\xBF[Page_Numbering]\r\nBinding_Offset = 77\r\n" + std::string(1 << 20, '\n');
    vellumor::test::write_bytes(fichier, damaged);
    DialogsScriptes dialogs;
    {
        auto session = demarrer_dans(appdata.path(), dialogs, q(appdata.path()));
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(GLB_Preferences(), Preferences{});
        GLB_Preferences().Binding_Offset = 90;
        session->arreter();
    }
    ASSERT_EQ(dialogs.appels.size(), 1u);
    EXPECT_TRUE(
        dialogs.appels[0].texte.contains(QStringLiteral("est endommagé (il dépasse 1 Mo)")));
    EXPECT_TRUE(vellumor::test::read_bytes(fichier) == damaged);
    GLB_Preferences() = Preferences{};
}

// The real program, started on the offscreen platform with its own folders.
class Programme {
  public:
    Programme(const vellumor::test::TempDir& dossier) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), q(dossier.path()));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("APPDATA"), q(dossier / "appdata"));
        env.insert(QStringLiteral("HOME"), q(dossier.path()));
        processus.setProcessEnvironment(env);
        processus.setProgram(QStringLiteral(VELLUMOR_GUI_PATH));
        processus.start();
    }
    ~Programme() {
        if (processus.state() != QProcess::NotRunning) {
            processus.kill();
            processus.waitForFinished(5000);
        }
    }
    QProcess processus;
};

// Waits for the other process to make p (its folder included), woken by the folders' changes.
bool attendre_fichier(const std::filesystem::path& p) {
    QFileSystemWatcher veilleur;
    veilleur.addPath(q(p.parent_path().parent_path()));
    return attendre_evenements([&] {
        if (std::filesystem::is_directory(p.parent_path()) && veilleur.directories().size() < 2)
            veilleur.addPath(q(p.parent_path()));
        return std::filesystem::exists(p);
    });
}

TEST(SingleInstance, ASecondCopyExitsAtOnceWithCodeZeroAndLeavesTheFirstRunning) {
    vellumor::test::TempDir dossier;
    Programme premier(dossier);
    ASSERT_TRUE(premier.processus.waitForStarted(5000));
    const auto own = dossier / ("Vellumor-" + std::to_string(::geteuid()));
    ASSERT_TRUE(attendre_fichier(own / "Vellumors_ALREADY_EXIST"));

    Programme second(dossier);
    ASSERT_TRUE(second.processus.waitForFinished(60000));
    EXPECT_EQ(second.processus.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.processus.exitCode(), 0);
    EXPECT_EQ(premier.processus.state(), QProcess::Running);
    premier.processus.waitForFinished(300);  // the window for a wrong exit to show
    EXPECT_EQ(premier.processus.state(), QProcess::Running);
}

}  // namespace
}  // namespace vellumor::app::test
