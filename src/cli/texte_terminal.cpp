#include "cli/texte_terminal.h"

#include <cstdio>

#include "cli/terminal_progress.h"
#include "common/text_utf8.h"

namespace vellumor::cli {

std::string texte_terminal(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        // One character at a time: a C1 control is a whole two-byte sequence.
        if (i + n <= text.size() && utf8_valide(text.substr(i, n))) {
            out += texte_affichable(text.substr(i, n));
            i += n;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
        ++i;
    }
    return out;
}

}  // namespace vellumor::cli
