#pragma once

#include <string>

#include "common/resultat.h"

namespace vellumor {

// The reason a system call failed, in French, for the messages shown to the user: the usual
// causes (permission, read-only, full disk, missing file ...) in words, any other with its number.
std::string raison_systeme(int errnum);

// The failure of the system call that just set errno, with its reason; errno is kept for a caller
// that tells causes apart.
Echec echec_systeme();

}  // namespace vellumor
