#include "settings/preferences.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "batch/png_io.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::read_bytes;
using test::TempDir;
using test::write_bytes;

const std::string kBom = "\xEF\xBB\xBF";

Preferences lire_texte(const TempDir& dir, const std::string& text) {
    write_bytes(dir / "Vellumor.prefs", text);
    return lire_preferences(dir.path());
}

TEST(PreferencesRead, NoFolderNoFileOrEmptyFileGiveTheDefaults) {
    TempDir dir;
    const Preferences defaults;
    EXPECT_EQ(lire_preferences(""), defaults);
    EXPECT_EQ(lire_preferences(dir / "absent"), defaults);
    EXPECT_EQ(lire_preferences(dir.path()), defaults);
    EXPECT_EQ(lire_texte(dir, ""), defaults);
    EXPECT_EQ(defaults.Offset_X__Impression_numero, 50);
    EXPECT_EQ(defaults.Offset_Y__Impression_numero, 50);
    EXPECT_EQ(defaults.Frame_thickness__Img_numerotation, 5);
    EXPECT_EQ(defaults.Frame_To_Number_spacing__Img_numerotation, 5);
    EXPECT_EQ(defaults.Binding_Offset, 30);
    EXPECT_EQ(defaults.Reconstituer_Img_params, 1);
    EXPECT_EQ(defaults.Nettoyer_Img, 1);
    EXPECT_EQ(defaults.Image_Vierge_Format, 29);
}

TEST(PreferencesRead, MissingKeysTakeTheirDefaultsAndValuesAreTrimmed) {
    TempDir dir;
    const Preferences p =
        lire_texte(dir, kBom +
                            "\r\n[Page_Numbering]\r\n"
                            "Offset_X__Impression_numero = 12\r\n"
                            "  offset_y__impression_numero\t=\t-7 mm\n"
                            "Frame_thickness__Img_numerotation = abc\r"
                            "Last_Numbering_Image_List_File = \t /l/a b.txt \t\r\n"
                            "\r\n[Image_Vierge]\r\n"
                            "DossierImages =   /images/  \r\n"
                            "[Valeur_Detourage]\r\n"
                            "Nettoyer_Img = 255\r\n"
                            "Reconstituer_Img_Decalage = 99999999999999999999\r\n");
    EXPECT_EQ(p.Offset_X__Impression_numero, 12);
    EXPECT_EQ(p.Offset_Y__Impression_numero, -7);
    EXPECT_EQ(p.Frame_thickness__Img_numerotation, 0);
    EXPECT_EQ(p.Frame_To_Number_spacing__Img_numerotation, 5);
    EXPECT_EQ(p.Binding_Offset, 30);
    EXPECT_EQ(p.Last_Numbering_Image_List_File, "/l/a b.txt");
    EXPECT_EQ(p.DossierImages, "/images/");
    EXPECT_EQ(p.Image_Vierge_Format, 29);
    EXPECT_EQ(p.Nettoyer_Img, 127);
    EXPECT_EQ(p.Reconstituer_Img_Decalage, INT64_MAX);
    EXPECT_EQ(p.Reconstituer_Img_params, 1);
}

TEST(PreferencesRead, FormatZeroAndTheMask) {
    EXPECT_EQ(analyser_preferences("[Image_Vierge]\nImage_Vierge_Format = 0\n").Image_Vierge_Format,
              29);
    EXPECT_EQ(
        analyser_preferences("[Image_Vierge]\nImage_Vierge_Format = 33\n").Image_Vierge_Format, 33);
    // Out of range is kept until the reconstitution options ask for it.
    EXPECT_EQ(
        analyser_preferences("[Image_Vierge]\nImage_Vierge_Format = 45\n").Image_Vierge_Format, 45);
    EXPECT_EQ(analyser_preferences("[Valeur_Detourage]\nNettoyer_Img = -1\n").Nettoyer_Img, 127);
    EXPECT_EQ(analyser_preferences("[Valeur_Detourage]\nNettoyer_Img = 130\n").Nettoyer_Img, 2);
    // Keys outside their group, or in an unknown group, are not read.
    EXPECT_EQ(analyser_preferences("Binding_Offset = 1\n[Autre]\nBinding_Offset = 2\n"),
              Preferences{});
}

TEST(PreferencesRead, HostileBytesNeverCrash) {
    const std::string nul("[Image_Vierge]\nDossierImages = /a\0/b\n", 35);
    EXPECT_EQ(analyser_preferences(nul).DossierImages, "/a");
    const Preferences p =
        analyser_preferences("[Page_Numbering]\r\nBinding_Offset = " + std::string(2 << 20, '7') +
                             "\r\n\xFF\xFE[\x80]\r\n");
    EXPECT_EQ(p.Binding_Offset, INT64_MAX);
    EXPECT_EQ(analyser_preferences(std::string(1 << 20, '[')), Preferences{});
    EXPECT_EQ(analyser_preferences("[]\n=\n[\n]\n = 3\n"), Preferences{});
}

TEST(PreferencesRead, BlankPageMustBeAnExistingPng) {
    TempDir dir;
    const auto white = Image::create(4, 3, 24, 0xFFFFFF);
    ASSERT_TRUE(white);
    ASSERT_TRUE(save_png(*white, dir / "vierge.png"));
    write_bytes(dir / "faux.png", "pas une image");
    const auto with = [&](const std::string& path) {
        return lire_texte(dir, "[Image_Vierge]\r\nImgVierge = " + path + "\r\n").ImgVierge;
    };
    EXPECT_EQ(with((dir / "vierge.png").string()), (dir / "vierge.png").string());
    EXPECT_EQ(with((dir / "faux.png").string()), "");
    EXPECT_EQ(with((dir / "absent.png").string()), "");
    EXPECT_EQ(with(dir.path().string()), "");
}

TEST(PreferencesWrite, ExactFileAndRoundTrip) {
    TempDir dir;
    Preferences p;
    p.Reconstituer_Img_params = 48 | 2;
    p.Reconstituer_Img_Decalage = -12;
    p.DossierImages = "/home/u/Scans été/";
    p.ImgVierge = "";
    p.Image_Vierge_Format = 0;
    p.Last_Numbering_Image_List_File = "/l/liste.txt";
    const auto folder = dir / "a" / "b" / "Vellumor";
    EXPECT_FALSE(ecrire_preferences(folder, p));
    EXPECT_EQ(read_bytes(folder / "Vellumor.prefs"),
              kBom +
                  "\r\n"
                  "[Valeur_Detourage]\r\n"
                  "Reconstituer_Img_params = 50\r\n"
                  "Reconstituer_Img_Decalage = -12\r\n"
                  "Reconstituer_Img_Decalage_Y = 0\r\n"
                  "Nettoyer_Img = 1\r\n"
                  "Incrementer_de_2_Fichiers_Sources_Renommer = 0\r\n"
                  "Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source = 0\r\n"
                  "\r\n"
                  "[Image_Vierge]\r\n"
                  "DossierImages = /home/u/Scans été/\r\n"
                  "ImgVierge = \r\n"
                  "Image_Vierge_Format = 29\r\n"
                  "\r\n"
                  "[Page_Numbering]\r\n"
                  "Offset_X__Impression_numero = 50\r\n"
                  "Offset_Y__Impression_numero = 50\r\n"
                  "Frame_thickness__Img_numerotation = 5\r\n"
                  "Frame_To_Number_spacing__Img_numerotation = 5\r\n"
                  "Binding_Offset = 30\r\n"
                  "Last_Numbering_Image_List_File = /l/liste.txt\r\n");
    p.Image_Vierge_Format = 29;
    EXPECT_EQ(lire_preferences(folder), p);

    // Blanks around a value do not survive the round trip; a line break cannot add a key.
    p.DossierImages = "  /x/  ";
    p.Last_Numbering_Image_List_File = "/l/a.txt\r\nBinding_Offset = 1";
    p.Binding_Offset = 77;
    EXPECT_FALSE(ecrire_preferences(folder, p));
    const Preferences back = lire_preferences(folder);
    EXPECT_EQ(back.DossierImages, "/x/");
    EXPECT_EQ(back.Last_Numbering_Image_List_File, "/l/a.txt");
    EXPECT_EQ(back.Binding_Offset, 77);
}

TEST(PreferencesWrite, FailuresLeaveTheOldFileWhole) {
    TempDir dir;
    EXPECT_EQ(
        ecrire_preferences("", {}),
        (Message{Message::Kind::Simple, "", "Impossible de trouver le dossier des préférences",
                 "Erreur", kIconeErreur}));
    write_bytes(dir / "fichier", "x");
    EXPECT_EQ(ecrire_preferences(dir / "fichier" / "Vellumor", {}),
              (Message{Message::Kind::Simple, "", "Impossible de créer le dossier des préférences",
                       "Erreur", kIconeErreur}));

    const auto folder = dir / "Vellumor";
    Preferences p;
    p.Binding_Offset = 12;
    ASSERT_FALSE(ecrire_preferences(folder, p));
    const std::string before = read_bytes(folder / "Vellumor.prefs");
    if (::geteuid() != 0) {
        // A folder where no temporary file can be made: the old file stays as it was.
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        p.Binding_Offset = 13;
        EXPECT_EQ(ecrire_preferences(folder, p),
                  (Message{Message::Kind::Simple, "",
                           "Impossible de créer le fichier des préférences", "Erreur", 0}));
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        EXPECT_EQ(read_bytes(folder / "Vellumor.prefs"), before);
    }
    std::filesystem::create_directories(dir / "D" / "Vellumor.prefs");
    EXPECT_TRUE(ecrire_preferences(dir / "D", p));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "D"), {}), 1);
}

TEST(BlankPageFormat, Accessors) {
    Preferences p;
    EXPECT_EQ(format_image_vierge(p), 29);
    EXPECT_EQ(format_image_vierge(p, 45), 45);
    EXPECT_EQ(format_image_vierge(p, -1), 45);
    // With the options: none selected falls back to 29 for an out-of-range value.
    EXPECT_EQ(format_image_vierge(p, std::array<bool, 6>{}), 29);
    EXPECT_EQ(p.Image_Vierge_Format, 29);
    EXPECT_EQ(format_image_vierge(p, std::array<bool, 6>{false, false, true, false, true, false}),
              31);
    EXPECT_EQ(format_image_vierge(p, std::array<bool, 6>{}), 31);
}

TEST(PreferencesFolder, FromTheEnvironment) {
    EXPECT_EQ(dossier_preferences_depuis("/w/AppData", "/x", "/h"), "/w/AppData/Vellumor/");
    EXPECT_EQ(dossier_preferences_depuis("C:\\Roaming\\", "", ""), "C:\\Roaming\\Vellumor/");
    EXPECT_EQ(dossier_preferences_depuis("", "/x/conf/", "/h"), "/x/conf/Vellumor/");
    EXPECT_EQ(dossier_preferences_depuis("", "relatif", "/h"), "/h/.config/Vellumor/");
    EXPECT_EQ(dossier_preferences_depuis("", "", "/h/"), "/h/.config/Vellumor/");
    EXPECT_EQ(dossier_preferences_depuis("", "", ""), "");

    TempDir dir;
    const char* old = std::getenv("APPDATA");
    const std::string saved = old ? old : "";
    ::setenv("APPDATA", (dir / "roaming").c_str(), 1);
    const auto folder = Dossier_Preferences();
    EXPECT_EQ(folder, (dir / "roaming").string() + "/Vellumor/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    if (old)
        ::setenv("APPDATA", saved.c_str(), 1);
    else
        ::unsetenv("APPDATA");
}

}  // namespace
}  // namespace vellumor
