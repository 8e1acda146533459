// A generator with its editor open on one pattern, the view sized as asked,
// painted onto a recording surface.
#pragma once

#include "generator/editor/PatternEditor.h"
#include "platform/testing/Headless.h"
#include "platform/testing/RecordingSurface.h"
#include "tests/core/PlaybackFixture.h"

class EditorViewTest : public PlaybackTest {
protected:
    using Op = platform::testing::DrawOp;

    void SetUp() override {
        PlaybackTest::SetUp();
        host.themeColours["PE BG Dark"] = 0x000022;
        host.themeColours["PE BG Very Dark"] = 0x000033;
        host.themeColours["PE Sel BG"] = 0x445566;
        host.themeColours["PE Text"] = 0x0000FF;
        frame = host.editorWindow(*placed);
        ASSERT_NE(frame, nullptr);
        view = editorViewOf(machine());
        ASSERT_NE(view, nullptr);
        viewWindow = platform::headless::findByName(frame, "pated");
        ASSERT_NE(viewWindow, nullptr);
    }

    // Shows a new pattern of length ticks in a view of width x height.
    spoolex::Pattern& show(int length, int width, int height) {
        hostPattern = createPattern("p", length);
        spoolex::Pattern& pattern = patternOf(hostPattern);
        placed->extension->showPattern(hostPattern->handle());
        platform::headless::resize(viewWindow, width, height);
        view->updateScrollBars();
        return pattern;
    }

    platform::testing::RecordingSurface paint() {
        const platform::PixelRect client = platform::clientRect(viewWindow);
        platform::testing::RecordingSurface surface(client);
        platform::headless::paintOnto(viewWindow, surface);
        return surface;
    }

    static constexpr uint32_t background = 0xFFC9D6DA;
    static constexpr uint32_t fine = 0xFF220000;
    static constexpr uint32_t coarse = 0xFF330000;
    static constexpr uint32_t text = 0xFFFF0000;

    void* frame = nullptr;
    PatternEditor* view = nullptr;
    platform::headless::Window* viewWindow = nullptr;
    host::HostPattern* hostPattern = nullptr;
};
