#pragma once

#include "batch/image.h"

namespace vellumor {

enum class CropOutcome {
    Blank,    // no pixel other than white: nothing to write
    Uncut,    // the ink touches all four edges: nothing to write
    Cropped,  // the rectangle of the ink is to be written over the page
};

// Whole rows or columns of pure white on each side of the ink.
struct Marges {
    int haut = 0;
    int bas = 0;
    int gauche = 0;
    int droite = 0;
    bool operator==(const Marges&) const = default;
};

struct CropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const CropRect&) const = default;
};

struct Detection {
    CropOutcome outcome = CropOutcome::Blank;
    Marges marges;  // all 0 for a blank page
    // The smallest rectangle holding every pixel that is not exactly kWhite: (gauche, haut),
    // W - gauche - droite by H - haut - bas. The whole page when uncut, empty when blank.
    CropRect rect;
};

// Finds the four white margins of the page. Only kWhite is white: near-white noise stops a margin;
// alpha is not looked at. An empty page is blank. Reads only as far in from each side as the ink.
Detection detecter_marges(const Image& page);

struct CroppedPage {
    Detection detection;
    Image image;  // the grabbed rectangle, same depths and resolution; empty unless Cropped
};

// detecter_marges, then the grab of the rectangle when there is something to cut.
CroppedPage detourer(const Image& page);

}  // namespace vellumor
