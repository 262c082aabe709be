#pragma once

#include <cstdint>
#include <string>

namespace vellumor::test {

// The seed of a randomised test: VELLUMOR_TEST_SEED when set (to run a failing case again), else a
// fresh one. Printed either way, so that a failure can be replayed.
std::uint32_t graine_aleatoire(const std::string& test);

}  // namespace vellumor::test
