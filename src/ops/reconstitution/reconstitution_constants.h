#pragma once

#include <cstdint>

// What the reconstitution run and its panel show and post: events, record names, texts. Texts are
// UTF-8 and keep their leading and trailing blanks.
namespace vellumor::reconstitution {

// Done events of the two records and the check event the panel posts itself.
inline constexpr std::int64_t kEvenementFinPaire = 0x1000C;
inline constexpr std::int64_t kEvenementFinImPaire = 0x1000D;
inline constexpr std::int64_t kEvenementVerification = 0x1000E;

inline constexpr const char* kNomLotPaire = "GLB_Image_Paire";
inline constexpr const char* kNomLotImPaire = "GLB_Image_ImPaire";

inline constexpr const char* kTexteTerminees =
    "Les opérations de reconstitution d'images sont terminées";
inline constexpr const char* kTexteArretees =
    "Les opérations de reconstitution d'images ont été arrêtées";

// Reason of a page that an offset moves off its blank page entirely: it is not written.
inline constexpr const char* kTexteHorsFormat = "la page tomberait entièrement hors du format";

inline constexpr const char* kTitreBandeauReconstitution = "Reconstitution des images";
inline constexpr const char* kLegendeBoutonReconstitution =
    "Reconstituer  les  images";  // button 9

}  // namespace vellumor::reconstitution
