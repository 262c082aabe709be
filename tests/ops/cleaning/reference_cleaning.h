#pragma once

#include <cstdint>
#include <vector>

#include "batch/image.h"

namespace vellumor::testing {

// The speck removal done the plain way: the page copied into an array of colour words stored
// column by column, every anchor of every enabled pattern tested in scan order, the array written
// back. Slow, and simple enough to check by reading; the fast cleaning must match it exactly.
void reference_nettoyer(Image& page, std::uint32_t masque);

}  // namespace vellumor::testing
