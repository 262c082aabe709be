// End-to-end tests of what happens around a page's replacement: two runs on one folder, another
// user watching the folder, pages with owners, attributes and hard links, named pipes given as
// inputs, and reconstitutions stopped or moved off their format.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <map>
#include <set>
#include <thread>

#include "batch/png_io.h"
#include "cli_process.h"
#include "ops/cleaning/cleaning.h"
#include "ops/cropping/cropping.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ecrire_pages(const fs::path& folder, int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        names.push_back("page_" + std::to_string(i) + ".png");
        test::write_png_file(folder / names.back(), page_avec_marges(120, 160, unsigned(i)));
    }
    return names;
}

Image charger(const fs::path& f) {
    LoadResult r = load_png(f);
    EXPECT_TRUE(r) << r.message;
    return r ? std::move(*r.image) : Image();
}

bool memes_pixels(const Image& a, const Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

Image detouree(Image page) {
    const PageDetouree c = detourer(page);
    return c.detection.issue == IssueDetourage::Detouree ? c.image : page;
}

Image nettoyee(Image page) {
    nettoyer(page, 1);
    return page;
}

// Two runs of the command line on the same pages at the same moment: every page ends with the
// result of each run that says it wrote it, and a page one run had is left alone by the other.
void deux_executions_a_la_fois(int pages) {
    test::TempDir dir;
    const std::vector<std::string> names = ecrire_pages(dir.path(), pages);
    std::map<std::string, Image> avant;
    for (const std::string& n : names) avant[n] = charger(dir / n);

    Execution detourage, nettoyage;
    std::thread autre([&] { nettoyage = executer_cli(avec_arguments({"nettoyer", dir.path()})); });
    detourage = executer_cli(avec_arguments({"detourer", dir.path()}));
    autre.join();

    int occupees = 0;
    for (const std::string& n : names) {
        const auto occupee = [&](const Execution& e) {
            return !lignes_avec(e.erreurs,
                                {n + " ", "en cours de traitement par un autre Vellumor"})
                        .empty();
        };
        const bool detouree_ok = !occupee(detourage), nettoyee_ok = !occupee(nettoyage);
        occupees += !detouree_ok + !nettoyee_ok;
        const Image apres = charger(dir / n);
        const Image& a = avant[n];
        if (detouree_ok && nettoyee_ok)
            EXPECT_TRUE(memes_pixels(apres, detouree(nettoyee(a))) ||
                        memes_pixels(apres, nettoyee(detouree(a))))
                << n << ": a result was lost";
        else if (detouree_ok)
            EXPECT_TRUE(memes_pixels(apres, detouree(a))) << n;
        else
            EXPECT_TRUE(memes_pixels(apres, nettoyee(a))) << n;
    }
    EXPECT_EQ(detourage.status, lignes_avec(detourage.erreurs, {"autre Vellumor"}).empty() ? 0 : 1)
        << detourage.erreurs;
    EXPECT_EQ(nettoyage.status, lignes_avec(nettoyage.erreurs, {"autre Vellumor"}).empty() ? 0 : 1)
        << nettoyage.erreurs;
    EXPECT_EQ(noms_png(dir.path()), noms(dir.path()));
    std::printf("%d pages, %d left alone because the other run had them\n", pages, occupees);
}

TEST(PagesReplaced, TwoRunsAtOnceOnOneFolderLoseNoResult) {
    deux_executions_a_la_fois(300);
}

TEST(SlowPagesReplaced, TwoRunsAtOnceOnOneFolderLoseNoResultTenTimes) {
    for (int i = 0; i < 10; ++i) deux_executions_a_la_fois(500);
}

// Another user opens every temporary file it sees in the folder while the pages are replaced.
TEST(PagesReplaced, AnotherUserReadsNoPrivatePageWhileItIsReplaced) {
    if (!est_superutilisateur()) GTEST_SKIP() << "needs root to play another user";
    test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::vector<std::string> names = ecrire_pages(dir.path(), 200);
    for (const std::string& n : names) ASSERT_EQ(::chmod((dir / n).c_str(), 0600), 0);

    struct Compte {
        std::atomic<long> vus{0}, lus{0};
    };
    void* partage =
        ::mmap(nullptr, sizeof(Compte), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(partage, MAP_FAILED);
    Compte* compte = new (partage) Compte;
    int pret[2];  // the spy writes a byte once it runs as the other user
    ASSERT_EQ(::pipe2(pret, O_CLOEXEC), 0);
    const pid_t espion = ::fork();
    ASSERT_GE(espion, 0);
    if (espion == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kUtilisateurSansPrivileges) != 0 ||
            ::setuid(kUtilisateurSansPrivileges) != 0)
            ::_exit(1);
        if (::write(pret[1], "x", 1) != 1) ::_exit(1);
        for (;;) {
            DIR* d = ::opendir(dir.path().c_str());
            if (!d) continue;
            while (const dirent* e = ::readdir(d)) {
                if (std::strncmp(e->d_name, ".vellumor-", 10) != 0) continue;
                ++compte->vus;
                const int fd = ::openat(::dirfd(d), e->d_name, O_RDONLY);
                if (fd >= 0) {
                    ++compte->lus;
                    ::close(fd);
                }
            }
            ::closedir(d);
        }
    }
    ::close(pret[1]);
    char octet = 0;
    const bool espion_pret = ::read(pret[0], &octet, 1) == 1;
    ::close(pret[0]);
    if (!espion_pret) ::waitpid(espion, nullptr, 0);
    ASSERT_TRUE(espion_pret) << "the spy could not become the other user";
    const Execution run = executer_cli(avec_arguments({"detourer", dir.path()}));
    ::kill(espion, SIGKILL);
    ::waitpid(espion, nullptr, 0);
    EXPECT_EQ(run.status, 0) << run.erreurs;
    std::printf("temporary files seen by the other user: %ld, opened: %ld\n", compte->vus.load(),
                compte->lus.load());
    EXPECT_GT(compte->vus.load(), 0);
    EXPECT_EQ(compte->lus.load(), 0);
    for (const std::string& n : names) {
        struct stat st {};
        ASSERT_EQ(::stat((dir / n).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u) << n;
    }
    ::munmap(partage, sizeof(Compte));
}

TEST(PagesReplaced, OwnerModeAttributesAndHardLinksOfPagesAreKept) {
    test::TempDir dir;
    const std::vector<std::string> names = ecrire_pages(dir.path(), 3);
    const fs::path proprietaire = dir / names[0], liee = dir / names[1];
    ASSERT_EQ(::chmod(proprietaire.c_str(), 0640), 0);
    const bool root = est_superutilisateur();
    if (root) {
        ASSERT_EQ(
            ::chown(proprietaire.c_str(), kUtilisateurSansPrivileges, kUtilisateurSansPrivileges),
            0);
    }
    const std::string note = "scan du 3 mars";
    const bool xattrs =
        ::setxattr(proprietaire.c_str(), "user.note", note.data(), note.size(), 0) == 0;
    fs::create_hard_link(liee, dir / "sauvegarde.bin");
    const std::string liee_avant = test::read_bytes(liee);

    const Execution run = executer_cli(avec_arguments({"detourer", dir.path()}));
    EXPECT_EQ(run.status, 1) << run.erreurs;
    EXPECT_EQ(lignes_avec(run.sortie, {"Non écrit", names[1], "liens physiques"}).size(), 1u)
        << run.sortie;
    EXPECT_EQ(test::read_bytes(liee), liee_avant);
    EXPECT_EQ(fs::hard_link_count(liee), 2u);

    EXPECT_LT(charger(proprietaire).width(), 120);
    struct stat st {};
    ASSERT_EQ(::stat(proprietaire.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, kUtilisateurSansPrivileges);
        EXPECT_EQ(st.st_gid, kUtilisateurSansPrivileges);
    }
    if (xattrs) {
        char valeur[64] = {};
        EXPECT_EQ(::getxattr(proprietaire.c_str(), "user.note", valeur, sizeof valeur),
                  ssize_t(note.size()));
        EXPECT_EQ(std::string(valeur), note);
    }
    EXPECT_LT(charger(dir / names[2]).width(), 120);
}

TEST(PagesReplaced, ANamedPipeIsRefusedWhereverAFileIsExpected) {
    test::TempDir dir;
    const std::vector<std::string> names = ecrire_pages(dir.path(), 1);
    const std::string page = (dir / names[0]).string();
    for (const char* tube : {"tube_2.png", "tube.txt", "tube.cup"})
        ASSERT_EQ(::mkfifo((dir / tube).c_str(), 0600), 0);
    const std::string tube_page = (dir / "tube_2.png").string();
    const struct {
        const char* cas;
        std::vector<std::string> args;
    } cas[] = {
        {"page", {"detourer", page, tube_page}},
        {"list", {"detourer", "--liste", (dir / "tube.txt").string()}},
        {"blank page", {"reconstituer", "--page-vierge", tube_page, page}},
        {".cup file", {"reconstituer", "--exceptions", (dir / "tube.cup").string(), page}},
    };
    for (const auto& c : cas) {
        Lancement l = avec_arguments(c.args);
        l.delai_max = std::chrono::seconds(20);
        const Execution run = executer_cli(l);
        EXPECT_FALSE(run.tue) << c.cas << ": the run hung";
        EXPECT_NE(run.status, 0) << c.cas;
        EXPECT_EQ(lignes_avec(run.erreurs, {"n'est pas un fichier ordinaire"}).size(), 1u)
            << c.cas << "\n"
            << run.erreurs;
    }
}

TEST(PagesReplaced, AStoppedReconstitutionNamesThePagesItWroteAndAPageOffItsFormatIsKept) {
    test::TempDir dir;
    const fs::path vierge = dir / "vierge.bin";
    ASSERT_TRUE(save_png(*Image::create(200, 260, 24, kWhite), vierge, 24));
    const std::vector<std::string> names = ecrire_pages(dir.path(), 300);
    std::map<std::string, std::string> avant;
    for (const std::string& n : names) avant[n] = test::read_bytes(dir / n);
    const auto modifiees = [&] {
        std::set<std::string> m;
        for (const std::string& n : names)
            if (test::read_bytes(dir / n) != avant[n]) m.insert((dir / n).string());
        return m;
    };

    Lancement l = avec_arguments({"reconstituer", "--page-vierge", vierge.string(), dir.path()});
    // Stopped once 21 pages are replaced, whichever worker wrote them: one worker may lag the
    // other by several pages on a loaded machine.
    l.interrompre_quand = [&] {
        std::size_t remplacees = 0;
        for (const std::string& n : names)
            if (fs::file_size(dir / n) != avant[n].size()) ++remplacees;
        return remplacees > 20;
    };
    l.delai_max = std::chrono::seconds(60);
    const Execution run = executer_cli(l);
    EXPECT_EQ(run.status, 1) << run.erreurs;
    std::set<std::string> nommees;
    for (const std::string& ligne : lignes_avec(run.erreurs, {"  " + dir.path().string()}))
        nommees.insert(ligne.substr(2));
    const std::set<std::string> ecrites = modifiees();
    EXPECT_GT(ecrites.size(), 20u);
    EXPECT_LT(ecrites.size(), names.size()) << "the run ended before it was stopped";
    EXPECT_EQ(nommees, ecrites);
    EXPECT_EQ(lignes_avec(run.erreurs, {std::to_string(ecrites.size()) +
                                        " pages ont été écrites, ne les reconstituez pas"})
                  .size(),
              1u)
        << run.erreurs;

    // 50 mm from the top is about 1181 pixels down a 260-pixel-high blank page.
    const std::string une = (dir / names.back()).string();
    const std::string une_avant = test::read_bytes(une);
    const Execution hors = executer_cli(avec_arguments(
        {"reconstituer", "--page-vierge", vierge.string(), "--offset-haut", "50", une}));
    EXPECT_EQ(hors.status, 1);
    EXPECT_EQ(
        lignes_avec(hors.sortie, {"Non écrit", une, "la page tomberait entièrement hors du format"})
            .size(),
        1u)
        << hors.sortie;
    EXPECT_EQ(test::read_bytes(une), une_avant);
}

}  // namespace
}  // namespace vellumor::faults
