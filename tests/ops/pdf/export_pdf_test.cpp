// The PDF export on real files, checked with poppler's pdfinfo / pdfimages and qpdf --check.
#include "ops/pdf/export_pdf.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "batch/png_io.h"
#include "batch/png_io_palette.h"
#include "ops/pdf/pdf_constants.h"
#include "ops/pdf/png_chunks.h"
#include "support/pdf_tools.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor::pdf {
namespace {

using test::blank_png;
using test::PngFile;

class Silencieuse : public Progression {
  public:
    void icone_ligne(std::int64_t ligne, int icone) override { icones.emplace_back(ligne, icone); }
    void texte_entete(const std::string& t) override { entete = t; }
    void evenement_fin(std::int64_t) override {}
    void fichier_fini(const std::filesystem::path&, IssueFichier issue,
                      const std::string&) override {
        if (issue == IssueFichier::Echec) ++echecs;
    }
    void message(const Message&) override {}
    std::vector<std::pair<std::int64_t, int>> icones;
    std::string entete;
    int echecs = 0;
};

std::string q(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

ListeImages liste_de(const std::vector<std::filesystem::path>& fichiers) {
    ListeImages l;
    for (const auto& f : fichiers) l.push_back(entree_pour(f));
    return l;
}

ResultatPdf exporter(const std::vector<std::filesystem::path>& fichiers,
                     const std::filesystem::path& sortie, std::optional<int> dpi = {}) {
    Silencieuse p;
    return exporter_pdf(liste_de(fichiers), {sortie, dpi}, p);
}

// The page as a reader shows it on white paper: RGB, alpha composed over white.
Image sur_blanc(const Image& image) {
    if (!image.has_alpha()) return image;
    auto r = Image::create(image.width(), image.height(), 24, kWhite);
    for (int y = 0; y < image.height(); ++y)
        png_detail::compose_over_white(image.row(y), image.width(), r->row(y));
    return *r;
}

// The same colour words, whatever layout each image is held in.
bool memes_pixels(const Image& a, const Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

PngFile image_test(int type, int profondeur, int largeur = 37, int hauteur = 23) {
    PngFile png = blank_png(largeur, hauteur, type, profondeur);
    png.pixels_per_metre = {{2835, 2835}};  // 72 dpi: a page of a few points, which readers take
    const int max = (1 << profondeur) - 1;
    for (int y = 0; y < hauteur; ++y)
        for (int x = 0; x < largeur; ++x)
            for (int c = 0; c < png.channels(); ++c)
                png.at(x, y, c) = std::uint16_t((x * 7 + y * 13 + c * 101) % (max + 1));
    if (type == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i <= max; ++i)
            png.palette.push_back(couleur(std::uint8_t(i * 3), std::uint8_t(255 - i), 40));
    return png;
}

struct CasFormat {
    const char* nom;
    PngFile png;
    const char* couleur;  // as pdfimages -list says
    int bpc;
};

std::vector<CasFormat> cas_formats() {
    std::vector<CasFormat> cas;
    cas.push_back({"gris 8", image_test(PNG_COLOR_TYPE_GRAY, 8), "gray", 8});
    cas.push_back({"gris 1", image_test(PNG_COLOR_TYPE_GRAY, 1), "gray", 1});
    cas.push_back({"gris 4", image_test(PNG_COLOR_TYPE_GRAY, 4), "gray", 4});
    cas.push_back({"palette 8", image_test(PNG_COLOR_TYPE_PALETTE, 8), "index", 8});
    cas.push_back({"palette 2", image_test(PNG_COLOR_TYPE_PALETTE, 2), "index", 2});
    PngFile noir_blanc = image_test(PNG_COLOR_TYPE_PALETTE, 1);
    noir_blanc.palette = {kBlack, kWhite};
    cas.push_back({"palette noir et blanc", noir_blanc, "gray", 1});
    PngFile gris_palette = image_test(PNG_COLOR_TYPE_PALETTE, 4);
    for (std::uint32_t i = 0; i < 16; ++i) gris_palette.palette[i] = (255 - i * 9) * 0x010101u;
    cas.push_back({"palette de gris", gris_palette, "index", 4});
    PngFile palette_alpha = image_test(PNG_COLOR_TYPE_PALETTE, 8);
    for (int i = 0; i < 200; ++i) palette_alpha.palette_alpha.push_back(std::uint8_t(i));
    cas.push_back({"palette avec transparence", palette_alpha, "index", 8});
    cas.push_back({"RVB", image_test(PNG_COLOR_TYPE_RGB, 8), "rgb", 8});
    cas.push_back({"RVBA", image_test(PNG_COLOR_TYPE_RGB_ALPHA, 8), "rgb", 8});
    cas.push_back({"gris + alpha", image_test(PNG_COLOR_TYPE_GRAY_ALPHA, 8), "gray", 8});
    PngFile cle = image_test(PNG_COLOR_TYPE_GRAY, 2);
    cle.transparent_grey = 1;
    cas.push_back({"gris 2 avec couleur transparente", cle, "gray", 8});
    PngFile entrelace = image_test(PNG_COLOR_TYPE_RGB, 8);
    entrelace.interlaced = true;
    cas.push_back({"RVB entrelacé", entrelace, "rgb", 8});
    PngFile palette_entrelacee = image_test(PNG_COLOR_TYPE_PALETTE, 4);
    palette_entrelacee.interlaced = true;
    cas.push_back({"palette entrelacée", palette_entrelacee, "index", 4});
    return cas;
}

TEST(ExportPdf, EveryKindOfPageKeepsItsColourSpaceAndItsPixels) {
    test::TempDir dir;
    const auto cas = cas_formats();
    std::vector<std::filesystem::path> fichiers;
    for (std::size_t i = 0; i < cas.size(); ++i) {
        fichiers.push_back(dir / ("page_" + std::to_string(i) + ".png"));
        test::write_png_file(fichiers.back(), cas[i].png);
    }
    const auto pdf = dir / "livre.pdf";
    const ResultatPdf r = exporter(fichiers, pdf);
    ASSERT_TRUE(r.ecrit) << r.erreur;
    EXPECT_EQ(r.pages, std::int64_t(cas.size()));
    EXPECT_TRUE(test::pdf_sans_erreur(pdf));
    const auto images = test::images_pdf(pdf);
    ASSERT_EQ(images.size(), cas.size());
    std::filesystem::create_directory(dir / "x");
    test::sortie_commande("pdfimages -png " + q(pdf) + " " + q(dir / "x" / "i"));
    for (std::size_t i = 0; i < cas.size(); ++i) {
        SCOPED_TRACE(cas[i].nom);
        EXPECT_EQ(images[i].first, cas[i].couleur);
        EXPECT_EQ(images[i].second, cas[i].bpc);
        char nom[32];
        std::snprintf(nom, sizeof nom, "i-%03zu.png", i);
        const LoadResult source = load_png(fichiers[i]);
        const LoadResult extraite = load_png(dir / "x" / nom);
        ASSERT_TRUE(source && extraite) << extraite.message;
        EXPECT_TRUE(memes_pixels(sur_blanc(*source.image), *extraite.image));
    }
}

// pdfimages reads 16-bit pictures at 8 bits: the samples are read from the stream itself.
TEST(ExportPdf, SixteenBitGreyKeepsItsSixteenBits) {
    test::TempDir dir;
    const PngFile png = image_test(PNG_COLOR_TYPE_GRAY, 16);
    test::write_png_file(dir / "page_1.png", png);
    ASSERT_TRUE(exporter({dir / "page_1.png"}, dir / "livre.pdf").ecrit);
    QPDF lu;
    lu.processFile((dir / "livre.pdf").c_str());
    const auto pages = lu.getAllPages();
    ASSERT_EQ(pages.size(), 1u);
    auto image = QPDFPageObjectHelper(pages[0]).getImages().begin()->second;
    EXPECT_EQ(image.getDict().getKey("/BitsPerComponent").getIntValue(), 16);
    const auto donnees = image.getStreamData(qpdf_dl_generalized);
    ASSERT_EQ(donnees->getSize(), png.samples.size() * 2);
    for (std::size_t i = 0; i < png.samples.size(); ++i)
        ASSERT_EQ(donnees->getBuffer()[2 * i] << 8 | donnees->getBuffer()[2 * i + 1],
                  png.samples[i]);
}

// What Vellumor writes (no row filter, one zlib stream) goes into the PDF byte for byte.
TEST(ExportPdf, PagesWrittenByVellumorAreCarriedOverUnchanged) {
    test::TempDir dir;
    auto page = Image::create(64, 48, 24, kWhite);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            page->set_pixel(x, y, std::uint8_t((x * 4 + y) % 128 * 2) * 0x010101u);
    struct Cas {
        int profondeur;
        const char* couleur;
    };
    const Cas cas[] = {{1, "gray"}, {8, "index"}, {24, "rgb"}};
    std::vector<std::filesystem::path> fichiers;
    for (const Cas& c : cas) {
        fichiers.push_back(dir / ("page_" + std::to_string(c.profondeur) + ".png"));
        ASSERT_TRUE(save_png(*page, fichiers.back(), c.profondeur));
    }
    ASSERT_TRUE(exporter(fichiers, dir / "livre.pdf").ecrit);
    const auto images = test::images_pdf(dir / "livre.pdf");
    QPDF lu;
    lu.processFile((dir / "livre.pdf").c_str());
    const auto pages = lu.getAllPages();
    ASSERT_EQ(pages.size(), std::size(cas));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(cas[i].profondeur);
        EXPECT_EQ(images[i].first, cas[i].couleur);
        auto image = QPDFPageObjectHelper(pages[i]).getImages().begin()->second;
        const auto brut = image.getRawStreamData();
        std::string idat;
        const auto png = decouper_png(fichiers[i], true);
        ASSERT_TRUE(png);
        for (std::string_view d : png->donnees) idat += d;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(brut->getBuffer()), brut->getSize()),
                  idat);
    }
}

TEST(ExportPdf, PageSizeComesFromTheResolution) {
    test::TempDir dir;
    struct Cas {
        int largeur, hauteur;
        std::optional<std::uint32_t> ppm;
        double w, h;
    };
    const Cas cas[] = {
        {4961, 7016, 23622, 595.32, 841.92},  // A4 at 600 dpi
        {3780, 5787, 23622, 453.60, 694.44},  // the 160 x 245 mm bulletin
        {3780, 5787, std::nullopt, 453.60, 694.44},
        {2480, 3508, 11811, 595.20, 841.92},  // A4 at 300 dpi
    };
    std::vector<std::filesystem::path> fichiers;
    for (const Cas& c : cas) {
        PngFile png = blank_png(c.largeur, c.hauteur, PNG_COLOR_TYPE_GRAY, 1);
        if (c.ppm) png.pixels_per_metre = {{*c.ppm, *c.ppm}};
        fichiers.push_back(dir / ("page_" + std::to_string(fichiers.size()) + ".png"));
        test::write_png_file(fichiers.back(), png);
    }
    ASSERT_TRUE(exporter(fichiers, dir / "livre.pdf").ecrit);
    const auto tailles = test::tailles_pages_pdf(dir / "livre.pdf");
    ASSERT_EQ(tailles.size(), std::size(cas));
    for (std::size_t i = 0; i < tailles.size(); ++i) {
        EXPECT_NEAR(tailles[i].first, cas[i].w, 0.05) << i;
        EXPECT_NEAR(tailles[i].second, cas[i].h, 0.05) << i;
    }
    // An imposed resolution holds for every page, whatever its own.
    ASSERT_TRUE(exporter(fichiers, dir / "impose.pdf", 300).ecrit);
    const auto imposees = test::tailles_pages_pdf(dir / "impose.pdf");
    ASSERT_EQ(imposees.size(), std::size(cas));
    EXPECT_NEAR(imposees[0].first, 1190.64, 0.05);
    EXPECT_NEAR(imposees[3].second, 841.92, 0.05);
    const std::string infos = test::sortie_commande("pdfinfo " + q(dir / "livre.pdf"));
    EXPECT_NE(infos.find("Title:           livre"), std::string::npos) << infos;
    EXPECT_NE(infos.find("Producer:        Vellumor"), std::string::npos);
}

TEST(ExportPdf, PagesFollowTheListOrderAndReportProgress) {
    test::TempDir dir;
    std::vector<std::filesystem::path> fichiers;
    for (int largeur : {30, 10, 20}) {
        fichiers.push_back(dir / ("p" + std::to_string(largeur) + ".png"));
        test::write_png_file(fichiers.back(), blank_png(largeur, 5, PNG_COLOR_TYPE_GRAY, 8));
    }
    Silencieuse p;
    ASSERT_TRUE(exporter_pdf(liste_de(fichiers), {dir / "l.pdf", 72}, p).ecrit);
    const auto tailles = test::tailles_pages_pdf(dir / "l.pdf");
    ASSERT_EQ(tailles.size(), 3u);
    EXPECT_DOUBLE_EQ(tailles[0].first, 30);
    EXPECT_DOUBLE_EQ(tailles[1].first, 10);
    EXPECT_DOUBLE_EQ(tailles[2].first, 20);
    EXPECT_EQ(p.entete, " 3 fichiers (Fichiers traités : 3/3)");
    const std::vector<std::pair<std::int64_t, int>> icones = {{0, 3}, {0, 2}, {1, 3},
                                                              {1, 2}, {2, 3}, {2, 2}};
    EXPECT_EQ(p.icones, icones);
}

TEST(ExportPdf, AFailedExportLeavesNoPdfAndSaysWhy) {
    test::TempDir dir;
    const auto bonne = dir / "page_1.png";
    test::write_png_file(bonne, image_test(PNG_COLOR_TYPE_GRAY, 8));
    const std::string octets = test::read_bytes(bonne);
    test::write_bytes(dir / "tronquee_2.png", octets.substr(0, octets.size() - 20));
    test::write_bytes(dir / "texte_3.png", "pas une image");
    std::string abimee = octets;
    abimee[abimee.size() - 30] ^= 0x40;  // inside the picture data: only its checksum tells
    test::write_bytes(dir / "abimee_4.png", abimee);
    const auto pdf = dir / "livre.pdf";
    struct Cas {
        std::vector<std::filesystem::path> pages;
        std::filesystem::path sortie;
        std::vector<std::string> raisons;
    };
    const Cas cas[] = {
        {{bonne, dir / "tronquee_2.png", dir / "texte_3.png"},
         pdf,
         {"tronquee_2.png » ne peut pas être lue : le fichier est tronqué",
          "texte_3.png » ne peut pas être lue : ce n'est pas un fichier PNG"}},
        {{bonne, dir / "absente_5.png"}, pdf, {"absente_5.png » ne peut pas être lue"}},
        {{bonne, dir / "abimee_4.png"},
         pdf,
         {"abimee_4.png » ne peut pas être lue : le fichier est endommagé"}},
        {{bonne}, dir / "absent" / "livre.pdf", {"livre.pdf » ne peut pas être écrit"}},
        {{bonne, dir / "texte_3.png"}, dir / "texte_3.png", {"ne peut pas remplacer la page"}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.raisons.front());
        Silencieuse p;
        const ResultatPdf r = exporter_pdf(liste_de(c.pages), {c.sortie, {}}, p);
        EXPECT_FALSE(r.ecrit);
        for (const std::string& raison : c.raisons)
            EXPECT_NE(r.erreur.find(raison), std::string::npos) << r.erreur;
        EXPECT_TRUE(c.sortie.extension() != ".pdf" || !std::filesystem::exists(c.sortie));
    }
    EXPECT_EQ(test::read_bytes(dir / "texte_3.png"), "pas une image");
    EXPECT_EQ(test::folder_contents(dir.path()).size(), 4u);  // no temporary file left

    // A PDF already there stays as it was.
    test::write_bytes(pdf, "ancien");
    EXPECT_FALSE(exporter({bonne, dir / "texte_3.png"}, pdf).ecrit);
    EXPECT_EQ(test::read_bytes(pdf), "ancien");
}

TEST(ExportPdf, AStoppedExportWritesNothing) {
    test::TempDir dir;
    test::write_png_file(dir / "page_1.png", image_test(PNG_COLOR_TYPE_GRAY, 8));
    std::atomic<bool> arret{true};
    Silencieuse p;
    const ResultatPdf r =
        exporter_pdf(liste_de({dir / "page_1.png"}), {dir / "l.pdf", {}}, p, &arret);
    EXPECT_TRUE(r.interrompu);
    EXPECT_FALSE(r.ecrit);
    EXPECT_EQ(test::folder_contents(dir.path()).size(), 1u);
}

// Permission bits do not bind the superuser: the export then runs as an unprivileged user.
TEST(ExportPdf, AnUnwritableFolderIsReported) {
    test::TempDir dir;
    const auto dossier = dir / "protege";
    std::filesystem::create_directory(dossier);
    test::write_png_file(dir / "page_1.png", image_test(PNG_COLOR_TYPE_GRAY, 8));
    ::chmod(dir.path().c_str(), 0755);
    ::chmod((dir / "page_1.png").c_str(), 0644);
    ::chmod(dossier.c_str(), 0555);
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        const ResultatPdf r = exporter({dir / "page_1.png"}, dossier / "livre.pdf");
        (void)!::write(tube[1], r.erreur.data(), r.erreur.size());
        ::_exit(r.ecrit ? 1 : 0);
    }
    ::close(tube[1]);
    std::string erreur;
    char tampon[512];
    for (ssize_t n; (n = ::read(tube[0], tampon, sizeof tampon)) > 0;) erreur.append(tampon, n);
    ::close(tube[0]);
    int statut = 0;
    ::waitpid(pid, &statut, 0);
    EXPECT_EQ(WEXITSTATUS(statut), 0);
    EXPECT_NE(erreur.find("ne peut pas être écrit"), std::string::npos) << erreur;
    EXPECT_NE(erreur.find("permission refusée"), std::string::npos) << erreur;
    EXPECT_TRUE(std::filesystem::is_empty(dossier));
}

}  // namespace
}  // namespace vellumor::pdf
