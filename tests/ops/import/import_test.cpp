#include "ops/import/import.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <random>

#include "batch/png_io.h"
#include "ops/leptonica/pix.h"
#include "support/temp_dir.h"

namespace vellumor::importation {
namespace {

using leptonica::PixPtr;

// A scan-like page: blocks of ink of random greys (or colours) on white, at depth d (1, 8, 32).
PixPtr page_pix(int w, int h, int d, unsigned graine) {
    PixPtr pix(pixCreate(w, h, d));
    std::mt19937 alea(graine);
    pixSetAll(pix.get());  // black everywhere...
    if (d != 1)
        pixSetAllArbitrary(pix.get(), d == 32 ? 0xFFFFFF00 : 255);  // ...but white
    else
        pixClearAll(pix.get());
    for (int k = 0; k < 60; ++k) {
        const int x = int(alea() % (w - 40)), y = int(alea() % (h - 20));
        const l_uint32 v = d == 1 ? 1 : d == 8 ? alea() % 200 : (alea() & 0xFFFFFF00);
        for (int j = y; j < y + 12; ++j)
            for (int i = x; i < x + 30; ++i) pixSetPixel(pix.get(), i, j, v);
    }
    return pix;
}

std::string octets_de(const std::function<l_ok(l_uint8**, size_t*)>& ecrire) {
    l_uint8* data = nullptr;
    size_t size = 0;
    EXPECT_EQ(ecrire(&data, &size), 0);
    std::string s(reinterpret_cast<char*>(data), size);
    lept_free(data);
    return s;
}

// The colour Leptonica's own decode gives at (x, y).
Couleur couleur_pix(Pix* pix, int x, int y) {
    l_uint32 v = 0;
    pixGetPixel(pix, x, y, &v);
    if (pixGetDepth(pix) == 1) return v ? kBlack : kWhite;
    if (pixGetDepth(pix) == 8) return couleur(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
    l_int32 r, g, b;
    extractRGBValues(v, &r, &g, &b);
    return couleur(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
}

// Every pixel of the written page equals the source's decode; the page has the expected depth.
void verifier_page(const std::filesystem::path& page, Pix* source, int profondeur) {
    const LoadResult l = load_png(page);
    ASSERT_TRUE(l) << page;
    ASSERT_EQ(l.image->width(), pixGetWidth(source));
    ASSERT_EQ(l.image->height(), pixGetHeight(source));
    EXPECT_EQ(l.image->file_depth(), profondeur) << page;
    int differents = 0;
    for (int y = 0; y < l.image->height(); ++y)
        for (int x = 0; x < l.image->width(); ++x)
            differents += l.image->pixel(x, y) != couleur_pix(source, x, y);
    EXPECT_EQ(differents, 0) << page;
}

class Import : public ::testing::Test {
  protected:
    Parametres parametres() {
        Parametres p;
        p.dossier = dir_ / "pages";
        return p;
    }
    test::TempDir dir_;
};

TEST_F(Import, TwentyPageG4TiffAndTwentyJpegsArePixelExact) {
    const std::filesystem::path tiff = dir_ / "scan.tif";
    for (int k = 0; k < 20; ++k) {
        PixPtr p = page_pix(700, 900, 1, k + 1);
        pixSetResolution(p.get(), 300, 300);
        ASSERT_EQ(pixWriteTiff(tiff.c_str(), p.get(), IFF_TIFF_G4, k ? "a" : "w"), 0);
    }
    std::vector<std::filesystem::path> scans = {tiff};
    for (int k = 0; k < 20; ++k) {
        PixPtr p = page_pix(640, 800, k % 2 ? 8 : 32, 100 + k);
        scans.push_back(dir_ / ("photo" + std::to_string(k) + ".jpg"));
        test::write_bytes(scans.back(), octets_de([&](l_uint8** d, size_t* n) {
                              return pixWriteMemJpeg(d, n, p.get(), 80, 0);
                          }));
    }
    const std::string avant = test::read_bytes(tiff);
    const auto r = importer(scans, parametres());
    ASSERT_TRUE(r) << r.raison();
    ASSERT_EQ(r->size(), 40u);
    EXPECT_EQ((*r)[0].filename(), "page_0001.png");
    EXPECT_EQ((*r)[39].filename(), "page_0040.png");
    const std::string octets_tiff = test::read_bytes(tiff);
    EXPECT_TRUE(octets_tiff == avant);
    for (int k = 0; k < 20; ++k) {
        PixPtr source(pixReadMemTiff(reinterpret_cast<const l_uint8*>(octets_tiff.data()),
                                     octets_tiff.size(), k));
        verifier_page((*r)[k], source.get(), 1);
        EXPECT_EQ(load_png((*r)[k]).image->resolution(), resolution_from_dpi(300));
    }
    for (int k = 0; k < 20; ++k) {
        const std::string jpeg = test::read_bytes(scans[k + 1]);
        PixPtr source(pixReadMem(reinterpret_cast<const l_uint8*>(jpeg.data()), jpeg.size()));
        verifier_page((*r)[20 + k], source.get(), k % 2 ? 8 : 24);
    }
}

TEST_F(Import, NamesFollowPrefixFirstNumberAndPadding) {
    struct Cas {
        std::int64_t premier, nombre;
        std::string prefixe, premier_nom, dernier_nom;
    };
    for (const Cas& c : {Cas{1, 3, "page_", "page_0001.png", "page_0003.png"},
                         Cas{9998, 3, "scan ", "scan 09998.png", "scan 10000.png"},
                         Cas{0, 1, "", "0000.png", "0000.png"}}) {
        const int n = chiffres_pour(c.premier, c.nombre);
        EXPECT_EQ(nom_page(c.prefixe, c.premier, n), c.premier_nom);
        EXPECT_EQ(nom_page(c.prefixe, c.premier + c.nombre - 1, n), c.dernier_nom);
    }
    Parametres p = parametres();
    for (const auto& [modifier, attendu] :
         std::vector<std::pair<std::function<void(Parametres&)>, std::string>>{
             {[](Parametres& q) { q.prefixe = "a/b"; }, "Le préfixe ne peut contenir"},
             {[](Parametres& q) { q.premier = -1; }, "Le premier numéro"},
             {[](Parametres& q) { q.dpi = 5; }, "La résolution"},
             {[](Parametres& q) { q.dossier.clear(); }, "Le dossier"}}) {
        Parametres q = p;
        modifier(q);
        const Verdict v = valider(q);
        ASSERT_FALSE(v);
        EXPECT_NE(v.raison().find(attendu), std::string::npos) << v.raison();
    }
}

TEST_F(Import, BadScansAndTakenNamesWriteNothing) {
    PixPtr bon = page_pix(300, 200, 8, 7);
    const std::filesystem::path jpeg = dir_ / "bon.jpg";
    const std::string octets_jpeg =
        octets_de([&](l_uint8** d, size_t* n) { return pixWriteMemJpeg(d, n, bon.get(), 90, 0); });
    test::write_bytes(jpeg, octets_jpeg);
    const std::string tiff = octets_de([&](l_uint8** d, size_t* n) {
        return pixWriteMemTiff(d, n, page_pix(300, 200, 8, 3).get(), IFF_TIFF_ZIP);
    });
    test::write_bytes(dir_ / "tronque.tif", tiff.substr(0, tiff.size() / 2));
    std::string marqueur = octets_jpeg;
    marqueur[marqueur.find("\xFF\xDA") + 1] = '\x4D';
    test::write_bytes(dir_ / "marqueur.jpg", marqueur);
    test::write_bytes(dir_ / "texte.tif", "ceci n'est pas une image, seulement du texte\n");
    test::write_bytes(dir_ / "geant.tif", octets_de([&](l_uint8** d, size_t* n) {
                          return pixWriteMemTiff(d, n, page_pix(40000, 30, 1, 1).get(),
                                                 IFF_TIFF_G4);
                      }));
    std::filesystem::create_directories(dir_ / "pages");
    test::write_bytes(dir_ / "pages" / "page_0002.png", "déjà là");
    struct Cas {
        std::vector<std::string> scans;
        std::string attendu;
    };
    for (const Cas& c : {Cas{{"bon.jpg", "tronque.tif"}, "tronque.tif » est"},
                         Cas{{"bon.jpg", "marqueur.jpg"}, "marqueur.jpg » est illisible"},
                         Cas{{"texte.tif"}, "n'est pas un scan TIFF, JPEG, PNM ou PNG."},
                         Cas{{"geant.tif"}, "est trop grande (40000 x 30 pixels"},
                         Cas{{"absent.jpg"}, "est introuvable"},
                         Cas{{"bon.jpg", "bon.jpg"}, "page_0002.png » existe déjà"}}) {
        std::vector<std::filesystem::path> scans;
        for (const std::string& s : c.scans) scans.push_back(dir_ / s);
        const auto r = importer(scans, parametres());
        ASSERT_FALSE(r) << c.attendu;
        EXPECT_NE(r.raison().find(c.attendu), std::string::npos) << r.raison();
        EXPECT_EQ(test::folder_contents(dir_ / "pages").size(), 1u) << c.attendu;
    }
    EXPECT_TRUE(test::read_bytes(jpeg) == octets_jpeg);
}

TEST_F(Import, MultiPageTiffKeepsEachPageDepthInOrder) {
    const std::filesystem::path tiff = dir_ / "mixte.tif";
    const int profondeurs[] = {1, 8, 32};
    for (int k = 0; k < 3; ++k) {
        PixPtr page = page_pix(400, 300, profondeurs[k], k + 5);
        pixSetResolution(page.get(), 300, 300);  // --dpi 400 wins over it
        ASSERT_EQ(pixWriteTiff(tiff.c_str(), page.get(),
                               profondeurs[k] == 1 ? IFF_TIFF_G4 : IFF_TIFF_ZIP, k ? "a" : "w"),
                  0);
    }
    Parametres p = parametres();
    p.premier = 7;
    p.dpi = 400;
    std::vector<int> suivi;
    const auto r = importer({tiff}, p, [&](int fait, int total) {
        EXPECT_EQ(total, 3);
        suivi.push_back(fait);
        return true;
    });
    ASSERT_TRUE(r) << r.raison();
    EXPECT_EQ(suivi, (std::vector<int>{1, 2, 3}));
    // Stopped after its second page, the import takes its pages back.
    p.premier = 20;
    const auto arretee = importer({tiff}, p, [](int fait, int) { return fait < 2; });
    ASSERT_FALSE(arretee);
    EXPECT_NE(arretee.raison().find("Importation interrompue"), std::string::npos);
    EXPECT_EQ(test::folder_contents(p.dossier).size(), 3u);
    const std::string octets = test::read_bytes(tiff);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ((*r)[k].filename(), "page_000" + std::to_string(7 + k) + ".png");
        PixPtr source(
            pixReadMemTiff(reinterpret_cast<const l_uint8*>(octets.data()), octets.size(), k));
        verifier_page((*r)[k], source.get(), profondeurs[k] == 32 ? 24 : profondeurs[k]);
        EXPECT_EQ(load_png((*r)[k]).image->resolution(), resolution_from_dpi(400));
    }
}

}  // namespace
}  // namespace vellumor::importation
