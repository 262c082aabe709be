// What the program writes beside the pages (a PDF, colourised and numbered copies), tried as
// another user of a shared folder would: a link planted at the output name, and the mode a new
// file takes under the user's umask.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "cli_process.h"
#include "pages.h"
#include "support/temp_dir.h"

namespace vellumor::faults {
namespace {

namespace fs = std::filesystem;

struct Sortie {
    const char* commande;
    const char* nom;  // the file the command writes into the shared folder
};

constexpr Sortie kSorties[] = {
    {"pdf", "livre.pdf"},
    {"coloriser", "p_1_Col.png"},
    {"numeroter", "Img__1.png"},
};

std::vector<std::string> arguments(const Sortie& s, const fs::path& partage) {
    const std::string page = (partage / "p_1.png").string();
    if (std::string_view(s.commande) == "pdf")
        return {"pdf", "--sortie", (partage / s.nom).string(), page};
    if (std::string_view(s.commande) == "numeroter")
        return {"numeroter", "--debut", "1", "--dossier", partage.string(), page};
    return {s.commande, page};
}

// A folder anyone may write to, without the sticky bit, with one page in it.
struct Partage {
    test::TempDir dir;
    fs::path partage = dir / "partage";
    fs::path victime = dir / "victime.txt";
    Partage() {
        fs::create_directory(partage);
        ::chmod(dir.path().c_str(), 0755);
        ::chmod(partage.c_str(), 0777);
        test::write_png_file(partage / "p_1.png", page_avec_marges(60, 80, 1));
        test::write_bytes(victime, "à moi");
    }
    // The link is made by another user when this test may change user, else by this one.
    void planter_lien(const std::string& nom) const {
        const fs::path lien = partage / nom;
        if (!est_superutilisateur()) return fs::create_symlink(victime, lien);
        const std::string commande =
            "setpriv --reuid=" + std::to_string(kUtilisateurSansPrivileges) +
            " --regid=" + std::to_string(kUtilisateurSansPrivileges) + " --clear-groups ln -s '" +
            victime.string() + "' '" + lien.string() + "'";
        ASSERT_EQ(std::system(commande.c_str()), 0) << commande;
    }
};

TEST(Sorties, ALinkPlantedAtTheOutputNameIsRefusedAndItsTargetKept) {
    for (const Sortie& s : kSorties) {
        SCOPED_TRACE(s.commande);
        Partage p;
        p.planter_lien(s.nom);
        const Execution r = executer_cli(avec_arguments(arguments(s, p.partage)));
        EXPECT_EQ(r.status, 1) << r.sortie << r.erreurs;
        EXPECT_NE((r.sortie + r.erreurs).find("est un lien symbolique : rien n'est écrit"),
                  std::string::npos)
            << r.sortie << r.erreurs;
        EXPECT_EQ(test::read_bytes(p.victime), "à moi");
        EXPECT_TRUE(fs::is_symlink(p.partage / s.nom));
    }
}

TEST(Sorties, ANewFileTakesTheModeTheUmaskLeaves) {
    for (const mode_t masque : {mode_t(022), mode_t(077)}) {
        const mode_t avant = ::umask(masque);
        for (const Sortie& s : kSorties) {
            SCOPED_TRACE(std::string(s.commande) + " umask " + std::to_string(masque));
            Partage p;
            const Execution r = executer_cli(avec_arguments(arguments(s, p.partage)));
            EXPECT_EQ(r.status, 0) << r.sortie << r.erreurs;
            struct stat st {};
            ASSERT_EQ(::stat((p.partage / s.nom).c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0666 & ~masque);
        }
        ::umask(avant);
    }
}

}  // namespace
}  // namespace vellumor::faults
