#pragma once

#include <cstdint>
#include <string>

#include "common/message.h"

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

// The " Info" box closing a run; stopped tells which of the two texts it carries.
Message message_fin(bool arretee);

// The error of a worker whose blank page cannot be built; each worker kind has its own number.
Message message_page_vierge(bool lie_a_gauche);

// Heading base of the file list's first column: " n fichiers : " (" 1 fichier : " for one file).
std::string base_entete(std::size_t nombre_fichiers);

// The first column's title after a file: base + " (Fichiers traités : " + k + "/" + rows + ")".
std::string entete_progression(const std::string& base, std::int64_t traites, std::size_t lignes);

}  // namespace vellumor::reconstitution
