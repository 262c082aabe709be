#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/message.h"

namespace vellumor {

// The remembered settings, one member per key of the preferences file, with their defaults.
struct Preferences {
    // Group "Valeur_Detourage".
    std::int64_t Reconstituer_Img_params = 1;
    std::int64_t Reconstituer_Img_Decalage = 0;
    std::int64_t Reconstituer_Img_Decalage_Y = 0;
    std::int64_t Nettoyer_Img = 1;
    std::int64_t Incrementer_de_2_Fichiers_Sources_Renommer = 0;
    std::int64_t Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source = 0;
    // Group "Image_Vierge".
    std::string DossierImages;
    std::string ImgVierge;
    std::int64_t Image_Vierge_Format = 29;  // kept by the format accessors below
    // Group "Page_Numbering".
    std::int64_t Offset_X__Impression_numero = 50;
    std::int64_t Offset_Y__Impression_numero = 50;
    std::int64_t Frame_thickness__Img_numerotation = 5;
    std::int64_t Frame_To_Number_spacing__Img_numerotation = 5;
    std::int64_t Binding_Offset = 30;
    std::string Last_Numbering_Image_List_File;

    bool operator==(const Preferences&) const = default;
};

inline constexpr std::string_view kNomFichierPreferences = "Vellumor.prefs";

// A preferences file holds a few hundred bytes: one over this size is damaged, not read.
inline constexpr std::uintmax_t kTailleMaxiPreferences = std::uintmax_t(1) << 20;

// The warning when dossier/Vellumor.prefs is larger than kTailleMaxiPreferences: the defaults are
// used and the file is left as it is (the program does not write over it); nothing otherwise.
std::optional<Message> preferences_endommagees(const std::filesystem::path& dossier);

// The preferences of dossier/Vellumor.prefs. A missing folder, file or group, an unreadable file,
// or one over kTailleMaxiPreferences, gives the defaults; a missing key its default. Strings lose
// blanks and tabs at both ends (and anything from a NUL byte on); integers read as decimal, 0 when
// the value does not start with a number. "Nettoyer_Img" is masked with 0x7F, an
// "Image_Vierge_Format" of 0 reads as 29, and "ImgVierge" is emptied unless it names an existing
// file that loads as a PNG.
Preferences lire_preferences(const std::filesystem::path& dossier);

// The same from the bytes of a preferences file, without the blank-page check.
Preferences analyser_preferences(std::string_view bytes);

// The bytes of the file: UTF-8 mark, CR LF, then the three groups with every key in their order as
// key + " = " + value, groups separated by a blank line, every line ended by CR LF. A string value
// is cut at its first line break so that it cannot add lines. The format written is the
// accessor's value, 29 when that is 0.
std::string contenu_preferences(const Preferences& preferences);

// Writes dossier/Vellumor.prefs, creating every missing level of dossier, through a temporary file
// renamed over the old one (never a truncated file). Nothing on success, else the message: folder
// empty, folder not created, file not created.
std::optional<Message> ecrire_preferences(const std::filesystem::path& dossier,
                                          const Preferences& preferences);

// The blank-page format accessor while the reconstitution window's options do not exist: -1
// returns the stored number, any other number is stored and returned.
std::int64_t format_image_vierge(Preferences& preferences, std::int64_t format = -1);

// The accessor while options 29 to 34 exist (selection[i] for option 29 + i): the first selected
// one is stored and returned; with none selected, the stored number when it lies in 29 to 34, else
// 29 (stored).
std::int64_t format_image_vierge(Preferences& preferences, const std::array<bool, 6>& selection);

// The preferences folder computed from the environment's values: appdata when not empty, else
// xdg_config when it is an absolute path, else home + "/.config"; then "/" when it does not end
// with a separator, then "Vellumor/". Empty when nothing gives a folder.
std::filesystem::path dossier_preferences_depuis(std::string_view appdata,
                                                 std::string_view xdg_config,
                                                 std::string_view home);

// Dossier_Preferences: the folder above from APPDATA, XDG_CONFIG_HOME and HOME, created (with its
// missing parents) when it does not exist.
std::filesystem::path Dossier_Preferences();

// The process-wide preferences, read at start-up and written at the end.
Preferences& GLB_Preferences();

}  // namespace vellumor
