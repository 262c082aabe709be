// Every libpng failure reaches the user in French, naming what is wrong.
#include <gtest/gtest.h>
#include <png.h>

#include "batch/png_io.h"
#include "support/png_craft.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::ihdr_data;
using test::png_chunk;
using test::png_of;
using test::zlib_stream;

// Four rows of 64 grey samples that do not compress, each row with the given filter byte.
std::string rows(char filtre = 0) {
    std::string r;
    for (int y = 0; y < 4; ++y) {
        r += filtre;
        for (int x = 0; x < 64; ++x) r += char((x * x * 31 + y * 17) % 251);
    }
    return r;
}

TEST(PngMessages, EveryLibpngFailureIsToldInFrench) {
    const std::string ihdr = ihdr_data(64, 4, 8, PNG_COLOR_TYPE_GRAY);
    const std::string flux = zlib_stream(rows());
    std::string crc_ihdr = png_of(ihdr, flux);
    crc_ihdr[19] ^= 1;  // a sample of the height, its CRC left as it was
    std::string crc_idat = png_of(ihdr, flux);
    crc_idat[crc_idat.size() - 13] ^= 1;  // the CRC itself
    std::string adler = flux;
    adler.back() ^= 1;
    const std::string iend = png_chunk("IEND", "");
    struct Cas {
        const char* nom;
        std::string octets;
        const char* raison;
    };
    const Cas cas[] = {
        {"CRC de l'en-tête", crc_ihdr, "IHDR : somme de contrôle CRC incorrecte"},
        {"CRC des données", crc_idat, "IDAT : somme de contrôle CRC incorrecte"},
        {"Adler-32", png_of(ihdr, adler), "somme de contrôle Adler-32 incorrecte"},
        {"pas du zlib", png_of(ihdr, "pas du tout du zlib"), "en-tête zlib invalide"},
        {"flux coupé", png_of(ihdr, flux.substr(0, flux.size() / 2)),
         "données de l'image tronquées"},
        {"largeur nulle", png_of(ihdr_data(0, 4, 8, 0), flux),
         "en-tête IHDR invalide (largeur nulle)"},
        {"profondeur 3", png_of(ihdr_data(64, 4, 3, 0), flux),
         "en-tête IHDR invalide (profondeur invalide)"},
        {"fin avant les données", png_of(ihdr, flux, iend), "IEND : bloc mal placé"},
        {"filtre 7", png_of(ihdr, zlib_stream(rows(7))), "filtre de ligne invalide"},
        {"palette absente", png_of(ihdr_data(64, 4, 8, PNG_COLOR_TYPE_PALETTE), flux),
         "palette absente"},
    };
    test::TempDir dir;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        test::write_bytes(dir / "page.png", c.octets);
        const LoadResult r = load_png(dir / "page.png");
        ASSERT_FALSE(r);
        EXPECT_NE(r.message.find("est endommagé ("), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(c.raison), std::string::npos) << r.message;
        for (const char* anglais :
             {"rror", "data", "check", "Invalid", "out of", "Not ", "Missing"})
            EXPECT_EQ(r.message.find(anglais), std::string::npos) << r.message;
    }
}

}  // namespace
}  // namespace vellumor
