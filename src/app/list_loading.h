#pragma once

namespace vellumor::app {

class FenetrePrincipale;

// Loads a list file chosen in a dialog opened in the folder of the last list loaded: the image list
// and control 17 then hold the file's entries in file order, each row with the neutral icon, or
// are empty after a refusal (the file's encoding, duplicates), which is shown. A cancelled dialog
// or a file that does not exist leaves the list as it was. The file's path is remembered once its
// encoding is accepted. The managed buttons are enabled by list content at the end.
void charger_fichier_liste(FenetrePrincipale& f);

}  // namespace vellumor::app
