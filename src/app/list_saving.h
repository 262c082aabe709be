#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Button 12: writes the listed images (or, with an empty list, images picked in a dialog) to a list
// file chosen in a save dialog, telling the user how it went.
void enregistrer_liste(FenetrePrincipale& f);

}  // namespace vellumor::app
