// Writes the starting corpus of every fuzz target into the folder given as argument, one
// sub-folder per target: small PNGs of every colour type and depth, and list files in the shapes
// the reader meets.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/png_fixtures.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using vellumor::test::PngFile;

namespace {

PngFile pattern(int width, int height, int colour_type, int bit_depth) {
    PngFile png = vellumor::test::blank_png(width, height, colour_type, bit_depth);
    const int top = (1 << bit_depth) - 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < png.channels(); ++c)
                png.at(x, y, c) = std::uint16_t((x * 7 + y * 3 + c) % (top + 1));
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i <= top; ++i) png.palette.push_back(std::uint32_t(i * 0x010203));
    }
    return png;
}

void write_png_seeds(const fs::path& folder) {
    struct Kind {
        int colour_type;
        std::vector<int> depths;
    };
    const Kind kinds[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
                          {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
                          {PNG_COLOR_TYPE_RGB, {8, 16}},
                          {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
                          {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}}};
    int n = 0;
    for (const Kind& k : kinds) {
        for (int depth : k.depths) {
            PngFile png = pattern(5, 3, k.colour_type, depth);
            vellumor::test::write_png_file(folder / ("plain_" + std::to_string(n++) + ".png"), png);
            png.interlaced = true;
            png.pixels_per_metre = {{23622, 23622}};
            if (k.colour_type == PNG_COLOR_TYPE_PALETTE) png.palette_alpha = {0, 128};
            if (k.colour_type == PNG_COLOR_TYPE_GRAY) png.transparent_grey = 1;
            if (k.colour_type == PNG_COLOR_TYPE_RGB) png.transparent_colour = 0x000102;
            vellumor::test::write_png_file(folder / ("extra_" + std::to_string(n++) + ".png"), png);
        }
    }
    vellumor::test::write_png_file(folder / "page.png", pattern(64, 48, PNG_COLOR_TYPE_GRAY, 1));
}

void write_text(const fs::path& file, const std::string& bytes) {
    vellumor::test::write_bytes(file, bytes);
}

void write_list_seeds(const fs::path& folder) {
    const std::string bom = "\xEF\xBB\xBF";
    write_text(folder / "pages.txt", bom + "/scans/page_001.png\r\n/scans/page_002.png\r\n");
    write_text(folder / "comments.txt", bom + "; pages\n\n   /a/b-12.png  \r/a/c.png\n;x");
    write_text(folder / "accents.txt",
               bom + "/données/Éléphant_007.png\n/données/éléphant_007.PNG\n");
    write_text(folder / "no_mark.txt", "/scans/page_001.png\n");
    write_text(folder / "only_mark.txt", bom);
    write_text(folder / "name.doc", "C:\\listes\\pages.doc");
}

void write_cup_seeds(const fs::path& folder) {
    write_text(
        folder / "pixels.cup",
        "Page;Marge supérieure;Marge intérieure; Données en pixels\r\n12;0;5\r\n3;-2;$1F\r\n");
    write_text(folder / "mm.cup",
               "PAGE ; Marge Supérieure;marge intérieure;Données en "
               "millimètres\n007;%101;4\n7;1;1\n\n9;9;9");
    write_text(folder / "fifth_field.cup",
               "Page;Marge supérieure;Marge intérieure;x;y\r\n1;2;3\r\n");
    write_text(folder / "mark.cup",
               "\xEF\xBB\xBFPage;Marge supérieure;Marge intérieure; Données en pixels\r\n");
    write_text(folder / "saturating.cup",
               "page;marge supérieure;marge intérieure;données en pixels\r"
               "99999999999999999999;-99999999999999999999;5;abc\r5;abc;-2\r");
}

void write_preferences_seeds(const fs::path& folder) {
    write_text(folder / "Vellumor.prefs",
               "\xEF\xBB\xBF\r\n[Valeur_Detourage]\r\nReconstituer_Img_params = 1\r\n"
               "Reconstituer_Img_Decalage = 0\r\nReconstituer_Img_Decalage_Y = 0\r\n"
               "Nettoyer_Img = 255\r\nIncrementer_de_2_Fichiers_Sources_Renommer = 0\r\n"
               "Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source = 0\r\n\r\n"
               "[Image_Vierge]\r\nDossierImages = /home/moi/Images \r\nImgVierge = \r\n"
               "Image_Vierge_Format = 0\r\n\r\n[Page_Numbering]\r\n"
               "Offset_X__Impression_numero = 50\r\nOffset_Y__Impression_numero = -50\r\n"
               "Frame_thickness__Img_numerotation = 5\r\n"
               "Frame_To_Number_spacing__Img_numerotation = 5\r\nBinding_Offset = 30\r\n"
               "Last_Numbering_Image_List_File = /tmp/liste.txt\r\n");
    write_text(folder / "odd.prefs",
               "[page_numbering]\nbinding_offset=\t+12abc\n[Page_Numbering]\nBinding_Offset = 1\n"
               "; comment\n[Image_Vierge\nDossierImages = a = b\0c\n"s);
}

void write_journal_seeds(const fs::path& folder) {
    write_text(folder / "run.journal",
               "Vellumor originaux 2\noperation\tD\xC3\xA9tourage\ndate\t2026-12-08 13-55-02\n"
               "debut\t1796738102000000000\ngarde\tp_1.png\nresultat\tp_1.png\t1234\t"
               "4294967295\t1\ngarde\tp\\t2.png\nrestauree\tp_1.png\nfin\n");
    write_text(folder / "earlier.journal",
               "Vellumor originaux 1\noperation\tNettoyage\ndebut\t-1\ngarde\t/livre/a.png\t"
               "a.png\nresultat\t/livre/a.png\t1\t2\t3\ngarde\t/ailleurs/b.png\tb.png\n");
    write_text(folder / "cut.journal", "Vellumor originaux 2\ngarde\tp.png\nresultat\tp.png\t12");
}

void write_undo_seeds(const fs::path& folder) {
    const std::string bom = "\xEF\xBB\xBF";
    write_text(folder / "undo.txt",
               bom +
                   "; Annulation d'un renommage : vellumor-cli renommer --annuler FICHIER\r\n"
                   "; nom d'origine : a.png\r\n; nom temporaire : .vellumor-renommage-1-0.tmp\r\n"
                   "; fichier : 2049 123\r\nb.png\r\n; nom d'origine : /pages/b.png\r\n"
                   "/pages/a.png\r\n");
    write_text(folder / "escape.txt", bom + "; nom d'origine : ../a.png\r\n/etc/passwd\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* target : {"fuzz_png_load", "fuzz_list_file", "fuzz_cup_file",
                               "fuzz_preferences", "fuzz_originals_journal", "fuzz_undo_list"})
        fs::create_directories(root / target);
    write_png_seeds(root / "fuzz_png_load");
    write_list_seeds(root / "fuzz_list_file");
    write_cup_seeds(root / "fuzz_cup_file");
    write_preferences_seeds(root / "fuzz_preferences");
    write_journal_seeds(root / "fuzz_originals_journal");
    write_undo_seeds(root / "fuzz_undo_list");
    return 0;
}
