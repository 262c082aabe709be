#include "support/seed.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace vellumor::test {

std::uint32_t graine_aleatoire(const std::string& test) {
    std::uint32_t graine = std::random_device{}();
    if (const char* donnee = std::getenv("VELLUMOR_TEST_SEED"); donnee && *donnee) {
        char* fin = nullptr;
        const unsigned long long lue = std::strtoull(donnee, &fin, 10);
        if (*fin == '\0' && lue <= 0xFFFFFFFFull)
            graine = std::uint32_t(lue);
        else
            std::fprintf(stderr, "VELLUMOR_TEST_SEED=%s is no seed: a fresh one is used\n", donnee);
    }
    std::printf("%s: seed %u (VELLUMOR_TEST_SEED=%u runs it again)\n", test.c_str(), graine,
                graine);
    std::fflush(stdout);
    return graine;
}

}  // namespace vellumor::test
