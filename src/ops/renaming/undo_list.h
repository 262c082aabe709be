#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumor::renaming {

// One file to rename inside its own folder.
struct Renommage {
    std::filesystem::path source;
    std::filesystem::path cible;
};

// A line longer than this is no line of an undo list (a name is at most 255 bytes).
inline constexpr std::size_t kLigneMaxAnnulation = 4096;
inline constexpr std::size_t kTailleMaxAnnulation = std::size_t(64) << 20;

// One renamed file of an undo list: its old and new paths (in the list's folder), the hidden name
// it goes through and its device and inode numbers.
struct EntreeAnnulation {
    Renommage renommage;
    std::string temporaire;
    std::uint64_t peripherique = 0, inode = 0;
};

// The undo list of a renaming: a list file (UTF-8 with mark, CR LF) naming every renamed file by
// its new name, each preceded by the comments "; nom d'origine : " + the old name, "; nom
// temporaire : " + the temporary name and "; fichier : " + the device and inode numbers that
// identify the file whatever its name. Every name is a plain name of the list's own folder.
std::string contenu_liste_annulation(const std::vector<EntreeAnnulation>& entrees);

// The entries of an undo list whose folder is dossier, their paths in dossier; nothing when it is
// not an undo list. Every name must be a plain name; the absolute paths of lists written by
// earlier versions are read when they lie in dossier itself. Never throws on any input.
std::optional<std::vector<EntreeAnnulation>> lire_liste_annulation(
    std::string_view texte, const std::filesystem::path& dossier);

}  // namespace vellumor::renaming
