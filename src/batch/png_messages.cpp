#include "batch/png_messages.h"

#include <algorithm>
#include <cctype>

namespace vellumor {
namespace {

struct Traduction {
    std::string_view anglais;  // a part of the message, compared without case
    std::string_view francais;
};

// First match wins: the more precise parts come before the general ones.
constexpr Traduction kTraductions[] = {
    {"CRC error", "somme de contrôle CRC incorrecte"},
    {"incorrect data check", "somme de contrôle Adler-32 incorrecte, données compressées abîmées"},
    {"ADLER32 checksum mismatch",
     "somme de contrôle Adler-32 incorrecte, données compressées abîmées"},
    {"incorrect header check", "en-tête zlib invalide"},
    {"unknown header flags", "en-tête zlib invalide"},
    {"invalid window size", "taille de fenêtre zlib invalide"},
    {"width is zero", "largeur nulle"},
    {"height is zero", "hauteur nulle"},
    {"width exceeds", "largeur au-delà de la limite acceptée"},
    {"height exceeds", "hauteur au-delà de la limite acceptée"},
    {"Invalid image width", "largeur invalide"},
    {"Invalid image height", "hauteur invalide"},
    {"color type/bit depth combination", "profondeur impossible pour ce type de couleur"},
    {"Invalid color type", "type de couleur invalide"},
    {"Invalid bit depth", "profondeur invalide"},
    {"Unknown interlace method", "méthode d'entrelacement inconnue"},
    {"Unknown filter method", "méthode de filtrage inconnue"},
    {"Invalid filter method", "méthode de filtrage inconnue"},
    {"compression method", "méthode de compression inconnue"},
    {"unknown compression", "méthode de compression inconnue"},
    {"Invalid IHDR", "en-tête IHDR invalide"},
    {"in IHDR", "en-tête IHDR invalide"},
    {"missing IHDR", "en-tête IHDR absent"},
    {"Missing PLTE", "palette absente"},
    {"Valid palette required", "palette absente"},
    {"Palette is NULL", "palette absente"},
    {"palette index exceeding", "indice de couleur hors de la palette"},
    {"Invalid palette", "palette invalide"},
    {"Invalid number of colors in palette", "palette invalide"},
    {"out of place", "bloc mal placé"},
    {"bad adaptive filter value", "filtre de ligne invalide"},
    {"Unknown row filter", "filtre de ligne invalide"},
    {"Unknown custom filter", "filtre de ligne invalide"},
    {"invalid chunk type", "type de bloc invalide"},
    {"unhandled critical chunk", "bloc critique inconnu"},
    {"chunk data is too large", "longueur de bloc invalide"},
    {"length exceeds PNG maximum", "longueur de bloc invalide"},
    {"unsigned integer out of range", "longueur de bloc invalide"},
    {"bad length", "longueur de bloc invalide"},
    {"invalid length", "longueur de bloc invalide"},
    {"Not a PNG file", "signature PNG invalide"},
    {"invalid signature", "signature PNG invalide"},
    {"bytes for PNG signature", "signature PNG invalide"},
    {"ASCII conversion", "fichier altéré par un transfert en mode texte"},
    {"Not enough image data", "données de l'image tronquées"},
    {"Not enough compressed data", "données de l'image tronquées"},
    {"Truncated compressed data", "données de l'image tronquées"},
    {"unexpected end of", "données de l'image tronquées"},
    {"read beyond end of data", "données de l'image tronquées"},
    {"Read Error", "fichier tronqué"},
    {"Too much image data", "données de l'image en trop"},
    {"Extra compress", "données de l'image en trop"},
    {"compressed data too long", "données de l'image en trop"},
    {"invalid block type", "données compressées invalides"},
    {"invalid stored block", "données compressées invalides"},
    {"invalid code lengths", "données compressées invalides"},
    {"invalid bit length repeat", "données compressées invalides"},
    {"invalid literal", "données compressées invalides"},
    {"invalid distance", "données compressées invalides"},
    {"too many length or distance", "données compressées invalides"},
    {"LZ stream", "données compressées invalides"},
    {"LZ dictionary", "données compressées invalides"},
    {"need dictionary", "données compressées invalides"},
    {"Decompression error", "données compressées invalides"},
    {"compressed data error", "données compressées invalides"},
    {"exceeds user limit", "image trop grande"},
    {"exceeds application limits", "image trop grande"},
    {"exceeds memory limits", "image trop grande"},
    {"too many bytes to allocate", "image trop grande"},
    {"image too large", "image trop grande"},
    {"out of memory", "mémoire insuffisante"},
    {"insufficient memory", "mémoire insuffisante"},
    // Raised by the program itself in plain ASCII.
    {"format de pixels inattendu", "format de pixels inattendu"},
};

constexpr std::string_view kInconnu = "données PNG invalides";

bool contient(std::string_view texte, std::string_view partie) {
    return std::search(texte.begin(), texte.end(), partie.begin(), partie.end(),
                       [](char a, char b) {
                           return std::tolower(static_cast<unsigned char>(a)) ==
                                  std::tolower(static_cast<unsigned char>(b));
                       }) != texte.end();
}

std::string_view traduire(std::string_view message) {
    for (const Traduction& t : kTraductions)
        if (contient(message, t.anglais)) return t.francais;
    return {};
}

// libpng names the chunk at fault before its message ("IDAT: CRC error").
std::string_view bloc_en_tete(std::string_view& message) {
    if (message.size() < 6 || message.substr(4, 2) != ": ") return {};
    const std::string_view bloc = message.substr(0, 4);
    if (!std::all_of(bloc.begin(), bloc.end(), [](char c) { return std::isalpha(c); })) return {};
    message.remove_prefix(6);
    return bloc;
}

}  // namespace

std::string french_png_message(std::string_view message, std::string_view detail) {
    if (std::any_of(message.begin(), message.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return std::string(message);
    const std::string_view bloc = bloc_en_tete(message);
    const std::string_view francais = traduire(message);
    std::string r = bloc.empty() ? std::string() : std::string(bloc) + " : ";
    r += francais.empty() ? kInconnu : francais;
    // An invalid header is preceded by a warning that names the field at fault.
    if (contient(message, "IHDR") && !detail.empty()) {
        const std::string_view precision = traduire(detail);
        if (!precision.empty() && precision != francais) r += " (" + std::string(precision) + ")";
    }
    return r;
}

}  // namespace vellumor
