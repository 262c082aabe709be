#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/image.h"
#include "common/resultat.h"

namespace vellumor::pdf {

// What a PNG file says about its picture, read from the chunks before its picture data.
struct DescriptionPng {
    std::uint32_t largeur = 0;
    std::uint32_t hauteur = 0;
    int profondeur = 8;    // bits per sample: 1, 2, 4, 8 or 16
    int type_couleur = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    bool entrelace = false;
    std::vector<std::uint8_t> palette;        // PLTE, three bytes an entry
    std::vector<std::uint8_t> alpha_palette;  // tRNS of a palette picture
    bool cle_transparente = false;            // tRNS of a grey or RGB picture
    std::optional<Resolution> resolution;     // pHYs, when given in pixels per metre
    bool operator==(const DescriptionPng&) const = default;
};

// Samples a pixel in the file: 1 for grey and palette, 2 grey + alpha, 3 RGB, 4 RGBA.
int echantillons_pixel(const DescriptionPng& e);

// A PNG file taken apart: its header facts and its picture data (the IDAT chunks' contents, which
// joined make one zlib stream).
struct PngDecoupe {
    DescriptionPng entete;
    std::vector<char> octets;  // the whole file, when read with its picture data from a file
    std::vector<std::string_view> donnees;  // IDAT contents in file order, views into the bytes
    std::uint64_t octets_donnees = 0;       // their total length, read with or without them
};

// Reads file and checks its structure: signature, a valid IHDR first, the checksum of every chunk,
// PLTE where a palette picture needs one, at least one IDAT and an IEND. avec_donnees joins the
// picture data; without it the picture data is skipped unread (a cheap look at a page).
// Sides over 32767 are refused like the loader refuses them; a refusal says why in French.
Resultat<PngDecoupe> decouper_png(const std::filesystem::path& file, bool avec_donnees);

// Same as decouper_png on bytes already in memory.
Resultat<PngDecoupe> decouper_png_memoire(std::string_view octets, bool avec_donnees);

}  // namespace vellumor::pdf
