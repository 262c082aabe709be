#pragma once

#include "ops/renaming/sequence.h"

namespace vellumor::app {

class FenetrePrincipale;

// Offers to rename the listed files on disk to the pattern p: a Yes/No question with the count and
// the first names, then the core's safe renaming (nothing moves when any name is refused; the undo
// list is written beside the first file before the first rename). Afterwards the list shows the
// new names and the user may open the undo list's folder.
void proposer_renommage_disque(FenetrePrincipale& f, const renaming::ParametresRenommage& p);

}  // namespace vellumor::app
