#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/image.h"
#include "common/resultat.h"
#include "ops/pdf/png_chunks.h"

namespace vellumor::pdf {

// The size of a page in PDF points (1/72 inch).
struct TaillePoints {
    double largeur = 0;
    double hauteur = 0;
};

// A picture of largeur x hauteur pixels printed at its resolution: the imposed one when given (in
// dots per inch), else its own (pHYs, each axis its own), else 600 dpi. 4961 x 7016 pixels at 600
// dpi are 595.32 x 841.92 points (A4).
TaillePoints taille_page(std::uint32_t largeur, std::uint32_t hauteur,
                         const std::optional<Resolution>& propre, std::optional<int> dpi_impose);

// A page as the document gives it: its MediaBox in user units and the size of the user unit in
// points (1, or the whole number that brings a side over kCoteMaxPoints within it, as PDF 1.6's
// /UserUnit allows).
struct FormatPage {
    TaillePoints boite;
    int unite = 1;
};

// The format of a picture of largeur x hauteur pixels at its resolution (see taille_page). A side
// under kCoteMinPoints, which PDF readers do not take, is refused with the resolution it was
// taken at and the highest imposed resolution that would make it long enough, if any.
Resultat<FormatPage> format_page(std::uint32_t largeur, std::uint32_t hauteur,
                                 const std::optional<Resolution>& propre,
                                 std::optional<int> dpi_impose);

enum class EspaceCouleur { Gris, Rvb, IndexeGris, IndexeRvb };

// How a PNG picture goes into the PDF without loss.
struct ImagePdf {
    EspaceCouleur espace = EspaceCouleur::Gris;
    int bits = 8;  // BitsPerComponent of the PDF image
    // Indexed spaces: one entry a colour (1 byte grey or 3 bytes RGB), transparency of the
    // palette already composed over white.
    std::vector<std::uint8_t> table;
    // True: the PNG's compressed picture data goes in unchanged, decoded by the PDF reader with
    // the PNG predictors (samples a pixel: colonnes_png). False: the picture must be decoded and
    // its rows written anew (alpha composed over white, interlaced pictures).
    bool donnees_telles_quelles = true;
    int couleurs_png = 1;
    // Decoded pictures: compose the alpha over white (grey + alpha, RGBA, or a tRNS colour key).
    bool composer_alpha = false;
};

// The PDF picture for a PNG header:
// - grey stays grey at its depth, RGB stays RGB; 16 bits stay 16 bits;
// - a palette stays indexed; a palette of greys becomes an index into grey, and one whose entries
//   are the grey ramp of its depth (black and white at 1 bit, 0..255 in order at 8) plain grey;
// - alpha (grey + alpha, RGBA, tRNS key) is composed over white into grey or RGB at the same depth;
//   a palette's transparency is composed into its entries, so such a picture stays indexed;
// - the compressed data is carried over except for interlaced pictures and composed alpha.
ImagePdf image_pdf(const DescriptionPng& png);

// Composes one pixel's samples over white: c * a + max * (max - a), over max, rounded, max being
// 255 or 65535 by depth.
std::uint16_t composer_sur_blanc(std::uint32_t c, std::uint32_t a, int profondeur);

// A PDF number with at most four decimals, whatever the locale: 595.32, 600.
std::string nombre_pdf(double v);

// The page content that draws image /Im0 over the whole page: "q W 0 0 H 0 0 cm /Im0 Do Q".
std::string contenu_page(const TaillePoints& taille);

}  // namespace vellumor::pdf
