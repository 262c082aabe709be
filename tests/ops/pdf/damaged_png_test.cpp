// Damaged files must be refused or read safely, never read out of bounds (run under ASan too).
#include <gtest/gtest.h>
#include <png.h>

#include <random>

#include "ops/pdf/flux_png.h"
#include "ops/pdf/page_pdf.h"
#include "ops/pdf/png_chunks.h"
#include "ops/pdf/png_rows.h"
#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor::pdf {
namespace {

TEST(PngDecoupe, DamagedFilesAreRefusedOrReadSafely) {
    std::vector<std::string> modeles;
    for (int type : {PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY}) {
        test::PngFile png = test::blank_png(19, 7, type, 8);
        for (std::size_t i = 0; i < png.samples.size(); ++i) png.samples[i] = std::uint16_t(i % 7);
        if (type == PNG_COLOR_TYPE_PALETTE) png.palette = {0, 0x808080, 0xFFFFFF, 1, 2, 3, 4};
        png.interlaced = type == PNG_COLOR_TYPE_GRAY;
        modeles.push_back(test::encode_png(png));
    }
    std::mt19937 hasard(19);
    test::TempDir dir;
    const auto fichier = dir / "page.png";
    VerificationFlux verification;
    for (int essai = 0; essai < 3000; ++essai) {
        std::string octets = modeles[std::size_t(essai) % modeles.size()];
        if (essai % 3 == 0) octets.resize(hasard() % octets.size());
        for (int k = 0; k < 1 + essai % 4 && !octets.empty(); ++k)
            octets[hasard() % octets.size()] = char(hasard());
        const Resultat<PngDecoupe> d = decouper_png_memoire(octets, true);
        ASSERT_TRUE(d || !d.raison().empty());
        // One in ten through a file, whose header-only read skips the picture data.
        if (essai % 10 == 0) {
            test::write_bytes(fichier, octets);
            const Resultat<PngDecoupe> apercu = decouper_png(fichier, false);
            ASSERT_TRUE(apercu || !apercu.raison().empty());
            EXPECT_TRUE(!d || apercu);  // what reads whole reads at a glance
        }
        if (!d) continue;
        std::size_t total = 0;
        // Small bands: an interlaced file is read again for each, damaged or not.
        (void)lignes_decodees(
            octets, image_pdf(d->entete), [&](const std::uint8_t*, std::size_t n) { total += n; },
            essai % 2 ? 64 : kBandeDecodage);
        if (!d->entete.entrelace) (void)verification.verifier(d->donnees, d->entete);
        EXPECT_LE(total, std::size_t(d->entete.largeur) * d->entete.hauteur * 8);
    }
}

}  // namespace
}  // namespace vellumor::pdf
