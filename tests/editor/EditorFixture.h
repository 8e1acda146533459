// A generator with its editor windows (headless on Linux), sized so that one
// tick is 100 pixels wide and 100 frames long: pattern "A" of 16 ticks in a
// view of 1600 x 600 pixels, at 6000 Hz, 60 beats per minute and 60 ticks
// per beat. Tests act as the user: mouse messages, commands, controls.
#pragma once

#include "generator/editor/AudioClipboard.h"
#include "generator/editor/PatternEditorDialogBar.h"
#include "platform/testing/Headless.h"
#include "tests/core/GeneratorFixture.h"

class EditorTest : public GeneratorTest {
protected:
    static constexpr int viewWidth = 1600;
    static constexpr int viewHeight = 600;

    void SetUp() override {
        GeneratorTest::SetUp();
        ui().clear();
        audioClipboard().clear();
        host.setTiming(6000, 60, 60);
        placed = placeGenerator();
        hostPattern = host.createPattern(*placed, "A", 16);
        frameWindow = host.editorWindow(*placed);
        ASSERT_NE(frameWindow, nullptr);
        const int barHeight = platform::clientRect(bar()).bottom;
        platform::headless::resize(frameWindow, viewWidth, viewHeight + barHeight);
        placed->extension->showPattern(hostPattern->handle());
    }

    void TearDown() override {
        ui().clear();
        audioClipboard().clear();
        GeneratorTest::TearDown();
    }

    static platform::testing::ScriptedUi& ui() { return platform::testing::ScriptedUi::instance(); }
    spoolex::mi& machine() { return generatorOf(placed); }
    spoolex::Pattern& pattern() { return *machine().findPattern(hostPattern->handle()); }
    PatternEditor& view() { return *editorViewOf(machine()); }
    platform::WindowHandle viewWindow() { return view().windowHandle(); }
    platform::WindowHandle bar() {
        return platform::headless::findDialog(frameWindow, dialogBarTemplate);
    }

    // A take of frames frames whose frame f holds (f, -f).
    spoolex::Take& addTake(size_t frames) {
        auto hold = machine().lockAudio();
        spoolex::Take& take = pattern().addTake();
        take.changeSamples().resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            take.changeSamples()[2 * f] = static_cast<float>(f);
            take.changeSamples()[2 * f + 1] = -static_cast<float>(f);
        }
        return take;
    }

    static int rowY(int row) { return row * 200 + 100; }

    void send(unsigned message, uintptr_t wParam, int x, int y) {
        platform::sendMessage(viewWindow(), message, wParam, platform::mousePosition(x, y));
    }
    // Mouse messages carry the buttons held, as the system's do.
    void press(int x, int y, uintptr_t keys = 0) {
        leftHeld = true;
        send(platform::messageLeftButtonDown, keys | platform::mouseLeftButton, x, y);
    }
    void move(int x, int y, uintptr_t keys = 0) {
        send(platform::messageMouseMove, keys | (leftHeld ? platform::mouseLeftButton : 0), x, y);
    }
    void release(int x, int y) {
        leftHeld = false;
        send(platform::messageLeftButtonUp, 0, x, y);
    }
    void drag(int fromX, int toX, int y, uintptr_t keys = 0) {
        press(fromX, y, keys);
        move(toX, y, keys);
        release(toX, y);
    }
    void command(unsigned id) {
        platform::sendMessage(frameWindow, platform::messageCommand, id, 0);
    }
    void selectTicks(double from, double to) {
        view().selStart = from;
        view().selEnd = to;
    }

    host::HostMachine* placed = nullptr;
    host::HostPattern* hostPattern = nullptr;
    platform::WindowHandle frameWindow = nullptr;
    bool leftHeld = false;
};
