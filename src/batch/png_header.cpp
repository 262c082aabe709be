#include "batch/png_header.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace vellumor {
namespace {

constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// 2^bits colours, exact up to 65536, then in binary units.
std::string nombre_de_couleurs(int bits) {
    if (bits <= 16) return std::to_string(1u << bits);
    static constexpr std::array<const char*, 4> kUnites = {"K", "M", "G", "T"};
    const int unite = std::min((bits - 1) / 10, 4);
    return std::to_string(std::uint64_t(1) << (bits - 10 * unite)) + " " + kUnites[unite - 1];
}

}  // namespace

std::uint32_t png_be32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
           std::uint32_t(bytes[2]) << 8 | std::uint32_t(bytes[3]);
}

bool png_depth_allowed(int colour_type, int depth) {
    switch (colour_type) {
        case 0:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

int png_samples(int colour_type) {
    switch (colour_type) {
        case 0:
        case 3:
            return 1;
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 0;
    }
}

Resultat<PngHeader> read_png_header(const std::filesystem::path& fichier) {
    std::ifstream flux(fichier, std::ios::binary);
    std::array<unsigned char, 8 + 8 + 13> debut{};
    if (!flux.read(reinterpret_cast<char*>(debut.data()), debut.size()))
        return Echec{"le fichier ne peut pas être lu ou est trop court"};
    if (!std::equal(kSignature.begin(), kSignature.end(), debut.begin()))
        return Echec{"ce n'est pas un fichier PNG"};
    const unsigned char* ihdr = debut.data() + 8;
    if (png_be32(ihdr) != 13 ||
        std::string_view(reinterpret_cast<const char*>(ihdr + 4), 4) != "IHDR")
        return Echec{"l'en-tête PNG est invalide"};
    PngHeader entete;
    const std::uint32_t largeur = png_be32(ihdr + 8);
    const std::uint32_t hauteur = png_be32(ihdr + 12);
    entete.depth = ihdr[16];
    entete.colour_type = ihdr[17];
    if (largeur == 0 || hauteur == 0 || largeur > 0x7FFFFFFF || hauteur > 0x7FFFFFFF ||
        !png_depth_allowed(entete.colour_type, entete.depth))
        return Echec{"l'en-tête PNG est invalide"};
    entete.width = int(largeur);
    entete.height = int(hauteur);
    entete.transparency = entete.colour_type == 4 || entete.colour_type == 6;

    // The chunks between IHDR's CRC and the first IDAT: only their heads are read.
    flux.seekg(4, std::ios::cur);
    std::array<unsigned char, 8> tete{};
    while (flux.read(reinterpret_cast<char*>(tete.data()), tete.size())) {
        const std::uint32_t longueur = png_be32(tete.data());
        const std::string_view type(reinterpret_cast<const char*>(tete.data() + 4), 4);
        if (longueur > 0x7FFFFFFF || type == "IDAT" || type == "IEND") break;
        if (type == "PLTE") entete.palette_colours = int(longueur / 3);
        if (type == "tRNS") entete.transparency = true;
        flux.seekg(std::streamoff(longueur) + 4, std::ios::cur);
    }
    if (entete.colour_type == 3 && entete.palette_colours == 0)
        return Echec{"la palette est absente"};
    return entete;
}

std::string texte_bits_couleurs(const PngHeader& entete) {
    const int bits_par_pixel = entete.depth * png_samples(entete.colour_type);
    const int bits_de_couleur =
        entete.colour_type == 2 || entete.colour_type == 6 ? 3 * entete.depth : entete.depth;
    const std::string couleurs =
        entete.colour_type == 3
            ? std::to_string(std::min(entete.palette_colours, 1 << entete.depth))
            : nombre_de_couleurs(bits_de_couleur);
    return std::to_string(bits_par_pixel) + " - " + couleurs +
           (entete.transparency ? " + alpha" : "");
}

std::string texte_bits_couleurs(const std::filesystem::path& fichier) {
    const auto entete = read_png_header(fichier);
    return entete ? texte_bits_couleurs(*entete) : std::string();
}

}  // namespace vellumor
