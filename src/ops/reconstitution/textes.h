#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/message.h"
#include "ops/reconstitution/reconstitution_constants.h"

namespace vellumor::reconstitution {

// The " Info" box closing a run; stopped tells which of the two texts it carries.
Message message_fin(bool arretee);

// The error of a worker whose blank page cannot be built; each worker kind has its own number.
Message message_page_vierge(bool lie_a_gauche);

// After an interruption: the pages already written over their sources, one full path a line
// after a heading line ("Aucune page n'a été écrite." when there is none).
std::string texte_pages_ecrites(const std::vector<std::filesystem::path>& pages);

// Heading base of the file list's first column: " n fichiers : " (" 1 fichier : " for one file).
std::string base_entete(std::size_t nombre_fichiers);

// The first column's title after a file: base + " (Fichiers traités : " + k + "/" + rows + ")".
std::string entete_progression(const std::string& base, std::int64_t traites, std::size_t lignes);

}  // namespace vellumor::reconstitution
