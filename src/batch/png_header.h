#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/resultat.h"

namespace vellumor {

// A PNG number: four bytes, most significant first.
std::uint32_t png_be32(const unsigned char* bytes);

// Whether IHDR's bit depth goes with its colour type (1, 2, 4, 8, 16 for grey; up to 8 for a
// palette; 8 or 16 for the others).
bool png_depth_allowed(int colour_type, int depth);

// Samples a pixel of the file: 1 for grey and palette, 2 grey + alpha, 3 RGB, 4 RGBA; 0 for an
// unknown colour type.
int png_samples(int colour_type);

// What a PNG file's chunks before its picture data say of its pixels (IHDR, PLTE, tRNS).
struct PngHeader {
    int width = 0;
    int height = 0;
    int depth = 0;              // bits per sample: 1, 2, 4, 8 or 16
    int colour_type = 0;        // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    int palette_colours = 0;    // PLTE entries (palette pictures)
    bool transparency = false;  // an alpha channel, or a tRNS chunk
};

// Reads the header chunks only, never the picture data: a few hundred bytes whatever the page's
// size. Refuses a missing or unreadable file, a file that is not a PNG, an IHDR whose depth and
// colour type do not go together, or a palette picture without PLTE before its data.
Resultat<PngHeader> read_png_header(const std::filesystem::path& fichier);

// The file list's column "Bits par pixel - nombre de couleurs": bits per pixel, " - ", the number
// of colours (a palette's entries; every value the samples can take otherwise, written "16 M" for
// 2^24 and "256 T" for 2^48), and " + alpha" when the picture has transparency: "1 - 2",
// "4 - 16", "8 - 256", "24 - 16 M", "32 - 16 M + alpha".
std::string texte_bits_couleurs(const PngHeader& entete);

// texte_bits_couleurs of the file's header, or "" when read_png_header refuses it.
std::string texte_bits_couleurs(const std::filesystem::path& fichier);

}  // namespace vellumor
