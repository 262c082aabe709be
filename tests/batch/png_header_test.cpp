#include "batch/png_header.h"

#include <gtest/gtest.h>
#include <png.h>

#include <fstream>

#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace vellumor::test {
namespace {

struct CasEntete {
    const char* nom;
    int type_couleur;
    int profondeur;
    int couleurs_palette;
    bool trns;
    const char* attendu;
};

TEST(PngHeader, ColumnTextForEveryKindOfPage) {
    const CasEntete cas[] = {
        {"noir_et_blanc", PNG_COLOR_TYPE_GRAY, 1, 0, false, "1 - 2"},
        {"gris", PNG_COLOR_TYPE_GRAY, 8, 0, false, "8 - 256"},
        {"gris_16", PNG_COLOR_TYPE_GRAY, 16, 0, false, "16 - 65536"},
        {"palette_4", PNG_COLOR_TYPE_PALETTE, 4, 16, false, "4 - 16"},
        {"palette_4_trois_couleurs", PNG_COLOR_TYPE_PALETTE, 4, 3, false, "4 - 3"},
        {"palette_8_transparente", PNG_COLOR_TYPE_PALETTE, 8, 256, true, "8 - 256 + alpha"},
        {"rvb", PNG_COLOR_TYPE_RGB, 8, 0, false, "24 - 16 M"},
        {"rvb_cle", PNG_COLOR_TYPE_RGB, 8, 0, true, "24 - 16 M + alpha"},
        {"rvba", PNG_COLOR_TYPE_RGB_ALPHA, 8, 0, false, "32 - 16 M + alpha"},
        {"gris_alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 0, false, "16 - 256 + alpha"},
        {"rvba_16", PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, false, "64 - 256 T + alpha"},
    };
    TempDir dossier;
    for (const CasEntete& c : cas) {
        PngFile png = blank_png(7, 5, c.type_couleur, c.profondeur);
        for (int i = 0; i < c.couleurs_palette; ++i) png.palette.push_back(0x010101u * i);
        if (c.trns && c.type_couleur == PNG_COLOR_TYPE_PALETTE) png.palette_alpha = {0};
        if (c.trns && c.type_couleur == PNG_COLOR_TYPE_RGB) png.transparent_colour = 0xFFFFFF;
        const auto fichier = dossier.path() / (std::string(c.nom) + ".png");
        write_png_file(fichier, png);
        EXPECT_EQ(texte_bits_couleurs(fichier), c.attendu) << c.nom;
        const auto entete = read_png_header(fichier);
        ASSERT_TRUE(entete) << c.nom;
        EXPECT_EQ(entete->width, 7);
        EXPECT_EQ(entete->height, 5);
    }
}

TEST(PngHeader, NotAPngOrABrokenHeaderGivesNoText) {
    TempDir dossier;
    const auto ecrire = [&](const char* nom, const std::string& octets) {
        std::ofstream(dossier.path() / nom, std::ios::binary) << octets;
        return dossier.path() / nom;
    };
    std::string png = encode_png(blank_png(4, 4, PNG_COLOR_TYPE_RGB, 8));
    std::string profondeur_fausse = png;
    profondeur_fausse[8 + 8 + 8] = 3;  // RGB at 3 bits per sample
    const std::filesystem::path refuses[] = {
        dossier.path() / "absent.png",
        ecrire("texte.png", "pas une image du tout, mais assez longue pour un en-tete"),
        ecrire("tronque.png", png.substr(0, 20)),
        ecrire("profondeur.png", profondeur_fausse),
        dossier.path(),
    };
    for (const auto& f : refuses) {
        EXPECT_FALSE(read_png_header(f)) << f;
        EXPECT_EQ(texte_bits_couleurs(f), "") << f;
    }
    // The picture data is never read: a file cut right after its header still answers.
    const auto coupe = ecrire("coupe.png", png.substr(0, png.find("IDAT") + 4));
    EXPECT_EQ(texte_bits_couleurs(coupe), "24 - 16 M");
}

}  // namespace
}  // namespace vellumor::test
