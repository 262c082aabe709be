#include "ops/numbering/test_font.h"

#include <gtest/gtest.h>

#include <optional>

namespace vellumor::numbering {
namespace {

// Loaded by the first test that asks, so that listing the tests touches no font library.
class PoliceDesTests : public ::testing::Environment {
  public:
    void TearDown() override {
        if (!loaded) return;
        font.reset();
        liberer_caches_polices();
    }
    bool loaded = false;
    std::optional<PoliceTampon> font;
};

// gtest owns the environments it is given.
PoliceDesTests* const kPolice =
    static_cast<PoliceDesTests*>(::testing::AddGlobalTestEnvironment(new PoliceDesTests));

}  // namespace

const PoliceTampon* police() {
    if (!kPolice->loaded) {
        kPolice->font = PoliceTampon::charger();
        kPolice->loaded = true;
    }
    return kPolice->font ? &*kPolice->font : nullptr;
}

}  // namespace vellumor::numbering
