#pragma once

#include <string>

#include "common/message.h"

namespace vellumor {

// A message as terminal text: the title, the main instruction and the text, each on its own lines
// when not empty, with every CR, LF and CR LF of the texts made a line feed and no leading blank
// lines. Ends with a line feed unless the message is empty.
std::string message_en_texte(const Message& message);

}  // namespace vellumor
