#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"

namespace {

// One QApplication for the whole test program, on the offscreen platform unless told otherwise.
class EnvironnementQt : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = std::make_unique<vellumor::app::Application>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char nom_[9] = "test_app";
    char* argv_[2] = {nom_, nullptr};
    std::unique_ptr<vellumor::app::Application> application_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironnement =
    ::testing::AddGlobalTestEnvironment(std::make_unique<EnvironnementQt>().release());

}  // namespace
