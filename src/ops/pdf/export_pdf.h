#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "batch/progress.h"
#include "common/resultat.h"
#include "imagelist/image_list.h"

namespace vellumor::pdf {

struct ParametresPdf {
    std::filesystem::path sortie;  // the PDF file to write
    // Resolution imposed on every page, in dots per inch; none: each page's own (pHYs), else 600.
    std::optional<int> dpi;
};

// A French reason when the parameters cannot be used: no output file, a resolution outside
// kDpiMin..kDpiMax.
Verdict valider(const ParametresPdf& p);

struct ResultatPdf {
    bool ecrit = false;
    bool interrompu = false;  // stopped on request; nothing written
    std::string erreur;       // French, one line a fault, naming the page; empty when written
    std::int64_t pages = 0;   // pages in the written document
};

// Writes the pages of liste, in its order, one page a PNG, into p.sortie: page size from each
// picture's resolution, pictures carried over without loss (see image_pdf). Every page is looked
// at before anything is written; a page that cannot be read fails the whole export. The document
// goes through a temporary file in the output folder renamed at the end, so a failed or stopped
// export leaves no PDF and an existing p.sortie unchanged. Reports to progression: row i is page i
// (icon 3 while it is written, 2 once written, 1 when it cannot be read, with a failed-file report
// naming the reason), the list header texte_progression(n, k, n) after each page. arret, when
// given, is looked at before each page. An empty list, or an output that is one of the pages,
// writes nothing and says so.
ResultatPdf exporter_pdf(const ListeImages& liste, const ParametresPdf& p, Progression& progression,
                         const std::atomic<bool>* arret = nullptr);

}  // namespace vellumor::pdf
