// Every test program starts from a clean scripted user and keeps quiet about
// the messages it expects.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/DurableFiles.h"
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
    // Plug-ins keep copies of what they record: in a folder of this run's
    // own, never the user's, and never one another run may offer back.
    const std::filesystem::path recordings =
        std::filesystem::path(::testing::TempDir()) /
        ("spoolex-recordings-" + std::to_string(std::random_device{}()));
    platform::setEnvironmentVariable("SPOOLEX_RECORDINGS", recordings.string());
    int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(recordings, ignored);
    return result;
}
