// The selection made with the mouse, and the frame ranges the clipboard
// commands take from it.
#include "generator/editor/EditorCommandIds.h"
#include "tests/editor/EditorFixture.h"

namespace {

namespace cmd = editorcommand;
using platform::CursorShape;

class Selection : public EditorTest {};

TEST_F(Selection, AClickSnapsToTheTickUnlessCtrlIsHeldAndADragMovesTheEnd) {
    spoolex::Take& take = addTake(1600);
    press(350, rowY(0)); // tick 3.5
    EXPECT_EQ(view().currentTake, &take);
    EXPECT_EQ(view().dragMode(), DragSelEnd);
    EXPECT_TRUE(platform::headless::windowOf(viewWindow())->hasCapture);
    EXPECT_EQ(view().selStart, 4.0);
    move(1049, rowY(0)); // tick 10.49
    release(1049, rowY(0));
    EXPECT_EQ(view().selEnd, 10.0);
    EXPECT_EQ(view().dragMode(), DragNone);
    EXPECT_FALSE(platform::headless::windowOf(viewWindow())->hasCapture);

    view().selLeftPx = view().selRightPx = -100; // no edge under the pointer
    drag(350, 1049, rowY(0), platform::mouseControl);
    EXPECT_EQ(view().selStart, 3.5);
    EXPECT_DOUBLE_EQ(view().selEnd, 10.49);
    // Past the pattern's end the selection stops at its length.
    drag(350, 1900, rowY(0), platform::mouseControl);
    EXPECT_EQ(view().selEnd, 16.0);
}

TEST_F(Selection, CoarseSnapStepsByFineTimesCoarse) {
    addTake(1600);
    platform::headless::typeText(bar(), barcontrol::fineEdit, "2");
    platform::headless::typeText(bar(), barcontrol::coarseEdit, "3");
    platform::headless::chooseListItem(bar(), barcontrol::snapList, 3);
    // A grid of 6 ticks: tick 4 lands on 6, tick 10.2 on 12.
    drag(400, 1020, rowY(0));
    EXPECT_EQ(view().selStart, 6.0);
    EXPECT_EQ(view().selEnd, 12.0);
}

TEST_F(Selection, DraggingTheStartEdgePastTheEndSwapsThem) {
    addTake(1600);
    drag(400, 1000, rowY(0));
    view().selLeftPx = 400; // as the last paint placed the edges
    view().selRightPx = 1000;
    move(402, rowY(0));
    EXPECT_EQ(ui().cursorShape(), static_cast<int>(CursorShape::SizeWestEast));
    press(402, rowY(0));
    EXPECT_EQ(view().dragMode(), DragSelStart);
    move(1300, rowY(0));
    EXPECT_EQ(view().selStart, 10.0);
    EXPECT_EQ(view().selEnd, 13.0);
    EXPECT_EQ(view().dragMode(), DragSelEnd);
    release(1300, rowY(0));
    move(700, rowY(0));
    EXPECT_EQ(ui().cursorShape(), static_cast<int>(CursorShape::Arrow));
}

TEST_F(Selection, ShiftDraggingARowMovesItOnePlacePerRowCrossed) {
    spoolex::Take& a = addTake(10);
    spoolex::Take& b = addTake(10);
    spoolex::Take& c = addTake(10);
    selectTicks(2.0, 3.0);
    press(500, rowY(0), platform::mouseShift);
    EXPECT_EQ(view().currentTake, &a);
    move(500, rowY(1));
    EXPECT_EQ(ui().cursorShape(), static_cast<int>(CursorShape::SizeNorthSouth));
    move(500, rowY(2));
    release(500, rowY(2));
    ASSERT_EQ(pattern().takes.size(), 3u);
    EXPECT_EQ(pattern().takes[0].get(), &b);
    EXPECT_EQ(pattern().takes[1].get(), &c);
    EXPECT_EQ(pattern().takes[2].get(), &a);
    EXPECT_TRUE(host.songModified);
    EXPECT_EQ(view().selStart, 2.0); // the selection is not touched
    EXPECT_EQ(view().selEnd, 3.0);
}

TEST_F(Selection, LosingTheMouseMidDragEndsTheDragWhereItStands) {
    spoolex::Take& a = addTake(10);
    spoolex::Take& b = addTake(10);
    spoolex::Take& c = addTake(10);
    // A row drag: the first swap stays, hovering afterwards swaps nothing.
    press(500, rowY(0), platform::mouseShift);
    move(500, rowY(1));
    host.songModified = false;
    platform::headless::loseCapture(); // a box opens, the user switches away
    EXPECT_EQ(view().dragMode(), DragNone);
    leftHeld = false;
    move(500, rowY(2));
    EXPECT_EQ(pattern().takes[0].get(), &b);
    EXPECT_EQ(pattern().takes[1].get(), &a);
    EXPECT_EQ(pattern().takes[2].get(), &c);
    EXPECT_FALSE(host.songModified);

    // A selection drag keeps the edge where it was when the capture went.
    press(300, rowY(0));
    move(700, rowY(0));
    platform::headless::loseCapture();
    leftHeld = false;
    move(1200, rowY(0));
    EXPECT_EQ(view().selStart, 3.0);
    EXPECT_EQ(view().selEnd, 7.0);

    // A button-up that never arrived: the next move without the button
    // ends the drag and lets the mouse go.
    press(300, rowY(0));
    send(platform::messageMouseMove, 0, 900, rowY(0));
    EXPECT_EQ(view().dragMode(), DragNone);
    EXPECT_FALSE(platform::headless::windowOf(viewWindow())->hasCapture);
    EXPECT_EQ(view().selEnd, 3.0);
}

TEST_F(Selection, TheSelectCommandsAndTheWheel) {
    selectTicks(3.0, 5.0);
    command(cmd::selectSuffix);
    EXPECT_EQ(view().selStart, 5.0);
    EXPECT_EQ(view().selEnd, 16.0);
    command(cmd::selectPrefix);
    EXPECT_EQ(view().selStart, 0.0);
    EXPECT_EQ(view().selEnd, 5.0);
    command(cmd::selectNone);
    EXPECT_EQ(view().selEnd, 0.0);
    command(cmd::selectAll);
    EXPECT_EQ(view().selEnd, 16.0);

    platform::sendMessage(viewWindow(), platform::messageMouseWheel, uintptr_t{120} << 16, 0);
    EXPECT_EQ(view().zoom, 1.0); // no Ctrl: no zoom
    platform::sendMessage(viewWindow(), platform::messageMouseWheel,
                          uintptr_t{120} << 16 | platform::mouseControl, 0);
    EXPECT_DOUBLE_EQ(view().zoom, 1.4142135623730951);
}

class Clipboard : public EditorTest {};

TEST_F(Clipboard, CopyLeavesTheLastFrameOutAndAOneFrameSelectionCopiesNothing) {
    spoolex::Take& take = addTake(1600);
    press(0, rowY(0));
    release(0, rowY(0));
    selectTicks(0.0, 1.0);
    command(cmd::copy);
    ASSERT_EQ(audioClipboard().size(), 2u * 99); // frames 0 .. 98
    EXPECT_EQ(audioClipboard()[2 * 98], 98.0f);
    EXPECT_TRUE(view().isCommandEnabled(cmd::paste));

    selectTicks(2.001, 2.005); // inside frame 200
    command(cmd::copy);
    EXPECT_TRUE(audioClipboard().empty());
    EXPECT_FALSE(view().isCommandEnabled(cmd::paste));
    EXPECT_FALSE(placed->extension->isCommandEnabled(spoolex::commandIdPaste));
    command(cmd::deleteSelection);
    EXPECT_EQ(take.frameCount(), 1600u);
    EXPECT_EQ(view().selEnd, view().selStart);

    selectTicks(15.5, 20.0); // the end lies beyond the take: limited to it
    command(cmd::cut);
    EXPECT_EQ(audioClipboard().size(), 2u * 50);
    EXPECT_EQ(take.frameCount(), 1550u);
    selectTicks(0.0, 1.0);
    command(cmd::deleteSelection);
    EXPECT_EQ(take.frameCount(), 1451u);
    EXPECT_EQ(take.samples()[0], 99.0f);
}

TEST_F(Clipboard, PasteIntoAnEmptyTakeFillsThePatternAtTheHostsRate) {
    addTake(1600);
    spoolex::Take& empty = addTake(0);
    empty.sampleRate = 22050;
    press(0, rowY(0));
    selectTicks(1.0, 3.0);
    command(cmd::copy);
    ASSERT_EQ(audioClipboard().size(), 2u * 199);
    press(0, rowY(1));
    release(0, rowY(1));
    selectTicks(5.0, 6.0);
    command(cmd::paste);
    EXPECT_EQ(empty.samples(), audioClipboard());
    EXPECT_EQ(empty.sampleRate, 6000);
    EXPECT_EQ(view().selStart, 0.0);
    EXPECT_EQ(view().selEnd, 16.0);
    EXPECT_FALSE(audioClipboard().empty()); // pasted again at will
}

TEST_F(Clipboard, PastePastTheEndFillsSilenceAndReplacesASelection) {
    spoolex::Take& take = addTake(100);
    press(0, rowY(0));
    selectTicks(0.0, 0.5);
    command(cmd::copy); // frames 0 .. 48
    selectTicks(3.0, 3.0);
    command(cmd::paste);
    ASSERT_EQ(take.frameCount(), 349u);
    EXPECT_EQ(take.samples()[2 * 99], 99.0f);
    EXPECT_EQ(take.samples()[2 * 100], 0.0f);
    EXPECT_EQ(take.samples()[2 * 299], 0.0f);
    EXPECT_EQ(take.samples()[2 * 348], 48.0f);
    EXPECT_DOUBLE_EQ(view().selEnd, 3.49);

    // A selection is deleted first: frames 300 .. 347 make way.
    command(cmd::paste);
    EXPECT_EQ(take.frameCount(), 350u);
    EXPECT_EQ(take.samples()[2 * 348], 48.0f);
    EXPECT_EQ(take.samples()[2 * 349], 48.0f);
}

TEST_F(Clipboard, PasteNearTheEndKeepsTheSelectionInsideThePattern) {
    addTake(1600);
    drag(0, 400, rowY(0));
    command(cmd::copy); // frames 0 .. 398: almost 4 ticks
    press(1400, rowY(0));
    release(1400, rowY(0));
    command(cmd::paste);
    EXPECT_EQ(view().selStart, 14.0);
    EXPECT_EQ(view().selEnd, 16.0);
    // Set Active then ends its stretch at the pattern's end, not past it.
    command(cmd::setActive);
    command(cmd::info);
    ASSERT_EQ(ui().messages().size(), 1u);
    const std::string info = ui().messages()[0].text;
    EXPECT_EQ(info.substr(info.find("Active takes:")),
              "Active takes:\n  0.000000 : NULL\n  14.000000 : 0\n  16.000000 : NULL\n");
}

class ViewCommands : public EditorTest {};

// Zoom Out and row height down scale the position shown before, then the
// smaller range clamps it: scrolled to the end, the end stays in view.
TEST_F(ViewCommands, ZoomingOutAtTheEndKeepsTheEndInView) {
    addTake(1600);
    addTake(1600);
    addTake(1600);
    drag(1200, 1600, rowY(2)); // ticks 12 .. 16 of the last row
    command(cmd::zoomSelection);
    EXPECT_EQ(view().scrollX, 4800);
    EXPECT_EQ(view().scrollY, 1200);
    command(cmd::zoomOut);
    // 4800 / sqrt 2 = 3394, clamped to the last page: 1600 x 2.83 - 1600.
    EXPECT_EQ(view().scrollX, 2925);
    EXPECT_GE(view().tickAtX(viewWidth - 1), 15.99);
    command(cmd::rowHeightDown);
    // 1200 / sqrt 2 = 848, clamped: three rows of 424.26 less a page of 600.
    EXPECT_EQ(view().scrollY, 673);
}

} // namespace
