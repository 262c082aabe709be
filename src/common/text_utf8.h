#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumor {

// The mark that opens the program's UTF-8 text files (lists, preferences).
inline constexpr std::string_view kMarqueUtf8 = "\xEF\xBB\xBF";

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool utf8_valide(std::string_view text);

// text in lower case: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals are lowered;
// every other byte, malformed sequences included, is kept as it is.
std::string en_minuscules(std::string_view text);

// The lines of text, split at CR LF, LF or CR; the last line needs no line end, and a text that
// ends with a line end has no empty line after it. The views point into text.
std::vector<std::string_view> decouper_lignes(std::string_view text);

// The same lines given one at a time to ligne, until it returns false; nothing is gathered.
void pour_chaque_ligne(std::string_view text, const std::function<bool(std::string_view)>& ligne);

// text without the characters of blanks at both ends.
std::string_view sans_blancs(std::string_view text, std::string_view blanks = " ");

// text split at every separator: n separators give n + 1 fields.
std::vector<std::string_view> decouper_champs(std::string_view text, char separator);

// The integer that starts text: blanks and tabs skipped, an optional "+" or "-", then decimal
// digits up to the first other character; with bases, "$" before the digits reads hexadecimal
// digits and
// "%" binary ones. No digits give 0; a value beyond 64 bits saturates.
std::int64_t lire_entier(std::string_view text, bool bases = false);

// UTF-8 text as UTF-16LE bytes without byte-order mark; a malformed byte becomes U+FFFD.
std::string utf8_vers_utf16le(std::string_view text);

// UTF-16LE bytes as UTF-8 text, or nothing when they are not well-formed UTF-16LE: an odd byte
// count, or a surrogate without its partner.
std::optional<std::string> utf16le_vers_utf8(std::string_view bytes);

}  // namespace vellumor
