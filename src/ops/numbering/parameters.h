#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

#include "common/message.h"
#include "common/resultat.h"
#include "ops/numbering/numbering_constants.h"

namespace vellumor::numbering {

// Where the stamp goes. The side positions put it at the right on pages whose file number is odd
// and at the left, shifted by the binding offset, on pages whose file number is even.
enum class PositionNumero { BasDroite, BasCentre, HautDroite, HautCentre };

// The five distances of the numbering window, in pixels of the page image.
struct ParametresNumerotation {
    std::int64_t offset_x =
        std::int64_t(kOptions[0].defaut);  // "Offset en X : ", from the page's side edge
    std::int64_t offset_y =
        std::int64_t(kOptions[1].defaut);  // "Offset en Y : ", from the page's top or bottom edge
    std::int64_t epaisseur =
        std::int64_t(kOptions[2].defaut);  // "Epaisseur du cadre : ", frame thickness t
    std::int64_t espacement =
        std::int64_t(kOptions[3].defaut);  // "Offset du cadre : ", frame-to-number spacing s
    std::int64_t reliure =
        std::int64_t(kOptions[4].defaut);  // "Offset de reliure : ", binding offset B
    bool operator==(const ParametresNumerotation&) const = default;
};

// Caption, preference key and range of one parameter.
struct PlageParametre {
    const char* legende;
    const char* cle;
    std::int64_t ParametresNumerotation::*champ;
    std::int64_t defaut, minimum, maximum;
};
constexpr PlageParametre plage(const char* legende, const char* cle,
                               std::int64_t ParametresNumerotation::*champ,
                               const OptionOperation& o) {
    return {legende,
            cle,
            champ,
            std::int64_t(o.defaut),
            std::int64_t(o.minimum),
            std::int64_t(o.maximum)};
}
inline constexpr PlageParametre kPlagesNumerotation[] = {
    plage("Offset en X : ", "Offset_X__Impression_numero", &ParametresNumerotation::offset_x,
          kOptions[0]),
    plage("Offset en Y : ", "Offset_Y__Impression_numero", &ParametresNumerotation::offset_y,
          kOptions[1]),
    plage("Epaisseur du cadre : ", "Frame_thickness__Img_numerotation",
          &ParametresNumerotation::epaisseur, kOptions[2]),
    plage("Offset du cadre : ", "Frame_To_Number_spacing__Img_numerotation",
          &ParametresNumerotation::espacement, kOptions[3]),
    plage("Offset de reliure : ", "Binding_Offset", &ParametresNumerotation::reliure, kOptions[4]),
};
static_assert(std::size(kPlagesNumerotation) == std::size(kOptions));
inline constexpr const char* kGroupePreferencesNumerotation = "Page_Numbering";

// A French sentence naming the first parameter outside its range and that range, or nullopt when
// all five are within theirs.
Verdict valider(const ParametresNumerotation& p);

// The first page number ("Début") has at most 9 digits, in the window's field as on the command
// line: a run from near the integer limit would never end and would fill the disk with stamps.
inline constexpr int kChiffresDebutMaxi = 9;
inline constexpr std::int64_t kDebutMaxi = 999999999;
inline constexpr const char* kRaisonDebutTropGrand =
    "le numéro de début a au plus 9 chiffres (999999999 au plus)";

// The value the "Fin" field shows: max(0, debut + rows - 1), and 0 when debut is not given or the
// list is empty.
std::int64_t fin_affichee(std::optional<std::int64_t> debut, std::size_t rows);

// The refusal of a numbering request: " La liste ne contient aucun fichier image" for an empty
// list, " La numérotation des images est incorrecte 123" when debut is not given or when debut and
// Fin are both 0, and the same with kRaisonDebutTropGrand as its text when debut is negative or
// has more than kChiffresDebutMaxi digits; nullopt when the request may go on.
std::optional<Message> refus_demande(std::optional<std::int64_t> debut, std::size_t rows);

}  // namespace vellumor::numbering
