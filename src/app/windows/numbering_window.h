#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// The numbering window's controls (101 to 138), its tool-bar items and the numbering events reach
// window 1's own loop: installs their handlers on f. Closing the window (101) gives window 1 back;
// the end of a run (both workers done) shows " Info" and enables the window's controls again; a
// parameter field stores its value and turns red at its bounds; an arrow on it repaints it once.
void installer_numerotation(FenetrePrincipale& f);

// Control 109 shows the start (control 107) + rows - 1, never below 0; 0 without rows or start.
void mettre_a_jour_numero_fin(FenetrePrincipale& f);
// Puts the numbering window's controls back in their enabled look after a numbering run.
void reinitialiser_controles_numerotation(FenetrePrincipale& f);

}  // namespace vellumor::app
