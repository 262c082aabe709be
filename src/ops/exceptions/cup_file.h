#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/message.h"
#include "ops/exceptions/page_exception.h"

namespace vellumor::exceptions {

// The unit texts of the reconstitution panel's unit list.
inline constexpr std::string_view kUniteMillimetres = "millimètres";
inline constexpr std::string_view kUnitePixels = "pixels";

// The two header lines of a page-exception file, without line end.
inline constexpr std::string_view kEnteteMillimetres =
    "Page;Marge supérieure;Marge intérieure; Données en millimètres";
inline constexpr std::string_view kEntetePixels =
    "Page;Marge supérieure;Marge intérieure; Données en pixels";

// The error shown when the settings folder (where exception files live) is not set or is not an
// existing folder; nothing when it is one.
std::optional<Message> verifier_dossier_sauvegarde(const std::filesystem::path& dossier);

// A page-exception file read up to the unit question: either the refusal (file unreadable, header
// wrong: "Erreur 1" for a count of ";" other than three, "Erreur 2" for other fields), or the
// file's unit ("millimètres" or "pixels") and its exception lines in file order, read up to the
// first line that does not hold exactly two ";" (an empty line ends the reading). A line read that
// is longer than kLongueurLigneMaxi bytes refuses the file ("... ligne trop longue ...").
struct LectureCup {
    std::optional<Message> erreur;
    std::string unite;
    std::vector<PageExceptionTable::Entree> lignes;
};
LectureCup lire_fichier_cup(const std::filesystem::path& path);
// The same checks on a file's bytes.
LectureCup analyser_contenu_cup(std::string_view bytes);
// The warning of a file that cannot be opened for reading.
Message message_lecture_impossible();

// The question "Unités différentes!" to ask when the file's unit is not the panel's, else nothing.
std::optional<Message> question_unites(std::string_view unite_fichier,
                                       std::string_view unite_panneau);

// The loading of a chosen file into table. A path that does not exist does nothing and says
// nothing; a file that cannot be read leaves the table as it was. Otherwise the table is emptied
// first, then the header is checked, then, when the units differ, repondre_oui is asked the unit
// question (No leaves the table empty). The caller rebuilds the run list when charge is true, and
// switches the panel's unit when basculer_unite is true. message is the refusal to show, if any.
struct ChargementCup {
    bool charge = false;
    bool basculer_unite = false;
    std::optional<Message> message;
};
ChargementCup charger_fichier_cup(const std::filesystem::path& path, std::string_view unite_panneau,
                                  const std::function<bool(const Message&)>& repondre_oui,
                                  PageExceptionTable& table);

// The name an exception file is saved under: only the file name of the chosen path is kept, placed
// in the settings folder; ".cup" is appended when it has no extension, another extension than "cup"
// (in any case) has its characters replaced by "cup"; "CUP" stays. Nothing for an empty name.
std::optional<std::filesystem::path> nom_fichier_cup(const std::filesystem::path& dossier,
                                                     std::string_view chemin_choisi);

// The bytes of an exception file: the header of the unit ("millimètres" gives the millimetre
// header, anything else the pixel one), then Page;OffsetY;OffsetX per record in list order, every
// line ended by CR LF.
std::string contenu_fichier_cup(const PageExceptionList& list, std::string_view unite);

// Saves list under the name rules, in the settings folder, through a temporary file renamed over
// the target. confirmer_ecrasement is asked the "Information" question when the file exists (No
// stops without a message). The result is the message that ends the saving, or nothing after No.
std::optional<Message> enregistrer_fichier_cup(
    const std::filesystem::path& dossier, std::string_view chemin_choisi,
    const PageExceptionList& list, std::string_view unite,
    const std::function<bool(const Message&)>& confirmer_ecrasement);

// The warning of the saving when the dialog returned no name.
Message message_aucun_fichier_cup_enregistre();

}  // namespace vellumor::exceptions
