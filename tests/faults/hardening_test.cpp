// What a second local user, a second run or an interruption at the wrong moment did to numbering
// and renaming, tried again on the real program: links planted in a shared temporary folder, two
// numbering runs at once, Ctrl-C and kill -9 in the middle of renaming 2,000 files or of building
// stamps, a first page number near the integer limit.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include "cli_process.h"
#include "pages.h"
#include "support/seed.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;
using Contenus = std::map<std::string, std::string>;

bool termine(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

// Counts the files renamed into folder while a process runs.
class Renommages {
  public:
    explicit Renommages(const fs::path& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        ::inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
    }
    ~Renommages() { ::close(fd_); }
    // Returns once count renames were seen, or once pid has ended.
    void attendre(int count, pid_t pid) {
        alignas(inotify_event) char buffer[1 << 16];
        while (vus_ < count && !termine(pid)) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) continue;
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                ++vus_;
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
    }

  private:
    int fd_;
    int vus_ = 0;
};

// 2,000 pages of a scan, renamed one place up by a list file (scan_0001 -> scan_0002 ...): every
// new name but the last is the old name of another page.
struct DeuxMillePages {
    test::TempDir dir;
    Contenus originaux;
    DeuxMillePages() {
        std::string list = "\xEF\xBB\xBF";
        for (int i = 1; i <= 2000; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "scan_%04d.png", i);
            originaux[name] = "page " + std::to_string(i);
            test::write_bytes(dir / name, originaux[name]);
            list += std::string(name) + "\r\n";
        }
        test::write_bytes(dir / "liste.txt", list);
    }
    Contenus pages() const {
        Contenus c = test::folder_contents(dir.path());
        c.erase("liste.txt");
        return c;
    }
    bool decalees() const {
        const Contenus c = pages();
        if (c.size() != 2001 || !c.count("renommage-annuler.txt")) return false;
        for (const auto& [name, bytes] : originaux) {
            char next[32];
            std::snprintf(next, sizeof next, "scan_%04d.png", std::stoi(name.substr(5)) + 1);
            if (c.at(next) != bytes) return false;
        }
        return true;
    }
    // Runs a command here; sig is sent once `after` renames were seen.
    Execution lancer(std::vector<std::string> args, int sig = 0, int after = 0) {
        Lancement l = avec_arguments(std::move(args));
        Renommages seen(dir.path());
        if (sig != 0)
            l.pendant = [&](pid_t pid) {
                seen.attendre(after, pid);
                ::kill(pid, sig);
            };
        return executer_cli(l);
    }
    Execution renommer(int sig = 0, int after = 0) {
        return lancer(
            {"renommer", "--liste", (dir / "liste.txt").string(), "--premier", "2", "--appliquer"},
            sig, after);
    }
    Execution annuler(int sig = 0, int after = 0) {
        return lancer({"renommer", "--annuler", (dir / "renommage-annuler.txt").string()}, sig,
                      after);
    }
};

// After a kill -9 at any moment no page is lost, and the undo list (run again after a kill of its
// own) gives every page its old name back.
void tuer_puis_annuler(unsigned seed, int runs) {
    std::mt19937 random(seed);
    for (int run = 0; run < runs; ++run) {
        DeuxMillePages p;
        const int after = int(random() % 4002);
        const Execution killed = p.renommer(SIGKILL, after);
        std::multiset<std::string> kept, before;
        for (const auto& [name, bytes] : p.pages())
            if (name.starts_with("scan_") || name.starts_with(".vellumor-renommage-"))
                kept.insert(bytes);
        for (const auto& [name, bytes] : p.originaux) before.insert(bytes);
        ASSERT_EQ(kept, before) << "kill after " << after << " renames (seed " << seed << ")";
        if (!fs::exists(p.dir / "renommage-annuler.txt")) {
            // Killed before the first rename (or finished without a list: never).
            ASSERT_EQ(p.pages(), p.originaux) << after;
            continue;
        }
        const int undo_after = int(random() % 4000);
        p.annuler(SIGKILL, undo_after);
        Execution undone;
        // Run again unless the killed undo had finished (it removes the list at its end).
        if (fs::exists(p.dir / "renommage-annuler.txt")) undone = p.annuler();
        EXPECT_NE(undone.status, 1) << undone.erreurs;
        ASSERT_EQ(p.pages(), p.originaux)
            << "kill after " << after << " renames, undo killed after " << undo_after << " (seed "
            << seed << "): " << undone.erreurs << (killed.tue ? "" : " (not killed)");
    }
}

TEST(Hardening, InterruptedRenamingOfTwoThousandFilesIsCompletedOrUndone) {
    for (const int after : {300, 3000}) {
        DeuxMillePages p;
        const Execution r = p.renommer(SIGINT, after);
        ASSERT_FALSE(r.tue);
        if (r.status == 0) {
            EXPECT_TRUE(p.decalees()) << after;
            const Execution back = p.annuler();
            EXPECT_EQ(back.status, 0) << back.erreurs;
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.erreurs.find("Renommage interrompu : aucun fichier n'a été renommé"),
                      std::string::npos)
                << r.erreurs;
        }
        EXPECT_EQ(p.pages(), p.originaux) << "SIGINT after " << after << " renames";
    }
    tuer_puis_annuler(test::graine_aleatoire("renaming killed"), 2);
}

TEST(SlowHardening, RenamingKilledAtRandomMomentsIsAlwaysUndone) {
    tuer_puis_annuler(test::graine_aleatoire("renaming killed at random moments"), 12);
}

TEST(SlowHardening, SignalsAtEveryStageOfARenaming) {
    int undone = 0, completed = 0;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        for (const int after : {1, 1000, 2001, 3000, 4001}) {
            DeuxMillePages p;
            const Execution r = p.renommer(sig, after);
            ASSERT_FALSE(r.tue);
            if (r.status == 0) {
                ASSERT_TRUE(p.decalees()) << sig << " after " << after;
                ASSERT_EQ(p.annuler().status, 0);
                ++completed;
            } else {
                ++undone;
            }
            ASSERT_EQ(p.pages(), p.originaux) << sig << " after " << after;
        }
    std::printf("signals during a renaming of 2,000 files: %d undone, %d completed\n", undone,
                completed);
    EXPECT_GT(undone, 0);
    EXPECT_GT(completed, 0);
}

// The shared temporary folder of an attacker (world-writable, sticky, like /tmp).
struct DossierPartage {
    test::TempDir dir;
    fs::path tmp = dir / "tmp";
    DossierPartage() {
        fs::permissions(dir.path(), fs::perms(0755));
        fs::create_directory(tmp);
        fs::permissions(tmp, fs::perms(01777));
    }
    std::vector<std::pair<std::string, std::string>> environnement() const {
        return {{"TMPDIR", tmp.string()}, {"XDG_RUNTIME_DIR", ""}};
    }
    fs::path prive() const { return tmp / ("Vellumor-" + std::to_string(::geteuid())); }
};

int en_tant_que_nobody(const std::string& command) {
    return std::system(
        ("setpriv --reuid=65534 --regid=65534 --clear-groups -- sh -c '" + command + "'").c_str());
}

TEST(Hardening, AnotherUserCannotMakeNumberingWriteThroughHisLinks) {
    if (!est_superutilisateur()) GTEST_SKIP() << "needs root to act as another user";
    DossierPartage shared;
    const fs::path victim = shared.dir / "victime.png";
    test::write_bytes(victim, "le travail de la victime");
    const fs::path page = shared.dir / "page_1.png";
    test::write_png_file(page, page_avec_marges(300, 400, 1));
    const std::string dir = shared.prive().string();
    const struct {
        const char* plant;
        const char* reason;
    } attacks[] = {
        {"mkdir -m 777 D && ln -s V D/Img__1.png && ln -s V D/Num___Det_1.png",
         "il appartient à un autre utilisateur"},
        {"mkdir -m 700 E && ln -s E D", "c'est un lien symbolique"},
    };
    for (const auto& a : attacks) {
        std::string command = a.plant;
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"D", dir},
                                       {"E", shared.tmp / "piege"},
                                       {"V", victim.string()}})
            for (std::size_t at; (at = command.find(" " + from)) != std::string::npos;)
                command.replace(at + 1, from.size(), to);
        ASSERT_EQ(en_tant_que_nobody(command), 0) << command;
        Lancement l = avec_arguments({"numeroter", "--debut", "1", "--silencieux", page.string()});
        l.variables = shared.environnement();
        const Execution r = executer_cli(l);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.erreurs.find("Le dossier temporaire « " + dir + " » ne peut pas être utilisé"),
                  std::string::npos)
            << r.erreurs;
        EXPECT_NE(r.erreurs.find(a.reason), std::string::npos) << r.erreurs;
        EXPECT_EQ(test::read_bytes(victim), "le travail de la victime");
        fs::remove_all(dir);
    }
    // Left to the user, the folder is made private and the run goes through.
    Lancement l = avec_arguments({"numeroter", "--debut", "1", "--silencieux", page.string()});
    l.variables = shared.environnement();
    const Execution r = executer_cli(l);
    EXPECT_EQ(r.status, 0) << r.erreurs;
    EXPECT_EQ(fs::status(dir).permissions(), fs::perms(0700));
    EXPECT_EQ(noms(dir), std::vector<std::string>{"Img__1.png"});
}

Lancement numeroter(const DossierPartage& shared, const std::vector<fs::path>& pages,
                    const std::string& debut, const fs::path& out = {}) {
    Lancement l = avec_arguments({"numeroter", "--debut", debut, "--silencieux"});
    if (!out.empty()) l.args.insert(l.args.end(), {"--dossier", out.string()});
    for (const auto& p : pages) l.args.push_back(p.string());
    l.variables = shared.environnement();
    return l;
}

std::vector<fs::path> ecrire_pages(const fs::path& folder, const std::string& stem, int count,
                                   int side) {
    fs::create_directories(folder);
    std::vector<fs::path> pages;
    for (int i = 1; i <= count; ++i) {
        pages.push_back(folder / (stem + std::to_string(i) + ".png"));
        test::write_png_file(pages.back(), page_avec_marges(side, side * 4 / 3, unsigned(i)));
    }
    return pages;
}

TEST(Hardening, TwoNumberingRunsAtOnceNumberEveryPage) {
    DossierPartage shared;
    const auto a = ecrire_pages(shared.dir / "a", "a_", 30, 300);
    const auto b = ecrire_pages(shared.dir / "b", "b_", 30, 320);
    // Alone, each run gives the reference pages.
    ASSERT_EQ(executer_cli(numeroter(shared, a, "1", shared.dir / "seul_a")).status, 0);
    ASSERT_EQ(executer_cli(numeroter(shared, b, "1", shared.dir / "seul_b")).status, 0);
    for (int round = 0; round < 3; ++round) {
        Execution ra, rb;
        std::thread other([&] { rb = executer_cli(numeroter(shared, b, "1", shared.dir / "b2")); });
        ra = executer_cli(numeroter(shared, a, "1", shared.dir / "a2"));
        other.join();
        EXPECT_EQ(ra.status, 0) << ra.erreurs;
        EXPECT_EQ(rb.status, 0) << rb.erreurs;
        EXPECT_EQ(test::folder_contents(shared.dir / "a2"),
                  test::folder_contents(shared.dir / "seul_a"));
        EXPECT_EQ(test::folder_contents(shared.dir / "b2"),
                  test::folder_contents(shared.dir / "seul_b"));
        EXPECT_TRUE(noms(shared.prive()).empty()) << "work files left";
        fs::remove_all(shared.dir / "a2");
        fs::remove_all(shared.dir / "b2");
    }
}

TEST(Hardening, AFirstNumberNearTheIntegerLimitIsRefusedAndCtrlCLeavesNoWorkFile) {
    DossierPartage shared;
    const auto pages = ecrire_pages(shared.dir / "p", "p_", 400, 16);
    const Execution huge = executer_cli(numeroter(shared, {pages[0]}, "9223372036854775800"));
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.erreurs.find("La numérotation des images est incorrecte 123 (le numéro de "
                                "début a au plus 9 chiffres (999999999 au plus))"),
              std::string::npos)
        << huge.erreurs;
    EXPECT_LT(huge.secondes, 5.0);
    std::printf("Début 9223372036854775800 refused in %.3f s\n", huge.secondes);
    EXPECT_EQ(executer_cli(numeroter(shared, {pages[0]}, "1000000000")).status, 2);
    const Execution top = executer_cli(numeroter(shared, {pages[0]}, "999999999"));
    EXPECT_EQ(top.status, 0) << top.erreurs;
    EXPECT_TRUE(fs::exists(shared.prive() / "Img__999999999.png"));

    // Ctrl-C, then kill -9, once the stamps are being built.
    for (const int sig : {SIGINT, SIGKILL}) {
        Lancement l = numeroter(shared, pages, "999999000", shared.dir / "sortie");
        l.pendant = [&](pid_t pid) {
            for (bool building = false; !building && !termine(pid);) {
                std::error_code ec;
                for (const auto& e : fs::directory_iterator(shared.prive(), ec))
                    if (e.path().filename().string().starts_with("numerotation-"))
                        building = std::distance(fs::directory_iterator(e.path(), ec),
                                                 fs::directory_iterator()) >= 20;
                fin_dans(pid, std::chrono::milliseconds(2));
            }
            ::kill(pid, sig);
        };
        const Execution r = executer_cli(l);
        if (sig == SIGINT) {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.erreurs.find("Interruption : les tampons de numérotation n'ont pas été "
                                     "terminés, aucune page n'est numérotée"),
                      std::string::npos)
                << r.erreurs;
            EXPECT_TRUE(noms(shared.dir / "sortie").empty());
        }
        for (const std::string& n : noms(shared.prive()))
            EXPECT_FALSE(n.starts_with("numerotation-") && sig == SIGINT) << n;
    }
    // The work folder a kill -9 left goes with the next run.
    ASSERT_EQ(executer_cli(numeroter(shared, {pages[0]}, "1")).status, 0);
    for (const std::string& n : noms(shared.prive()))
        EXPECT_FALSE(n.starts_with("numerotation-")) << n;
}

}  // namespace
}  // namespace vellumor::faults
