#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "imagelist/image_list.h"
#include "ops/cleaning/cleaning_constants.h"

namespace vellumor::cli {

// Options of the page commands (nettoyer, detourer, coloriser, net-det-col).
struct OptionsPages {
    std::vector<std::filesystem::path> fichiers;    // as given, in argument order
    std::optional<std::filesystem::path> liste;     // --liste FICHIER.txt
    std::uint32_t masque = cleaning::kDefaultMask;  // --masque N or --motifs, low seven bits
    bool silencieux = false;
    bool sans_originaux = false;  // --sans-originaux: the replaced files are not kept
    bool aide = false;
};

struct AnalyseOptions {
    OptionsPages options;
    std::string erreur;  // French usage error; empty when the arguments are fine
};

// Adds to table the options of the page commands, bound to o: --masque and --motifs when
// avec_masque, --liste, --silencieux, and --sans-originaux when the command replaces its pages
// (not for commands that only write new files beside them).
void options_pages(TableOptions& table, OptionsPages& o, bool avec_masque,
                   bool remplace_pages = true);

// Reads the arguments after the command name. avec_masque accepts --masque N (decimal, kept to its
// low seven bits) and --motifs 1,2,... (pattern numbers 1 to 7), not both. "--" ends the options.
AnalyseOptions analyser_options(const std::vector<std::string>& args, bool avec_masque);

struct ListeOuErreur {
    ListeImages liste;
    std::string erreur;  // French; empty when the list is fine
};

// The files to process: those of the list file (its order) followed by the arguments sorted by
// their trailing number (a folder stands for its .png files), every path made absolute. Refuses a
// list file that the loading rules refuse, a file named twice and an empty result.
ListeOuErreur construire_liste(const OptionsPages& options);

}  // namespace vellumor::cli
