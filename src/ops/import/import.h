#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/resultat.h"
#include "ops/import/import_constants.h"

namespace vellumor::importation {

struct Parametres {
    std::filesystem::path dossier;  // where the pages go; made when missing
    std::int64_t premier = kPremierDefaut;
    std::string prefixe = std::string(kPrefixeDefaut);
    // The resolution every page gets; none: its scan's, kDpiDefaut when the scan has none.
    std::optional<double> dpi;
};

// French reason when the parameters are refused: no folder, a first number outside
// 0..kPremierMaximum, a prefix holding "/" or a control character, a dpi outside its range.
Verdict valider(const Parametres& p);

// The name of page numero: prefix, number zero-padded to chiffres digits, ".png".
std::string nom_page(const std::string& prefixe, std::int64_t numero, int chiffres);

// Digits of the numbers of pages premier..premier + nombre - 1: kChiffresMinimum at least, more
// when the last number needs them.
int chiffres_pour(std::int64_t premier, std::int64_t nombre);

// The folder, prefix and first number that the name of a first page gives: "/d/scan_0012.png" is
// /d, "scan_" and 12; a name without trailing digits is all prefix, numbered from kPremierDefaut.
// The other fields keep their defaults.
Parametres parametres_depuis_nom(const std::filesystem::path& premiere_page);

// True for the names a scan import reads besides PNG: .tif, .tiff, .jpg, .jpeg, .pnm, .pbm, .pgm,
// .ppm, in any case.
bool est_nom_de_scan(const std::filesystem::path& fichier);

// Imports the scans in order (a multi-page TIFF page by page) as pages numbered from p.premier in
// p.dossier. Every scan is opened and checked first, and every page name must be free: a refused
// scan or a name already taken (named in the reason) writes nothing. Each page is then decoded and
// written at its own depth through a temporary file renamed onto its name, never over a file that
// appeared meanwhile. When a page fails, the pages this call wrote are removed again (those still
// the files it wrote). The scans are only read. fait(k, total) follows each page written; when it
// returns false the import stops there as a failed one ("Importation interrompue"). Gives the
// pages written, in order.
Resultat<std::vector<std::filesystem::path>> importer(
    const std::vector<std::filesystem::path>& scans, const Parametres& p,
    const std::function<bool(int fait, int total)>& fait = {});

}  // namespace vellumor::importation
