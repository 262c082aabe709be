#pragma once

#include "ops/numbering/stamp_font.h"

namespace vellumor::numbering {

// The stamp font shared by the tests of this folder (null when the system has none). It lives
// until the end of the tests, after which the font libraries' caches are freed so that a leak
// checker reports only what the stamps leave behind.
const PoliceTampon* police();

}  // namespace vellumor::numbering
