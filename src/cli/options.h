#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ops/description.h"

namespace vellumor::cli {

// The integer written in text: decimal digits after an optional "+" or "-", nothing else; nothing
// when text is anything else or does not fit in 64 bits.
std::optional<std::int64_t> lire_entier_decimal(const std::string& text);

// The values an integer option accepts, and the unit its help and refusals name ("millimètres").
struct Plage {
    std::int64_t minimum = 0;
    std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
    std::string unite;
};

// One option of a command. lire receives the value (empty for a flag) and returns a French reason
// when it refuses it.
struct Option {
    std::vector<std::string> noms;  // "--masque"; the help shows them all, in this order
    std::string valeur;             // name of the value in the help ("N"); empty for a flag
    std::string aide;               // help text; a "\n" starts a continuation line
    std::function<std::optional<std::string>(const std::string& valeur)> lire;
};

// The options of one command, in the order its help lists them. Every table ends with --aide
// (also --help and -h), which the parser answers itself. The helpers bind an option to a variable
// of the command's options, which must outlive the table. An option with a value is accepted once.
class TableOptions {
  public:
    TableOptions& ajouter(Option option);
    TableOptions& drapeau(std::vector<std::string> noms, std::string aide, bool& cible);
    TableOptions& texte(std::vector<std::string> noms, std::string valeur, std::string aide,
                        std::optional<std::string>& cible);
    TableOptions& chemin(std::vector<std::string> noms, std::string valeur, std::string aide,
                         std::optional<std::filesystem::path>& cible);
    // An integer of plage; the help gets the range (and the default when one is given). With
    // verifier false the value only has to be an integer: the operation's own validation judges
    // it, with its own words.
    TableOptions& entier(std::vector<std::string> noms, std::string valeur, std::string aide,
                         const Plage& plage, std::optional<std::int64_t>& cible,
                         std::optional<std::int64_t> defaut = std::nullopt, bool verifier = true);
    // The integer option o of an operation's description: its name, help, range, unit and, when
    // avec_defaut, its default.
    TableOptions& entier(const OptionOperation& o, std::string valeur,
                         std::optional<std::int64_t>& cible, bool avec_defaut = true,
                         bool verifier = true);
    // One of the named choices; refused with the list of the names.
    template <typename T>
    TableOptions& choix(std::vector<std::string> noms, std::string valeur, std::string aide,
                        std::vector<std::pair<std::string, T>> choix, std::string quoi, T& cible) {
        std::vector<std::string> mots;
        for (const auto& c : choix) mots.push_back(c.first);
        return ajouter({std::move(noms), std::move(valeur), std::move(aide),
                        [choix = std::move(choix), mots, quoi = std::move(quoi),
                         &cible](const std::string& v) -> std::optional<std::string> {
                            for (const auto& [nom, choisi] : choix)
                                if (v == nom) {
                                    cible = choisi;
                                    return std::nullopt;
                                }
                            return refus_choix(quoi, v, mots);
                        }});
    }

    const std::vector<Option>& options() const { return options_; }
    // The option named nom, or nullptr.
    const Option* trouver(const std::string& nom) const;

    // "Format inconnu : « a5 » (bulletin-nb, a4-nb ou a4-couleur)".
    static std::string refus_choix(const std::string& quoi, const std::string& valeur,
                                   const std::vector<std::string>& mots);

  private:
    std::vector<Option> options_;
};

// What a command line holds once its options are read.
struct Arguments {
    std::vector<std::string> operandes;  // the other arguments in order; "--" ends the options
    bool aide = false;
    std::string erreur;  // French; empty when every option was accepted
};

// Reads args against table: an argument that starts with "-" (other than "-" itself) before "--"
// is an option, its value the next argument; reading stops at the first refusal.
Arguments analyser(const std::vector<std::string>& args, const TableOptions& table);

// What a command's help says besides its options.
struct DescriptionCommande {
    std::string nom;          // "nettoyer"
    std::string usage;        // what follows the command's name in the usage line
    std::string description;  // what the command does, lines of at most 100 characters
    std::string remarques;    // after the options; may be empty
    std::string sortie_0;     // what exit status 0 means
    std::string sortie_1;     // what exit status 1 means
};

// The help of a command: usage line, description, every option of table with its names and value
// aligned in one column, remarks, then the three exit statuses.
std::string texte_aide(const DescriptionCommande& d, const TableOptions& table);

// The first steps of every command: reads args; prints the help (returns 0) or the usage error on
// stderr (returns 2); returns nothing when the command goes on with a.
std::optional<int> lire_arguments(const std::vector<std::string>& args,
                                  const DescriptionCommande& d, const TableOptions& table,
                                  Arguments& a);

// A usage error of command nom on stderr with the hint to its help; returns 2.
int erreur_usage(const std::string& nom, const std::string& erreur);

// The files that paths stand for: a folder (unless it is named like a page) gives its regular
// .png files, any other path stays as it is.
std::vector<std::filesystem::path> developper_dossiers(
    const std::vector<std::filesystem::path>& paths);

}  // namespace vellumor::cli
