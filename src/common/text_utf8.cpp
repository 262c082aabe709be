#include "common/text_utf8.h"

#include <cstdint>
#include <limits>

namespace vellumor {
namespace {

// Decodes the sequence at text[i]; returns its length, or 0 when it is malformed.
std::size_t decoder(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    std::size_t length;
    char32_t minimum;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, code = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, code = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, code = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void encoder(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t minuscule(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;
    if (c == 0x130) return 'i';
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    return c;
}

}  // namespace

bool utf8_valide(std::string_view text) {
    char32_t code;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = decoder(text, i, code);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string en_minuscules(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t code;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = decoder(text, i, code);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        encoder(minuscule(code), out);
        i += length;
    }
    return out;
}

void pour_chaque_ligne(std::string_view text, const std::function<bool(std::string_view)>& ligne) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        if (!ligne(text.substr(start, i - start))) return;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) ligne(text.substr(start));
}

std::vector<std::string_view> decouper_lignes(std::string_view text) {
    std::vector<std::string_view> lines;
    pour_chaque_ligne(text, [&lines](std::string_view line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

std::string_view sans_blancs(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> decouper_champs(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = text.find(separator); i != std::string_view::npos;
         i = text.find(separator, start)) {
        fields.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

std::int64_t lire_entier(std::string_view text, bool bases) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (bases && i < text.size() && (text[i] == '$' || text[i] == '%'))
        base = text[i++] == '$' ? 16 : 2;
    const auto digit = [base](char c) -> int {
        int d = 99;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        return d < int(base) ? d : -1;
    };
    constexpr std::uint64_t kLimit = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    std::uint64_t value = 0;
    for (; i < text.size() && digit(text[i]) >= 0; ++i) {
        const unsigned d = unsigned(digit(text[i]));
        value = value > (kLimit - d) / base ? kLimit : value * base + d;
    }
    const auto magnitude = static_cast<std::int64_t>(value);
    return negative ? -magnitude : magnitude;
}

std::string utf8_vers_utf16le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto unite = [&out](std::uint16_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    char32_t code;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = decoder(text, i, code);
        if (length == 0) code = 0xFFFD, length = 1;
        if (code >= 0x10000) {
            unite(static_cast<std::uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
            unite(static_cast<std::uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            unite(static_cast<std::uint16_t>(code));
        }
        i += length;
    }
    return out;
}

std::optional<std::string> utf16le_vers_utf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto unite = [bytes](std::size_t i) {
        return char32_t(static_cast<unsigned char>(bytes[i]) |
                        (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t code = unite(i);
        if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return std::nullopt;
            const char32_t low = unite(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        encoder(code, out);
    }
    return out;
}

}  // namespace vellumor
