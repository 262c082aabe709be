#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "common/message.h"
#include "imagelist/image_list.h"

namespace vellumor {

// The image list of a set of chosen files: one entry per file with its absolute path, sorted by
// number (files of equal number keep the order they were given in).
ListeImages liste_selectionnee(const std::vector<std::filesystem::path>& fichiers);

// The pages that paths dropped on the file list stand for, in the order given: a regular file
// named ".png" (any letter case) for itself, a folder for the PNG files it holds (not those of its
// subfolders); anything else, missing paths included, for nothing.
std::vector<std::filesystem::path> pages_deposees(
    const std::vector<std::filesystem::path>& chemins);

// liste with the files it does not hold yet (same absolute path) added, sorted again by number;
// the entries of equal numbers keep their order, those already listed first.
ListeImages liste_completee(ListeImages liste, const std::vector<std::filesystem::path>& fichiers);

// The image list of a command: the entries of the list file in file order when one is given, else
// liste_selectionnee(fichiers); or the list file's refusal.
struct ListeCommande {
    ListeImages liste;
    std::optional<Message> refus;
};
ListeCommande liste_de_commande(const std::optional<std::filesystem::path>& fichier_liste,
                                const std::vector<std::filesystem::path>& fichiers);

}  // namespace vellumor
