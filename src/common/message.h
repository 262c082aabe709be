#pragma once

#include <cstdint>
#include <string>

namespace vellumor {

// Icon and button flags of a message, as the message boxes take them.
inline constexpr std::uint32_t kIconeErreur = 0x10;
inline constexpr std::uint32_t kIconeQuestion = 0x20;
inline constexpr std::uint32_t kIconeAvertissement = 0x30;
inline constexpr std::uint32_t kIconeInformation = 0x40;
inline constexpr std::uint32_t kBoutonsOuiNon = 0x4;

// A message for the user, returned as data by the core so that the GUI shows it and the CLI and the
// tests read it. kind tells which box shows it: Boite_Message (main instruction + text, the text
// split at line feeds into details and body) or a plain message box (title + text only).
struct Message {
    enum class Kind { BoiteMessage, Simple };
    Kind kind = Kind::BoiteMessage;
    std::string instruction;  // main instruction (Boite_Message only)
    std::string texte;
    std::string titre;        // empty: the main window's title
    std::uint32_t style = 0;  // icon in bits 4 to 7, buttons in bits 0 to 3
    bool operator==(const Message&) const = default;
};

}  // namespace vellumor
