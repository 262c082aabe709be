#pragma once

#include "app/panels/panel.h"

namespace vellumor::app {

// Renaming prepares the new names of the listed files and offers to rename them on disk; test mode
// only runs the file-number test.
enum class ModeRenommage { Renommage = 0, Test = 1 };

// Opens the renaming window on window 1 (after the list question or the file selection) and
// returns once it is left; with an empty list after the selection the window is not built.
IssuePanneau lancer_renommage(FenetrePrincipale& f, ModeRenommage mode);

// The file-number test of the image list: its message, and the clipboard replaced by its findings.
// True when it found nothing to report.
bool executer_test_numeros(FenetrePrincipale& f);

}  // namespace vellumor::app
