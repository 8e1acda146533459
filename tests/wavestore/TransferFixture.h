// A generator with one shown pattern, its boxes and choosers answered by the
// scripted user, as the editor's transfer commands run.
#pragma once

#include "tests/core/PlaybackFixture.h"

class TransferTest : public PlaybackTest {
protected:
    void SetUp() override {
        PlaybackTest::SetUp();
        platform::testing::ScriptedUi::instance().clear();
        platform::testing::ScriptedUi::instance().setEcho(false);
        pattern = &patternOf(createPattern("P", 16));
    }
    void TearDown() override {
        platform::testing::ScriptedUi::instance().clear();
        PlaybackTest::TearDown();
    }

    spoolex::Pattern* pattern = nullptr;
    int owner = 0; // stands for the editor window
};
