#pragma once

#include <string>
#include <string_view>

namespace vellumor::cli {

// texte_affichable, and every byte that is not part of well-formed UTF-8 written "\xNN" too: a
// name read from a file can neither drive the terminal nor garble it.
std::string texte_terminal(std::string_view text);

}  // namespace vellumor::cli
