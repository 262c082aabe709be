#pragma once

#include <filesystem>
#include <vector>

namespace vellumor::app {

class FenetrePrincipale;

// "Importer des scans…" of the list's context menu: asks for the scans, then for the name of the
// first page to write (its folder, its prefix and its number), then imports as importer_scans.
void importer_des_scans(FenetrePrincipale& f);

// Asks for the name of the first page, then writes the scans' pages as numbered PNG pages off the
// main thread (the list header shows the progress, the column's buttons are disabled), and the
// new pages join the list. At the end a box says how many pages were written and where, or why
// none was. Closing the window stops the import and takes its pages back.
void importer_scans(FenetrePrincipale& f, std::vector<std::filesystem::path> scans);

}  // namespace vellumor::app
