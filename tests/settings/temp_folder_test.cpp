#include "settings/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, TheUsersOwnFolderFromTheEnvironment) {
    test::TempDir dir;
    const std::string run = dir.path().string();
    struct Cas {
        std::string xdg, tmpdir, attendu;
    } cases[] = {
        {run, "/var/tmp", run + "/Vellumor"},
        {run + "/", "", run + "/Vellumor"},
        {run + "/absent", "/var/tmp/", "/var/tmp/Vellumor-1000"},
        {"relatif", "", "/tmp/Vellumor-1000"},
        {"", "tmp", "/tmp/Vellumor-1000"},
        {"", "/", "/Vellumor-1000"},
    };
    for (const Cas& c : cases)
        EXPECT_EQ(dossier_temporaire_depuis(c.xdg, c.tmpdir, 1000), c.attendu) << c.xdg;
}

TEST(TempFolder, OnlyAPrivateFolderOfTheUserIsUsed) {
    test::TempDir dir;
    const DossierPrive made = preparer_dossier_prive(dir / "neuf");
    ASSERT_TRUE(made) << made.erreur;
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "neuf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(preparer_dossier_prive(dir / "neuf"));

    fs::create_directory(dir / "ouvert");
    fs::permissions(dir / "ouvert", fs::perms(0777));
    fs::create_directory(dir / "cible");
    fs::permissions(dir / "cible", fs::perms(0700));
    fs::create_symlink(dir / "cible", dir / "lien");
    test::write_bytes(dir / "fichier", "x");
    fs::create_directory(dir / "autrui");
    fs::permissions(dir / "autrui", fs::perms(0700));
    const bool root = ::geteuid() == 0;
    if (root) {
        EXPECT_EQ(::chown((dir / "autrui").c_str(), 65534, 65534), 0);
    }
    const struct {
        const char* name;
        const char* reason;
    } refused[] = {
        {"ouvert", "d'autres utilisateurs y ont accès"},
        {"lien", "c'est un lien symbolique"},
        {"fichier", "ce n'est pas un dossier"},
        {"autrui", root ? "il appartient à un autre utilisateur" : nullptr},
    };
    for (const auto& r : refused) {
        if (r.reason == nullptr) continue;
        const DossierPrive d = preparer_dossier_prive(dir / r.name);
        EXPECT_FALSE(d) << r.name;
        EXPECT_NE(d.erreur.find("« " + (dir / r.name).string() + " »"), std::string::npos)
            << d.erreur;
        EXPECT_NE(d.erreur.find(r.reason), std::string::npos) << d.erreur;
    }
    EXPECT_EQ(fs::status(dir / "ouvert").permissions(), fs::perms(0777));  // left as it is
}

TEST(TempFolder, WorkFoldersAreTheRunsOwnAndThoseOfDeadRunsGo) {
    test::TempDir dir;
    // A run killed with its work folder left behind.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const fs::path left = dir / ("numerotation-" + std::to_string(dead) + "-abcdef");
    fs::create_directory(left);
    test::write_bytes(left / "Num___1.png", "x");
    const fs::path alive = dir / ("numerotation-" + std::to_string(::getppid()) + "-abcdef");
    fs::create_directory(alive);
    fs::path made;
    {
        const DossierTravail a(dir.path(), "numerotation");
        const DossierTravail b(dir.path(), "numerotation");
        ASSERT_FALSE(a.chemin().empty()) << a.erreur();
        EXPECT_NE(a.chemin(), b.chemin());
        EXPECT_EQ(fs::status(a.chemin()).permissions(), fs::perms(0700));
        test::write_bytes(a.chemin() / "Num___1.png", "x");
        made = a.chemin();
        EXPECT_FALSE(fs::exists(left));
        EXPECT_TRUE(fs::exists(alive));
    }
    EXPECT_FALSE(fs::exists(made));
    const DossierTravail nowhere(dir / "absent", "numerotation");
    EXPECT_TRUE(nowhere.chemin().empty());
    EXPECT_NE(nowhere.erreur().find("fichier ou dossier introuvable"), std::string::npos);
}

}  // namespace
}  // namespace vellumor
