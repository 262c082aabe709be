#pragma once

#include "batch/image.h"

namespace vellumor {

enum class IssueDetourage {
    Blanche,    // no pixel other than white: nothing to write
    SansMarge,  // the ink touches all four edges: nothing to write
    Detouree,   // the rectangle of the ink is to be written over the page
};

// Whole rows or columns of pure white on each side of the ink.
struct Marges {
    int haut = 0;
    int bas = 0;
    int gauche = 0;
    int droite = 0;
    bool operator==(const Marges&) const = default;
};

struct RectangleEncre {
    int x = 0;
    int y = 0;
    int largeur = 0;
    int hauteur = 0;
    bool operator==(const RectangleEncre&) const = default;
};

struct Detection {
    IssueDetourage issue = IssueDetourage::Blanche;
    Marges marges;  // all 0 for a blank page
    // The smallest rectangle holding every pixel that is not exactly kWhite: (gauche, haut),
    // W - gauche - droite by H - haut - bas. The whole page when uncut, empty when blank.
    RectangleEncre rectangle;
};

// Finds the four white margins of the page. Only kWhite is white: near-white noise stops a margin;
// alpha is not looked at. An empty page is blank. Reads only as far in from each side as the ink.
Detection detecter_marges(const Image& page);

struct PageDetouree {
    Detection detection;
    Image image;  // the grabbed rectangle, same depths and resolution; empty unless Cropped
};

// detecter_marges, then the grab of the rectangle when there is something to cut.
PageDetouree detourer(const Image& page);

}  // namespace vellumor
