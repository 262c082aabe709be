// What the export refuses or mends before a page reaches the printer: damaged picture data under
// right chunk checksums, headers that lie about the size, page sizes readers do not take, a full
// disk; and what it writes for pages it must decode.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <qpdf/QPDF.hh>
#include <random>

#include "ops/pdf/export_pdf.h"
#include "ops/pdf/page_pdf.h"
#include "ops/pdf/png_rows.h"
#include "support/pdf_tools.h"
#include "support/png_craft.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor::pdf {
namespace {

using test::ihdr_data;
using test::png_chunk;
using test::png_of;
using test::zlib_stream;

class Muette : public Progression {
  public:
    void icone_ligne(std::int64_t, int) override {}
    void texte_entete(const std::string&) override {}
    void evenement_fin(std::int64_t) override {}
    void fichier_fini(const std::filesystem::path&, IssueFichier, const std::string&) override {}
    void message(const Message&) override {}
};

ResultatPdf exporter(const std::vector<std::filesystem::path>& fichiers,
                     const std::filesystem::path& sortie, std::optional<int> dpi = 72) {
    ListeImages l;
    for (const auto& f : fichiers) l.push_back(entree_pour(f));
    Muette p;
    return exporter_pdf(l, {sortie, dpi}, p);
}

// 64 x 48 grey rows that compress poorly, each with its filter byte.
std::string lignes(int hauteur = 48, char filtre = 0) {
    std::string r;
    for (int y = 0; y < hauteur; ++y) {
        r += filtre;
        for (int x = 0; x < 64; ++x) r += char((x * x * 31 + y * 17) % 251);
    }
    return r;
}

TEST(VerificationPdf, DamagedPictureDataUnderRightChecksumsFailsTheExport) {
    const std::string ihdr = ihdr_data(64, 48, 8, PNG_COLOR_TYPE_GRAY);
    const std::string flux = zlib_stream(lignes());
    std::string adler = flux, octet = flux;
    adler.back() ^= 0x10;
    octet[flux.size() / 2] ^= 0x04;
    struct Cas {
        const char* nom;
        std::string idat;
        const char* raison;
    };
    const Cas cas[] = {
        {"Adler-32", adler, "somme de contrôle Adler-32 incorrecte"},
        {"un octet", octet, "le fichier est endommagé ("},
        {"pas du zlib", std::string(300, 'x'), "en-tête zlib invalide"},
        {"coupé", flux.substr(0, flux.size() / 2), "le fichier est endommagé ("},
        {"rangées manquantes", zlib_stream(lignes(40)), "données de l'image tronquées"},
        {"rangées en trop", zlib_stream(lignes(50)), "données de l'image en trop"},
        {"filtre 5", zlib_stream(lignes(48, 5)), "(filtre de ligne invalide, ligne 1)"},
    };
    test::TempDir dir;
    const auto bonne = dir / "page_1.png", pdf = dir / "livre.pdf";
    // Good data in two IDAT chunks: the checked stream is their join.
    test::write_bytes(bonne, "\x89PNG\r\n\x1a\n" + png_chunk("IHDR", ihdr) +
                                 png_chunk("IDAT", flux.substr(0, 100)) +
                                 png_chunk("IDAT", flux.substr(100)) + png_chunk("IEND", ""));
    ASSERT_TRUE(exporter({bonne}, pdf).ecrit);
    const std::string ancien = test::read_bytes(pdf);
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        test::write_bytes(dir / "page_2.png", png_of(ihdr, c.idat));
        const ResultatPdf r = exporter({bonne, dir / "page_2.png"}, pdf);
        EXPECT_FALSE(r.ecrit);
        EXPECT_NE(r.erreur.find("page_2.png » ne peut pas être lue : "), std::string::npos)
            << r.erreur;
        EXPECT_NE(r.erreur.find(c.raison), std::string::npos) << r.erreur;
        EXPECT_TRUE(test::read_bytes(pdf) == ancien);
    }
    EXPECT_EQ(test::folder_contents(dir.path()).size(), 3u);
}

// A few bytes declaring 30000 x 30000 interlaced pixels are refused before anything is
// allocated (they once took 890 MB): the peak memory of a child that exports them stays low.
TEST(VerificationPdf, AHeaderDeclaringAHugePictureIsRefusedAtOnce) {
    test::TempDir dir;
    const auto page = dir / "page_1.png";
    test::write_bytes(page, png_of(ihdr_data(30000, 30000, 8, PNG_COLOR_TYPE_GRAY, true),
                                   zlib_stream(std::string(200, '\0'))));
    // A child's peak starts at what its parent holds when it forks.
    long pages_parent = 0, taille = 0;
    std::ifstream("/proc/self/statm") >> taille >> pages_parent;
    const long ko_parent = pages_parent * (::sysconf(_SC_PAGESIZE) / 1024);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const ResultatPdf r = exporter({page}, dir / "livre.pdf");
        ::_exit(!r.ecrit && r.erreur.find("tronqué") != std::string::npos ? 0 : 1);
    }
    int statut = 0;
    struct rusage usage {};
    ASSERT_EQ(::wait4(pid, &statut, 0, &usage), pid);
    EXPECT_EQ(WEXITSTATUS(statut), 0);
    EXPECT_LT(usage.ru_maxrss - ko_parent, 200 * 1024);  // kilobytes
}

// An interlaced picture decoded a band of a few rows at a time gives the rows of the whole.
TEST(VerificationPdf, InterlacedPicturesDecodedByBandsGiveTheSameRows) {
    struct Cas {
        int type, profondeur;
    };
    for (const Cas c : {Cas{PNG_COLOR_TYPE_RGB_ALPHA, 8}, Cas{PNG_COLOR_TYPE_PALETTE, 4},
                        Cas{PNG_COLOR_TYPE_GRAY_ALPHA, 16}}) {
        SCOPED_TRACE(c.type);
        test::PngFile png = test::blank_png(37, 23, c.type, c.profondeur);
        for (std::size_t i = 0; i < png.samples.size(); ++i)
            png.samples[i] = std::uint16_t(i * 2654435761u >> (32 - c.profondeur));
        if (c.type == PNG_COLOR_TYPE_PALETTE) png.palette.assign(16, 0x336699);
        const std::string simple = test::encode_png(png);
        png.interlaced = true;
        const std::string entrelace = test::encode_png(png);
        const auto decoupe = decouper_png_memoire(simple, false);
        ASSERT_TRUE(decoupe);
        const ImagePdf image = image_pdf(decoupe->entete);
        std::string attendu, obtenu;
        const auto vers = [](std::string& s) {
            return [&s](const std::uint8_t* o, std::size_t n) { s.append((const char*)o, n); };
        };
        ASSERT_TRUE(lignes_decodees(simple, image, vers(attendu)));
        ASSERT_TRUE(lignes_decodees(entrelace, image, vers(obtenu), 200));
        EXPECT_EQ(obtenu, attendu);
    }
}

// Decoded pages are written with PNG row prediction: a smooth picture with a transparent colour
// takes no more room in the PDF than in its file (it took 44 times more).
TEST(VerificationPdf, DecodedPagesAreNoLargerThanTheirFiles) {
    test::TempDir dir;
    test::PngFile cle = test::blank_png(256, 256, PNG_COLOR_TYPE_RGB, 8);
    test::PngFile alpha = test::blank_png(256, 256, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            for (int k = 0; k < 3; ++k) {
                cle.at(x, y, k) = alpha.at(x, y, k) = std::uint16_t((x * (k + 1) + y) & 255);
                alpha.at(x, y, 3) = 255;
            }
    cle.transparent_colour = 0x000000;
    for (const test::PngFile& png : {cle, alpha}) {
        test::write_png_file(dir / "page.png", png);
        ASSERT_TRUE(exporter({dir / "page.png"}, dir / "livre.pdf").ecrit);
        EXPECT_LE(std::filesystem::file_size(dir / "livre.pdf"),
                  std::filesystem::file_size(dir / "page.png") + 1500);
        EXPECT_TRUE(test::pdf_sans_erreur(dir / "livre.pdf"));
    }
}

// 16-bit samples are predicted two bytes at a time: what a reader decodes is the picture composed
// over white at 16 bits.
TEST(VerificationPdf, SixteenBitAlphaPagesDecodeToTheirComposedSamples) {
    test::TempDir dir;
    for (int type : {PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY_ALPHA}) {
        test::PngFile png = test::blank_png(37, 23, type, 16);
        std::mt19937 hasard{unsigned(type)};
        for (std::uint16_t& e : png.samples) e = std::uint16_t(hasard());
        test::write_png_file(dir / "page.png", png);
        ASSERT_TRUE(exporter({dir / "page.png"}, dir / "livre.pdf").ecrit);
        QPDF lu;
        lu.processFile((dir / "livre.pdf").c_str());
        QPDFObjectHandle page = lu.getAllPages().at(0);
        QPDFObjectHandle image = page.getKey("/Resources").getKey("/XObject").getKey("/Im0");
        const auto donnees = image.getStreamData(qpdf_dl_generalized);
        const int canaux = png.channels();
        ASSERT_EQ(donnees->getSize(), png.samples.size() / canaux * (canaux - 1) * 2);
        const unsigned char* o = donnees->getBuffer();
        for (std::size_t p = 0, k = 0; p < png.samples.size(); p += canaux)
            for (int c = 0; c + 1 < canaux; ++c, k += 2)
                ASSERT_EQ(o[k] << 8 | o[k + 1],
                          composer_sur_blanc(png.samples[p + c], png.samples[p + canaux - 1], 16))
                    << type << " " << p;
    }
}

TEST(VerificationPdf, PageSidesReadersDoNotTake) {
    struct Cas {
        std::uint32_t largeur, hauteur, ppm;
        std::optional<int> dpi;
        const char* raison;  // empty: written
        int unite;
    };
    const Cas cas[] = {
        {1, 1, 23622, std::nullopt, "à 600 dpi, la page ne mesurerait que 0,12 point de large", 1},
        {40, 20, 23622, std::nullopt, "une résolution imposée de 480 dpi au plus l'agrandit", 1},
        {1, 1, 23622, 50, "l'image est trop petite pour faire une page", 1},
        {40, 20, 23622, 300, "", 1},
        {7014, 2480, 1000, std::nullopt, "", 2},  // 25.4 dpi: 19,882 x 7,030 points
    };
    test::TempDir dir;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.largeur);
        test::PngFile png = test::blank_png(int(c.largeur), int(c.hauteur), PNG_COLOR_TYPE_GRAY, 1);
        png.pixels_per_metre = {{c.ppm, c.ppm}};
        test::write_png_file(dir / "page.png", png);
        const ResultatPdf r = exporter({dir / "page.png"}, dir / "livre.pdf", c.dpi);
        EXPECT_EQ(r.ecrit, *c.raison == '\0') << r.erreur;
        EXPECT_NE(r.erreur.find(c.raison), std::string::npos) << r.erreur;
        if (!r.ecrit) continue;
        QPDF lu;
        lu.processFile((dir / "livre.pdf").c_str());
        QPDFObjectHandle page = lu.getAllPages().at(0);
        EXPECT_EQ(page.hasKey("/UserUnit") ? page.getKey("/UserUnit").getIntValue() : 1, c.unite);
        if (c.unite > 1) {
            EXPECT_EQ(lu.getPDFVersion(), "1.6");
            EXPECT_NEAR(page.getKey("/MediaBox").getArrayItem(2).getNumericValue(), 9941.1, 0.1);
        }
    }
}

// On a full disk the export fails and the PDF already there stays whole (a 1 MB tmpfs once got a
// truncated PDF reported written).
TEST(VerificationPdf, AFullDiskFailsTheExportAndKeepsTheEarlierPdf) {
    if (::geteuid() != 0) GTEST_SKIP() << "monter un tmpfs demande d'être root";
    test::TempDir dir;
    const auto disque = dir / "disque";
    std::filesystem::create_directory(disque);
    if (::mount("tmpfs", disque.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "tmpfs indisponible";
    struct Demontage {
        std::filesystem::path p;
        ~Demontage() { ::umount2(p.c_str(), MNT_DETACH); }
    } demontage{disque};
    // Pages that do not compress: together more than the disk holds, each under it.
    std::vector<std::filesystem::path> pages;
    for (int i = 1; i <= 3; ++i) {
        test::PngFile png = test::blank_png(620, 620, PNG_COLOR_TYPE_GRAY, 8);
        std::mt19937 hasard{unsigned(i)};
        for (std::uint16_t& e : png.samples) e = std::uint16_t(hasard() & 255);
        pages.push_back(dir / ("page_" + std::to_string(i) + ".png"));
        test::write_png_file(pages.back(), png);
    }
    const auto pdf = disque / "livre.pdf";
    ASSERT_TRUE(exporter({pages[0]}, pdf).ecrit);
    const std::string ancien = test::read_bytes(pdf);
    const ResultatPdf r = exporter(pages, pdf);
    EXPECT_FALSE(r.ecrit);
    EXPECT_NE(r.erreur.find("ne peut pas être écrit"), std::string::npos) << r.erreur;
    EXPECT_TRUE(test::read_bytes(pdf) == ancien);
    EXPECT_EQ(test::folder_contents(disque).size(), 1u);
}

}  // namespace
}  // namespace vellumor::pdf
