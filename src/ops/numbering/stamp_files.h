#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/message.h"
#include "ops/numbering/stamps.h"

namespace vellumor::numbering {

// Work files of the temporary folder: a number cut to its ink, and a finished stamp.
std::string nom_nombre_detoure(std::int64_t n);  // "Num___Det_" + n + ".png"
std::string nom_tampon(std::int64_t n);          // "Num___" + n + ".png"

struct DemandeTampons {
    std::int64_t debut = 0;
    std::int64_t fin = 0;
    ModeleNumero modele = ModeleNumero::RectangleBlanc;
    int epaisseur = 5;   // t
    int espacement = 5;  // s
    // Told after each number of each of the two passes (numbers alone, then stamps): faits of
    // total steps, total being twice the count of numbers. Called on the building thread.
    std::function<void(std::int64_t faits, std::int64_t total)> avancement = nullptr;
    // Set from a signal handler to stop the build: every work file made so far is then deleted.
    const std::atomic<bool>* arret = nullptr;
};

inline constexpr const char* kTexteInterruptionTampons =
    "Interruption : les tampons de numérotation n'ont pas été terminés, aucune page n'est "
    "numérotée";

struct ResultatTampons {
    bool abandon = false;           // no stamp was made; the first message says why
    std::vector<Message> messages;  // every message of the build, in order
    Rognage plus_grand;             // MW and MH of the run
    // MW in the low 32 bits, MH in the high 32 bits.
    std::int64_t taille_empaquetee() const {
        return std::int64_t(std::uint32_t(plus_grand.largeur)) |
               (std::int64_t(std::uint32_t(plus_grand.hauteur)) << 32);
    }
};

// Cuts picture to its ink (see rogner_a_l_encre), writes the cut as "Num___Det_" + number + ".png"
// in folder, number being the decimal value of texte (0 when empty), and returns its size. An empty
// or inkless picture, or a failed write, writes nothing, returns 0 x 0 and adds a message.
Rognage rogner_vers_fichier(const Image& picture, Couleur encre, std::string_view texte,
                            const std::filesystem::path& folder, std::vector<Message>& messages);

// Writes the stamp "Num___" + n + ".png" for every n from debut to fin into folder (created when
// missing), all of one size, through the number files "Num___Det_" + n + ".png", which are deleted
// at the end. Without a font (police null) or when a number cannot be drawn the run is abandoned
// before any stamp. A number whose cut file cannot be read stops the build at that number; a stamp
// that cannot be made is skipped with its message. Pixels off the glyphs keep the canvas colour.
// A stop asked through demande.arret abandons the build with kTexteInterruptionTampons and
// leaves no work file behind.
ResultatTampons construire_tampons(const PoliceTampon* police, const DemandeTampons& demande,
                                   const std::filesystem::path& folder);

// Deletes "Num___" + n + ".png" for every n from debut to fin; missing files are ignored.
void supprimer_tampons(std::int64_t debut, std::int64_t fin, const std::filesystem::path& folder);

}  // namespace vellumor::numbering
