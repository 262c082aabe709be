#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "batch/png_io.h"
#include "ops/leptonica/pix.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::entre_guillemets;

TEST(Importer, WritesNumberedPagesOrRefusesWithAReason) {
    test::TempDir dir;
    const leptonica::PixPtr pix(pixCreate(200, 100, 8));
    pixSetAllArbitrary(pix.get(), 200);
    ASSERT_EQ(pixWriteJpeg((dir / "scan.jpg").c_str(), pix.get(), 90, 0), 0);
    test::write_bytes(dir / "notes.txt", "pas une image");
    const std::string dest = entre_guillemets((dir / "pages").string());
    const std::string scan = entre_guillemets((dir / "scan.jpg").string());
    struct Cas {
        std::string arguments;
        int status;
        std::string attendu;
    };
    for (const Cas& c :
         {Cas{scan, 2, "Le dossier des pages (--dossier) n'est pas donné"},
          Cas{"--dossier " + dest + " --prefixe 'a/b' " + scan, 2, "Le préfixe ne peut contenir"},
          Cas{"--dossier " + dest + " " + scan + " " +
                  entre_guillemets((dir / "notes.txt").string()),
              1, "n'est pas un scan TIFF, JPEG, PNM ou PNG."},
          Cas{"--dossier " + dest + " --premier 3 --prefixe scan_ --dpi 150 " + scan, 0,
              "scan_0003.png\n1 page importée dans"},
          Cas{"--dossier " + dest + " --premier 3 --prefixe scan_ " + scan, 1,
              "scan_0003.png » existe déjà"}}) {
        const test::SortieCli s = test::lancer_cli("importer " + c.arguments, dir.path().string());
        EXPECT_EQ(s.status, c.status) << c.arguments << "\n" << s.texte;
        EXPECT_NE(s.texte.find(c.attendu), std::string::npos) << c.arguments << "\n" << s.texte;
    }
    const LoadResult page = load_png(dir / "pages" / "scan_0003.png");
    ASSERT_TRUE(page);
    EXPECT_EQ(page.image->file_depth(), 8);
    EXPECT_EQ(page.image->pixel(10, 10), couleur(200, 200, 200));
    EXPECT_EQ(test::folder_contents(dir / "pages").size(), 1u);
}

}  // namespace
}  // namespace vellumor
