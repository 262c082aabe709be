#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer on a broken promise, naming it, so that the kept input explains itself.
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
