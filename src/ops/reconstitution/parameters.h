#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/resultat.h"
#include "ops/reconstitution/format.h"
#include "ops/reconstitution/placement.h"
#include "ops/reconstitution/reconstitution_constants.h"

namespace vellumor::reconstitution {

// What the reconstitution panel (and the command line) set up for a run.
struct Parametres {
    int format = kFormatParDefaut;       // 29 to 34
    std::filesystem::path page_vierge;   // the blank-page file of format 34
    std::int64_t bits = kBitsParDefaut;  // the stored bit word
    std::int64_t decalage_reliure = 0;   // binding offset, mm, -1000 to 1000
    std::int64_t decalage_haut = 0;      // top offset, mm, -1000 to 1000
    bool aligner_a_gauche = false;       // every page placed as an odd page
};

// A French reason when the parameters cannot run: format outside 29..34, offsets outside
// -1000..1000, a corner other than exactly one of 1, 2, 4, 8, format 34 without a blank-page file.
Verdict valider(const Parametres& p);

// A typed offset held to -1000..1000, as the panel's spin boxes do.
constexpr std::int64_t borner_decalage(std::int64_t v) {
    return v < kDecalageMin ? kDecalageMin : v > kDecalageMax ? kDecalageMax : v;
}

// The placement the workers receive: the binding offset counts only when it is in use.
Placement placement_de(const Parametres& p);

}  // namespace vellumor::reconstitution
