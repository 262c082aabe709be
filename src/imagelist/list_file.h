#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/message.h"
#include "imagelist/image_list.h"

namespace vellumor {

// Result of reading an image-list file: the listed paths in file order, or the message that refuses
// the file (wrong encoding, duplicates ...). ok is false exactly when message is set.
struct LectureListe {
    bool ok = false;
    std::vector<std::filesystem::path> fichiers;
    std::optional<Message> message;
};

// Reads a list file by the loading rules: UTF-8 with byte-order mark, or UTF-16LE without mark as
// enregistrer_fichier_liste writes it (recognised by its zero bytes); CR, LF or CR LF line ends,
// spaces trimmed, blank lines and lines starting with ";" skipped, duplicates (case-insensitive)
// refused with their message. A missing file gives " Aucun fichier Liste sélectionné", one that
// cannot be read " Fichier Liste des images non trouvé ou déjà ouvert"; UTF-16 marks, NUL
// characters and malformed UTF-8 or UTF-16 are refused like a missing mark. A line longer than
// kLongueurLigneMaxi bytes refuses the file (" Fichier Liste refusé : ligne trop longue ..."),
// neither kept nor shown. A relative path names a file beside the list, wherever the program runs from.
LectureListe lire_fichier_liste(const std::filesystem::path& path);

// The warning shown when the loading dialog returns nothing or a file that does not exist.
Message message_aucun_fichier_liste();

// The entries of a loaded list, in file order, numbered by the trailing number of their file names.
ListeImages entrees_depuis_liste(const std::vector<std::filesystem::path>& fichiers);

// The question asked before saving ("Mode de sauvegarde", Yes/No). Full paths are written whatever
// the answer, because the loader reads full paths only.
Message question_chemin_complet();

// "Info" / "La liste ne sera pas enregistrée!": the saving was cancelled in a dialog.
Message message_liste_non_enregistree();

// The path a list is saved to, from the path chosen in the save dialog, or the refusal. The name
// part (after the last slash or backslash) must be non-empty and free of control characters, double
// quotes and * / : < > ? backslash |; trailing dots are removed; a name without extension gets
// ".txt", another extension than "txt" (in any case) is replaced by ".txt"; ".TXT" stays. A name
// made only of dots is refused like a forbidden character.
struct NomSauvegardeListe {
    std::string chemin;
    std::optional<Message> refus;
};
NomSauvegardeListe nom_sauvegarde_liste(std::string_view chemin_choisi);

// The bytes of a saved list: every path in UTF-16LE followed by CR LF, without byte-order mark.
std::string contenu_liste_sauvegardee(const std::vector<std::filesystem::path>& fichiers);

// Saves fichiers under the name rules above, through a temporary file renamed over the target (an
// existing file is replaced whole or not at all), and returns the message that ends the saving:
// forbidden characters, "Impossible de créer le fichier", or whether the file now exists.
Message enregistrer_fichier_liste(std::string_view chemin_choisi,
                                  const std::vector<std::filesystem::path>& fichiers);

}  // namespace vellumor
