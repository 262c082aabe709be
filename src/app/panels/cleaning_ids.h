#pragma once

#include <array>

#include "app/colours.h"
#include "ops/cleaning/cleaning_constants.h"

// The cleaning panel's own controls and colour.
namespace vellumor::app {

// One check box per speck pattern, in the order of cleaning::kPatternOptions.
inline constexpr std::array<int, cleaning::kPatternCount> kCasesMotifs{89, 90, 91, 92, 93, 94, 95};
inline constexpr int kCadreOptionsNettoyage = 96;
inline constexpr Couleur kFondBarreNettoyage = 0x00A5A1F2;  // pink, the other runs use pale yellow

}  // namespace vellumor::app
