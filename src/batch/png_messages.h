#pragma once

#include <string>
#include <string_view>

namespace vellumor {

// A libpng (or zlib) failure message in French for the user: "IDAT: CRC error" gives
// "IDAT : somme de contrôle CRC incorrecte". detail, when given, is the warning libpng emitted just
// before (it says which field of an invalid header is wrong). A message the table does not know
// becomes a general French reason, never the English text; a message the program raised itself
// (already French) is kept as it is.
std::string french_png_message(std::string_view message, std::string_view detail = {});

}  // namespace vellumor
