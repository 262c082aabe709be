#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "batch/lot_fichiers.h"

// What an operation shows, posts and accepts, written once: the window, the command line and the
// validation all read it. Texts are UTF-8 and keep their leading and trailing blanks.
namespace vellumor {

// A numeric setting of an operation: its name on the command line, its range, its default, the
// unit its help and refusals name, and its help line.
struct OptionOperation {
    std::string_view nom;  // "--angle-max"
    double minimum = 0;
    double maximum = 0;
    double defaut = 0;
    std::string_view unite;  // "degrés"; empty when the value has none
    std::string_view aide;
};

struct DescriptionOperation {
    std::string_view titre_bandeau{};
    std::string_view titre_boite_erreur{};
    std::string_view titre_dialogue_fichiers{};  // file dialog when the list is empty
    std::string_view texte_fin{};                // body of the completion message
    std::int64_t evenement_fin_paire = 0;
    std::int64_t evenement_fin_impaire = 0;
    std::int64_t evenement_controle = 0;  // posted after each done event
    std::string_view fiche_paire{};       // the records' names, in the workers' messages
    std::string_view fiche_impaire{};
    std::string_view legende_bouton{};  // the main window's button (or menu entry)
    std::string_view legende_depart{};  // the start button of its panel; empty when it has none
    // The run folders that keep the pages it replaces; nullptr when it writes other files.
    const char* originaux = nullptr;
    std::span<const OptionOperation> options{};
};

// The two records' names and done events of d.
inline ConstantesLots constantes_lots(const DescriptionOperation& d) {
    return {std::string(d.fiche_paire), std::string(d.fiche_impaire), d.evenement_fin_paire,
            d.evenement_fin_impaire};
}

// The option of d named nom; the program does not build when there is none.
consteval const OptionOperation& option(const DescriptionOperation& d, std::string_view nom) {
    for (const OptionOperation& o : d.options)
        if (o.nom == nom) return o;
    throw "option inconnue";
}

}  // namespace vellumor
