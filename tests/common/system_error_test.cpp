#include "common/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace vellumor {
namespace {

TEST(SystemError, EveryReasonIsFrenchNeverTheSystemsEnglishText) {
    for (int e = 1; e < 134; ++e) {
        const std::string reason = raison_systeme(e);
        EXPECT_FALSE(reason.empty()) << e;
        EXPECT_EQ(reason.find(std::strerror(e)), std::string::npos) << e << ": " << reason;
    }
    EXPECT_EQ(raison_systeme(ELOOP), "trop de liens symboliques à suivre (boucle de liens)");
    EXPECT_EQ(raison_systeme(EACCES), "permission refusée");
    EXPECT_EQ(raison_systeme(EROFS), "support en lecture seule");
    EXPECT_EQ(raison_systeme(EHWPOISON), "erreur système n° " + std::to_string(EHWPOISON));
}

}  // namespace
}  // namespace vellumor
