// The editor view of one generator machine: one waveform row per take of
// the shown pattern, the grid, the selection and the active-take outlines,
// and everything the user does with the mouse and the editor's commands.
//
// Until its window exists (the host asks for it through createEditorWindow)
// it only keeps its values; the calls that would touch the window do
// nothing. Everything here runs on the host's user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "generator/editor/MarchingFrame.h"
#include "generator/editor/PeakCache.h"
#include "generator/editor/TakeSummary.h"
#include "generator/machine/MachineEditor.h"
#include "platform/Surface.h"
#include "platform/Window.h"

class CMICallbacks;
class PatternEditorParent;

namespace spoolex {
class mi;
class Pattern;
struct Take;
} // namespace spoolex

enum DragMode : int32_t {
    DragNone = 0,
    DragSelStart = 1,
    DragSelEnd = 2,
    DragPan = 3,
    DragReorder = 4
};

class PatternEditor {
public:
    PatternEditor();
    PatternEditor(const PatternEditor&) = delete;
    PatternEditor& operator=(const PatternEditor&) = delete;

    spoolex::mi* machine = nullptr;
    CMICallbacks* hostServices = nullptr;
    PatternEditorParent* frame = nullptr;

    // Grid and snap, shown in the dialog bar: the machine's, which the song
    // keeps and which outlive this editor.
    spoolex::GridSettings& grid();
    const spoolex::GridSettings& grid() const;

    // View state.
    double zoom = 1.0;
    float rowHeight = 200.0f;
    int32_t scrollX = 0;
    int32_t scrollY = 0;

    // Selection in ticks, and where its edges were last painted.
    double selStart = 0.0;
    double selEnd = 0.0;
    int32_t selLeftPx = 0;
    int32_t selRightPx = 0;
    spoolex::Take* currentTake = nullptr;

    bool hasWindow() const { return window != nullptr; }
    platform::WindowHandle windowHandle() const { return window; }
    spoolex::Pattern* shownPattern() const { return pattern; }

    // ---- Window (PatternEditorWindow.cpp) ----
    // Creates the view's window inside the frame and starts its timers.
    bool createWindow(platform::WindowHandle parent);
    void destroyWindow();
    // The view's message handling: paint, scroll bars, mouse, keys, timers,
    // commands; everything else takes the default handling.
    intptr_t onMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

    // ---- Coordinates and scrolling (PatternEditorView.cpp) ----
    // W and H are the client size, L the shown pattern's length in ticks.
    float pxPerTick() const;
    double tickAtX(int32_t x) const;
    int32_t rowAtY(int32_t y) const;
    spoolex::Take* takeAtY(int32_t y) const;
    // The shown pattern's take list, each read under a brief hold.
    size_t takeCount() const;
    spoolex::Take* takeAtRow(int32_t row) const;
    int32_t rowOf(const spoolex::Take& take) const;
    void updateScrollBars();
    void setScrollX(int32_t position);
    void setScrollY(int32_t position);
    void onScroll(platform::ScrollBar bar, unsigned code);

    // ---- Drawing (PatternEditorPaint.cpp) ----
    // The whole paint of the view onto surface, client size width x height.
    void paint(platform::Surface& surface, int32_t width, int32_t height);
    // Forgets the waveform columns of every take.
    void dropPeakCaches();
    void repaintView();
    // Invalidates, erases and repaints at once.
    void redrawNow();
    // Timer 2: the marching frame; timer 3: the recording refresh. Either
    // carries out a redraw the machine was asked for (mi::requestRedraw).
    void onTimer(unsigned id);
    // The change notification's part for the view.
    void patternChanged(spoolex::Pattern& changed);
    void patternLengthChanged(spoolex::Pattern& changed);

    // ---- Selection and mouse (PatternEditorMouse.cpp) ----
    double snapTick(double tick) const;
    void clampSelection();
    void onLeftButtonDown(int32_t x, int32_t y, uintptr_t keyFlags);
    void onMiddleButtonDown(int32_t x, int32_t y);
    void onButtonUp();
    // The view lost the mouse capture to takenBy (or to nobody).
    void onCaptureLost(platform::WindowHandle takenBy);
    void onMouseMove(int32_t x, int32_t y, uintptr_t keyFlags);
    void onMouseWheel(int delta, uintptr_t keyFlags);
    DragMode dragMode() const { return drag; }
    // The marching frame, as the last paint and timer left it.
    const MarchingFrame& frameState() const { return marchingFrame; }
    const std::map<const spoolex::Take*, PeakCache>& caches() const { return peakCaches; }

    // ---- Commands (PatternEditorCommands.cpp) ----
    // The command table: menu, dialog bar, keys and the host end up here.
    // True when the command has a handler.
    bool onCommand(uint16_t id);
    // Whether a command-state query finds the command enabled.
    bool isCommandEnabled(uint16_t id) const;
    // Whether Paste has something to paste into the shown pattern.
    bool clipboardHasAudio() const;
    // The pattern the host's pattern view shows, or none.
    void showPattern(spoolex::Pattern* shown);
    // Info: the shown pattern's report in a message box.
    void showInfo();
    // Refresh: the shown pattern's caches and every view of it.
    void refreshShownPattern();

    // What a command acts on, to look up again after a modal loop (a box,
    // a dialog, a chooser): true while this view is alive, shows the same
    // pattern as now, and that pattern still holds take (when one is given).
    // The loop runs the host's messages: the host may delete the pattern or
    // the machine (and this view with it) meanwhile. Callable after this
    // view is gone.
    std::function<bool()> stillShowing(const spoolex::Take* take) const;

    // ---- Keys (PatternEditorKeys.cpp) ----
    // Every keyboard shortcut of the machine that matches sends its command,
    // in list order; the message takes its default handling afterwards.
    void onKeyDown(uint32_t virtualKey);
    void onCharacter(uint32_t character);
    // Sends the view a command, as a chosen menu item does.
    void sendCommand(uint16_t id);

    // ---- Record source and Arm by list position (the machine menu's way) ----
    // 0 is "None", n the n-th registered input; past the end keeps the choice.
    void onRecordSourceChosen(int item);
    void onArmClicked();

private:
    friend class PatternEditorParent;

    platform::WindowHandle window = nullptr;
    spoolex::Pattern* pattern = nullptr;
    // Counts the changes of the shown pattern, so that a pattern deleted and
    // another made at the same address are told apart.
    uint64_t shownChanges = 0;
    // Expires with this view (see stillShowing).
    std::shared_ptr<const char> lifetime = std::make_shared<const char>('\0');

    // ---- View state (drawing) ----
    std::map<const spoolex::Take*, PeakCache> peakCaches;
    // Each take's block extremes, made on first paint and dropped with the
    // peak caches.
    std::map<const spoolex::Take*, TakeSummary> summaries;
    // Set while the recording refresh notifies: the one take that changed.
    const spoolex::Take* onlyChangedTake = nullptr;
    MarchingFrame marchingFrame;
    // Only for a view without a machine.
    spoolex::GridSettings unattachedGrid;

    void paintTickColumns(platform::Surface& surface, const platform::PixelRect& r, float ppt,
                          int32_t length, float h, uint32_t fineColour,
                          uint32_t coarseColour) const;
    double samplesPerPixel(const spoolex::Take& take, float ppt) const;
    void paintTakeRow(platform::Surface& surface, const platform::PixelRect& r,
                      const spoolex::Take& take, float ppt, int32_t top, int32_t height,
                      uint32_t colour);
    // One value of a snapshot message; false when it is not one the view
    // takes (unknown field, not a finite number, not positive).
    bool applySnapshotSetting(uintptr_t field, intptr_t value);
    // Timer 2 and timer 3.
    void drawMarchingFrame();
    void refreshWhileRecording();

    // ---- Editing state (mouse) ----
    DragMode drag = DragNone;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
    int32_t reorderRow = -1;
    bool nearSelectionEdge(int32_t x) const;
    // Whether the button that drives the drag is down in a mouse message.
    bool dragButtonHeld(uintptr_t keyFlags) const;
    platform::CursorShape cursorFor(int32_t x) const;
    void dragSelectionEdge(int32_t x, uintptr_t keyFlags);
    void reorderTo(int32_t row);

    // ---- Commands (PatternEditorCommands.cpp) ----
    int32_t clientWidth() const;
    int32_t clientHeight() const;
    void selectCommand(uint16_t id);
    void zoomIn();
    void zoomOut();
    void rowHeightUp();
    void rowHeightDown();
    void zoomToFitWave();
    void zoomSelection();
    void showViewValues();
    void copySelection();
    void deleteSelection();
    void pasteClipboard();
    // Set Active with the current take, Clear Active with none.
    void makeActive(spoolex::Take* take);
    void deleteThisTake();
    void openMenu();
    // The change notification for the shown pattern after an edit.
    void shownPatternChanged();
    void markSongModified();
    // True, after telling the user, when the current take is being
    // recorded: the audio thread writes it where the recording expects.
    bool refusedWhileRecorded();
    void reportOutOfMemory();
};
