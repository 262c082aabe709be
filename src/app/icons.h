#pragma once

#include <QImage>

#include "app/dialogs.h"
#include "ops/numbering/stamps.h"

namespace vellumor::app {

// The program's own pictures of the shared images 1 to 9 (32-bit with alpha): 1 red cross, 2 green
// check, 3 blue arrow, 4 blank page, 5 faint line (16 x 16), 6 wrench and hammer (48 x 48), 7 open
// folder with arrows, 8 light-blue rectangle, 9 no-entry disc. A null image for any other number.
QImage dessiner_image_partagee(int numero);

// The program's own icon, cote x cote: the tools of image 6 on a square with rounded corners in the
// banner's mauve gradient. Drawn as vectors, so every size is sharp (the window's icon, the icons
// that the installation puts in the desktop's icon theme).
QImage dessiner_icone_programme(int cote);

// A 48 x 48 shield whose top band has the message's colour.
QImage dessiner_bouclier(Bouclier b);

// The sample of a stamp model shown in the numbering window: "100" drawn in the model, as an 8-bit
// grey picture of 50 x 45 (disc, ring) or 50 x 34 (rectangles). The greyed variant, shown while
// numbering runs, has its black turned to mid grey.
QImage dessiner_echantillon(numbering::ModeleNumero modele, bool grise);

}  // namespace vellumor::app
