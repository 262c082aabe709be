#include "cli_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace vellumor::faults {

Lancement avec_arguments(std::vector<std::string> args) {
    Lancement l;
    l.args = std::move(args);
    return l;
}

bool est_superutilisateur() {
    return ::geteuid() == 0;
}

bool fin_dans(pid_t pid, std::chrono::microseconds delai) {
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(delai);
    const timespec attente{time_t(s.count()), long((delai - s).count()) * 1000};
    pollfd p{fd, POLLIN, 0};
    int n;
    while ((n = ::ppoll(&p, 1, &attente, nullptr)) < 0 && errno == EINTR) {
    }
    ::close(fd);
    return n > 0;
}

Execution executer_cli(const Lancement& lancement) {
    test::TempDir captures;
    const std::string out = (captures / "stdout").string();
    const std::string err = (captures / "stderr").string();
    // VELLUMOR_TEST_CLI runs the same tests against another build of the program.
    const char* autre = std::getenv("VELLUMOR_TEST_CLI");
    std::vector<std::string> words = {autre && *autre ? autre : VELLUMOR_CLI_PATH};
    words.insert(words.end(), lancement.args.begin(), lancement.args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const bool drop = lancement.sans_privileges && est_superutilisateur();
    if (drop) ::chmod(captures.path().c_str(), 0777);

    const auto debut = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(kUtilisateurSansPrivileges) != 0 ||
                     ::setuid(kUtilisateurSansPrivileges) != 0))
            ::_exit(126);
        if (!lancement.dossier_courant.empty() && ::chdir(lancement.dossier_courant.c_str()) != 0)
            ::_exit(126);
        for (const auto& [name, value] : lancement.variables)
            ::setenv(name.c_str(), value.c_str(), 1);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (lancement.pendant) lancement.pendant(pid);
    if (lancement.tuer_apres && !fin_dans(pid, *lancement.tuer_apres)) ::kill(pid, SIGKILL);
    int status = 0;
    struct rusage usage {};
    if (lancement.delai_max || lancement.interrompre_quand) {
        bool interrompu = false;
        for (;;) {
            const pid_t fini = ::wait4(pid, &status, WNOHANG, &usage);
            if (fini == pid || (fini < 0 && errno != EINTR)) break;
            if (lancement.delai_max &&
                std::chrono::steady_clock::now() - debut > *lancement.delai_max)
                ::kill(pid, SIGKILL);
            if (!interrompu && lancement.interrompre_quand && lancement.interrompre_quand()) {
                ::kill(pid, SIGINT);
                interrompu = true;
            }
            fin_dans(pid, std::chrono::milliseconds(5));
        }
    } else {
        while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
    }
    Execution r;
    r.secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    r.tue = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.pic_memoire_ko = usage.ru_maxrss;
    r.sortie = test::read_bytes(out);
    r.erreurs = test::read_bytes(err);
    return r;
}

std::vector<std::string> lignes_avec(const std::string& text,
                                     const std::vector<std::string>& needles) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        bool all = true;
        for (const std::string& n : needles) all = all && line.find(n) != std::string::npos;
        if (all) found.push_back(line);
    }
    return found;
}

}  // namespace vellumor::faults
