#pragma once

#include <string>

namespace vellumor {

// The reason a system call failed, in French, for the messages shown to the user: the usual
// causes (permission, read-only, full disk, missing file ...) in words, any other with its number.
std::string raison_systeme(int errnum);

}  // namespace vellumor
