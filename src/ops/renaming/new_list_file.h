#pragma once

#include <string>

#include "common/resultat.h"
#include "ops/renaming/rename_system.h"

namespace vellumor::renaming {

// Writes bytes complete and flushed to disk in dossier, then gives them the name voulu, or the
// first free one of "stem-2.ext", "stem-3.ext" ...: the list appears whole or not at all, never
// replaces an earlier one, and a kill before it appears leaves nothing (the file has no name until
// then, where the file system allows). The name given, or the reason.
Resultat<std::string> ecrire_liste_nouvelle(const DossierRenommage& dossier,
                                            const std::string& voulu, const std::string& bytes);

}  // namespace vellumor::renaming
