#include "common/message_text.h"

#include "common/text_utf8.h"

namespace vellumor {
namespace {

void ajouter(std::string& out, const std::string& text) {
    std::string part;
    for (const std::string_view line : decouper_lignes(text)) {
        if (part.empty() && sans_blancs(line).empty()) continue;
        part += std::string(line) + "\n";
    }
    out += part;
}

}  // namespace

std::string message_en_texte(const Message& message) {
    std::string out;
    ajouter(out, message.titre);
    ajouter(out, message.instruction);
    ajouter(out, message.texte);
    return out;
}

}  // namespace vellumor
