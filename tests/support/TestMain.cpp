// Every test program starts from a clean scripted user and keeps quiet about
// the messages it expects.
#include <gtest/gtest.h>

#include "platform/testing/ScriptedUi.h"

namespace {
class ScriptedUiReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        platform::testing::ScriptedUi::instance().clear();
    }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::testing::ScriptedUi::instance().setEcho(false);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScriptedUiReset);
    return RUN_ALL_TESTS();
}
