#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>

#include "batch/originaux.h"
#include "batch/png_io.h"
#include "cli/signals.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"
#include "support/waits.h"

extern char** environ;

namespace vellumor {
namespace {

using test::blank_png;
using test::PngFile;

struct Sortie {
    int code = -1;
    std::string out, err;
};

// Starts vellumor-cli with args, its output going to files of dir; the caller waits.
pid_t demarrer(const test::TempDir& dir, const std::vector<std::string>& args) {
    std::vector<std::string> tout = {VELLUMOR_CLI_PATH};
    tout.insert(tout.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : tout) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir / "cli.out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (dir / "cli.err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

Sortie attendre(const test::TempDir& dir, pid_t pid) {
    Sortie s;
    int statut = 0;
    waitpid(pid, &statut, 0);
    s.code = WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
    s.out = test::read_bytes(dir / "cli.out");
    s.err = test::read_bytes(dir / "cli.err");
    std::filesystem::remove(dir / "cli.out");
    std::filesystem::remove(dir / "cli.err");
    return s;
}

Sortie lancer(const test::TempDir& dir, const std::vector<std::string>& args) {
    return attendre(dir, demarrer(dir, args));
}

// Starts vellumor-cli with stderr on a pipe, asking it to say when its signal handlers are in
// place; sends sig once that line came, then reads stderr to its end (without that line).
Sortie interrompre_une_fois_pret(const test::TempDir& dir, std::vector<std::string> args, int sig) {
    args.insert(args.begin(), VELLUMOR_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string annonce = std::string(cli::kVariableAnnonceSignaux) + "=1";
    std::vector<char*> env = {annonce.data()};
    for (char** e = environ; *e; ++e) env.push_back(*e);
    env.push_back(nullptr);
    int tube[2];
    EXPECT_EQ(pipe2(tube, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir / "cli.out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, tube[1], STDERR_FILENO);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(tube[1]);
    const std::string pret = std::string(cli::kLigneSignauxPrets) + "\n";
    std::string err;
    bool envoye = false;
    const auto fin = std::chrono::steady_clock::now() + test::kDelaiGenereux;
    for (char bloc[4096];;) {
        pollfd p{tube[0], POLLIN, 0};
        const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(
            fin - std::chrono::steady_clock::now());
        if (reste.count() <= 0 || poll(&p, 1, int(reste.count())) <= 0) {
            ADD_FAILURE() << "vellumor-cli hung; stderr so far:\n" << err;
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(tube[0], bloc, sizeof bloc);
        if (n <= 0) break;
        err.append(bloc, std::size_t(n));
        if (!envoye && err.find(pret) != std::string::npos) {
            kill(pid, sig);
            envoye = true;
        }
    }
    close(tube[0]);
    EXPECT_TRUE(envoye) << err;
    Sortie s = attendre(dir, pid);
    if (const std::size_t i = err.find(pret); i != std::string::npos) err.erase(i, pret.size());
    s.err = err;
    return s;
}

// An 8-bit grey page, white but for a black rectangle.
void ecrire_page(const std::filesystem::path& f, int w, int h, int x0, int y0, int x1, int y1,
                 int depth = 8) {
    PngFile png = blank_png(w, h, PNG_COLOR_TYPE_GRAY, depth);
    for (auto& s : png.samples) s = std::uint16_t((1u << depth) - 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) png.at(x, y) = 0;
    test::write_png_file(f, png);
}

bool contient(const std::string& texte, const std::string& morceau) {
    return texte.find(morceau) != std::string::npos;
}

// The originals a run keeps beside the pages are no stray file.
std::size_t nombre_fichiers(const test::TempDir& dir) {
    std::size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename() != kDossierOriginaux;
    return n;
}

TEST(CliDetourer, CropsEveryPageReportsAndExitsZero) {
    test::TempDir dir;
    ecrire_page(dir / "scan_10.png", 60, 80, 5, 6, 20, 30);
    ecrire_page(dir / "scan_2.png", 60, 80, 10, 10, 11, 11);
    ecrire_page(dir / "scan_3.png", 60, 80, 0, 0, 59, 79);
    const Sortie s = lancer(dir, {"detourer", (dir / "scan_10.png").string(),
                                  (dir / "scan_2.png").string(), (dir / "scan_3.png").string()});
    EXPECT_EQ(s.code, 0) << s.err;
    EXPECT_EQ(s.out, "Non écrit : " + (dir / "scan_3.png").string() +
                         " : aucune marge à retirer, rien n'est écrit\n"
                         " 3 fichiers (Fichiers traités : 3/3)\n"
                         "Les opérations de détourage sont terminées\n" +
                         texte_originaux_gardes(executions_gardees(dir.path()).back().dossier) +
                         "\n");
    EXPECT_EQ(s.err, "");  // not a terminal: no progress bar
    const auto a = test::read_png_file(dir / "scan_10.png");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->width, 16);
    EXPECT_EQ(a->height, 25);
    EXPECT_EQ(a->bit_depth, 8);
    EXPECT_EQ(test::read_png_file(dir / "scan_2.png")->width, 2);
    EXPECT_EQ(nombre_fichiers(dir), 3u);
}

TEST(CliDetourer, FailedFilesGetALineAndExitOneWhileTheOthersAreDone) {
    test::TempDir dir;
    ecrire_page(dir / "p_1.png", 40, 40, 5, 5, 9, 9);
    test::write_bytes(dir / "p_2.png", "pas une image");
    ecrire_page(dir / "p_3.png", 40, 40, 5, 5, 9, 9, 16);  // 16 bits: cannot be written back
    const std::string avant = test::read_bytes(dir / "p_3.png");
    const Sortie s =
        lancer(dir, {"detourer", (dir / "p_1.png").string(), (dir / "p_2.png").string(),
                     (dir / "p_3.png").string(), (dir / "absent_4.png").string()});
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(contient(s.err, "Échec : " + (dir / "p_2.png").string() + " : ")) << s.err;
    EXPECT_TRUE(
        contient(s.err, "Échec : " + (dir / "p_3.png").string() + " : Impossible d'écrire"));
    EXPECT_TRUE(contient(s.err, "Échec : " + (dir / "absent_4.png").string() + " : "));
    EXPECT_TRUE(contient(s.out, " 4 fichiers (Fichiers traités : 1/4)\n"));
    EXPECT_EQ(test::read_bytes(dir / "p_3.png"), avant);
    EXPECT_EQ(test::read_png_file(dir / "p_1.png")->width, 5);
    EXPECT_EQ(nombre_fichiers(dir), 3u);  // no temporary file left behind
}

TEST(CliNettoyer, MaskOptionsSilentModeAndByteIdenticalSourceOnFailedWrite) {
    test::TempDir dir;
    ecrire_page(dir / "f_1.png", 30, 30, 10, 10, 11, 10);  // a 2 x 1 speck
    Sortie s = lancer(dir, {"nettoyer", "--silencieux", (dir / "f_1.png").string()});
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.out + s.err, "");
    EXPECT_EQ(load_png(dir / "f_1.png").image->pixel(10, 10), kBlack);  // pattern 1 only
    s = lancer(dir, {"nettoyer", "--motifs", "2", (dir / "f_1.png").string()});
    EXPECT_EQ(s.code, 0) << s.err;
    EXPECT_EQ(s.out,
              " 1 fichier (Fichier traité : 1/1)\nLes opérations de nettoyage sont terminées\n" +
                  texte_originaux_gardes(executions_gardees(dir.path()).back().dossier) + "\n");
    EXPECT_EQ(load_png(dir / "f_1.png").image->pixel(10, 10), kWhite);

    ecrire_page(dir / "f_2.png", 30, 30, 10, 10, 10, 10, 16);
    const std::string avant = test::read_bytes(dir / "f_2.png");
    s = lancer(dir, {"nettoyer", "--masque", "127", "--silencieux", (dir / "f_2.png").string()});
    EXPECT_EQ(s.code, 1);
    EXPECT_EQ(s.out, "");
    EXPECT_TRUE(contient(s.err, "Échec : " + (dir / "f_2.png").string()));
    EXPECT_EQ(test::read_bytes(dir / "f_2.png"), avant);
    EXPECT_EQ(nombre_fichiers(dir), 2u);
}

TEST(CliCommandes, UsageErrorsExitTwoAndHelpExitsZero) {
    test::TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"detourer"},
          {"detourer", "--masque", "3", "a.png"},
          {"nettoyer", "--motifs", "8", "a.png"},
          {"nettoyer", "--masque"},
          {"coloriser", "--inconnu"},
          {"commande-inconnue"},
          {"detourer", "--liste", (dir / "absente.txt").string()}}) {
        const Sortie s = lancer(dir, args);
        EXPECT_EQ(s.code, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(s.err.empty());
    }
    for (const char* c : {"nettoyer", "detourer", "coloriser", "net-det-col"}) {
        const Sortie s = lancer(dir, {c, "--aide"});
        EXPECT_EQ(s.code, 0);
        EXPECT_TRUE(contient(s.out, std::string("Utilisation : vellumor-cli ") + c)) << s.out;
    }
    const Sortie s = lancer(dir, {"--help"});
    EXPECT_EQ(s.code, 0);
    EXPECT_TRUE(contient(s.out, "net-det-col"));
}

TEST(CliNetDetCol, ChainsOnTheListFileAndArgumentsAndColourisesTheCroppedPage) {
    test::TempDir dir;
    ecrire_page(dir / "b_7.png", 50, 50, 20, 20, 29, 24);
    ecrire_page(dir / "b_8.png", 50, 50, 3, 3, 3, 3);  // a lone speck: cleaned, then blank
    test::write_bytes(dir / "liste.txt",
                      "\xEF\xBB\xBF; pages\r\n" + (dir / "b_8.png").string() + "\r\n");
    const Sortie s = lancer(
        dir, {"net-det-col", "--liste", (dir / "liste.txt").string(), (dir / "b_7.png").string()});
    EXPECT_EQ(s.code, 0) << s.err;
    EXPECT_TRUE(contient(s.out, "Non écrit : " + (dir / "b_8.png").string() + " : page blanche"));
    EXPECT_TRUE(contient(s.out,
                         " 2 fichiers (Fichiers traités : 2/2)\n"
                         "Les opérations de nettoyage sont terminées\n"
                         "Les opérations de détourage sont terminées\n"
                         "Les opérations de colorisation sont terminées\n"));
    const auto bleue = test::read_png_file(dir / "b_7_Col.png");
    ASSERT_TRUE(bleue);
    EXPECT_EQ(bleue->width, 10);
    EXPECT_EQ(bleue->height, 5);
    EXPECT_EQ(bleue->colour_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(load_png(dir / "b_7_Col.png").image->pixel(0, 0), 0xFF0000u);
    EXPECT_TRUE(std::filesystem::exists(dir / "b_8_Col.png"));
}

// One pass per page writes, byte for byte, what the three commands write one after the other:
// grey, bi-level and colour pages, a blank one, one with no margin, one whose depth cannot hold
// its colours (the cropping then starts from the file) and one whose depth cannot be written
// (the cleaning fails, the next steps start from the page as it is).
TEST(CliNetDetCol, WritesTheFilesOfCleaningThenCroppingThenColourising) {
    test::TempDir chain, steps;
    std::vector<std::pair<std::string, PngFile>> pages;
    auto add = [&](const std::string& name, PngFile png) { pages.emplace_back(name, png); };
    PngFile grey = blank_png(40, 30, PNG_COLOR_TYPE_GRAY, 8);
    for (std::size_t i = 0; i < grey.samples.size(); ++i)
        grey.samples[i] = i % 97 == 0 ? 0 : i % 11 == 0 ? 200 : 255;
    for (int y = 8; y < 20; ++y)
        for (int x = 5; x < 30; ++x) grey.at(x, y) = std::uint16_t((x * y) % 256);
    add("grey_1.png", grey);
    PngFile bilevel = blank_png(33, 20, PNG_COLOR_TYPE_GRAY, 1);
    for (std::size_t i = 0; i < bilevel.samples.size(); ++i) bilevel.samples[i] = i % 13 != 0;
    add("bilevel_2.png", bilevel);
    PngFile rgb = blank_png(20, 20, PNG_COLOR_TYPE_RGB, 8);
    for (std::size_t i = 0; i < rgb.samples.size(); ++i) rgb.samples[i] = i % 23 ? 255 : i % 256;
    add("rgb_3.png", rgb);
    add("blank_4.png", blank_png(9, 9, PNG_COLOR_TYPE_GRAY, 8));  // all black: no margin
    PngFile white = blank_png(9, 9, PNG_COLOR_TYPE_GRAY, 8);
    for (auto& v : white.samples) v = 255;
    white.at(4, 4) = 0;  // a lone speck: blank once cleaned
    add("white_5.png", white);
    PngFile light = blank_png(12, 12, PNG_COLOR_TYPE_PALETTE, 1);
    light.palette = {0xC8C8C8, kBlack};  // the light grey is written white at one bit
    for (int y = 4; y < 8; ++y)
        for (int x = 3; x < 9; ++x) light.at(x, y) = 1;
    add("light_6.png", light);
    PngFile deep = blank_png(10, 10, PNG_COLOR_TYPE_GRAY, 16);
    for (auto& v : deep.samples) v = 0xFFFF;
    deep.at(3, 3) = 0;
    add("deep_7.png", deep);
    for (const auto& [name, png] : pages) {
        test::write_png_file(chain / name, png);
        test::write_png_file(steps / name, png);
    }
    const Sortie s = lancer(chain, {"net-det-col", "--masque", "127", chain.path().string()});
    EXPECT_EQ(s.code, 1) << s.err;  // the 16-bit page cannot be written
    for (const std::vector<std::string>& c : std::vector<std::vector<std::string>>{
             {"nettoyer", "--masque", "127"}, {"detourer"}, {"coloriser"}}) {
        std::vector<std::string> args = c;
        args.push_back(steps.path().string());
        lancer(steps, args);
    }
    for (const auto& [name, png] : pages) {
        const std::string col = name.substr(0, name.size() - 4) + "_Col.png";
        EXPECT_EQ(test::read_bytes(chain / name), test::read_bytes(steps / name)) << name;
        EXPECT_EQ(test::read_bytes(chain / col), test::read_bytes(steps / col)) << col;
    }
    EXPECT_EQ(nombre_fichiers(chain), nombre_fichiers(steps));
}

// Sends sig to a run of commande over 60 pages once its handlers are in place: the run stops
// taking pages and ends on its interruption line with status 1, every page whole.
void interrompre_sur_60_pages(const std::vector<std::string>& commande, int sig) {
    test::TempDir dir;
    ecrire_page(dir / "modele.png", 600, 800, 50, 50, 500, 700);
    const std::string original = test::read_bytes(dir / "modele.png");
    std::vector<std::string> args = commande;
    for (int i = 1; i <= 60; ++i) {
        const auto f = dir / ("page_" + std::to_string(i) + ".png");
        std::filesystem::copy_file(dir / "modele.png", f);
        args.push_back(f.string());
    }
    const Sortie s = interrompre_une_fois_pret(dir, args, sig);
    EXPECT_EQ(s.code, 1);
    EXPECT_TRUE(contient(s.err, "Traitement interrompu")) << s.err;
    EXPECT_TRUE(contient(s.err, "Traitement interrompu : ")) << s.err;
    EXPECT_TRUE(contient(s.err, " sur 60\n")) << s.err;
    EXPECT_FALSE(contient(s.out, "sont terminées")) << s.out;
    int intactes = 0;
    for (int i = 1; i <= 60; ++i) {
        const auto f = dir / ("page_" + std::to_string(i) + ".png");
        intactes += test::read_bytes(f) == original;
        EXPECT_TRUE(load_png(f)) << f;  // either as it was or fully rewritten
    }
    EXPECT_GT(intactes, 0);
    EXPECT_EQ(nombre_fichiers(dir), 61u);
}

TEST(CliInterruption, SigintStopsTakingFilesAndLeavesEveryPageWhole) {
    interrompre_sur_60_pages({"nettoyer", "--masque", "127"}, SIGINT);
}

TEST(CliInterruption, TermAndHangupStopRunsLikeCtrlC) {
    const struct {
        std::vector<std::string> commande;
        int signal;
    } cas[] = {
        {{"nettoyer", "--masque", "127"}, SIGTERM},
        {{"nettoyer", "--masque", "127"}, SIGHUP},
        {{"reconstituer"}, SIGTERM},
        {{"reconstituer"}, SIGHUP},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.commande[0] + " " + strsignal(c.signal));
        interrompre_sur_60_pages(c.commande, c.signal);
    }
}

}  // namespace
}  // namespace vellumor
