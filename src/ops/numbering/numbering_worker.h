#pragma once

#include <cstdint>
#include <filesystem>

#include "batch/batch_run.h"
#include "batch/lot_fichiers.h"
#include "common/message.h"
#include "ops/numbering/numbering_constants.h"
#include "ops/numbering/parameters.h"

namespace vellumor::numbering {

// What both numbering workers read: the run's first and last page numbers, the place of the
// stamp, the five distances, the folder the pages go to, the run's own work folder holding the
// stamps and the stamps' packed size (width in the low 32 bits, height in the high 32 bits).
struct ReglagesNumerotation {
    std::int64_t debut = 0;
    std::int64_t fin = 0;
    PositionNumero position = PositionNumero::BasDroite;
    ParametresNumerotation parametres;
    std::filesystem::path dossier;
    std::filesystem::path dossier_travail;
    std::int64_t taille_tampons = 0;
};

// Body of both numbering workers. Holds the run's mutex from start to end, so the two workers run
// one after the other. Puts the record's operation words to (debut, fin, packed size). For each
// file in order, until a stop is asked: page number p = debut + the file's position in the list
// (a file that fails keeps its number used up), stamp "Num___" + p + ".png" pasted opaque at its
// place (side from the file's own number), page written to dossier as nom_page_numerotee(p, fin)
// with the page's file depth, new name in column 2 of its row, counter step. A page that cannot be
// loaded or written, or whose stamp cannot be read: icon 1, a message, not counted, next file. A
// page that cannot be drawn on: icon 1, a message, and the worker ends. A record whose first file
// stands on no row numbers nothing.
void travail_numerotation(Travailleur& t, const ReglagesNumerotation& r);

// The completion of a run once both workers have ended: deletes the stamps debut..fin from the
// work folder and returns the " Info" message that closes the run.
Message terminer_numerotation(const ReglagesNumerotation& r);

}  // namespace vellumor::numbering
