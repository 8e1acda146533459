// The editor view of one generator machine. Until its window exists (the
// host asks for it through createEditorWindow) it only keeps the values the
// machine hands it; the calls that would touch the window do nothing.
#pragma once

#include <cstdint>

class CMICallbacks;
class PatternEditorParent;

namespace spoolex {
class mi;
class Pattern;
} // namespace spoolex

class PatternEditor {
public:
    spoolex::mi* machine = nullptr;
    CMICallbacks* hostServices = nullptr;
    PatternEditorParent* frame = nullptr;

    // Grid and snap, saved with the song.
    int32_t fineTicks = 4;
    int32_t coarseFactor = 4;
    uint32_t snapMode = 1;

    bool hasWindow() const { return window != nullptr; }

    // Rebuilds the dialog bar's record-source list from the input registry.
    void refreshRecordSources();
    // Selects the machine's record source in the dialog bar's list.
    void selectRecordSource();
    // Brings the dialog bar's Arm toggle up to date.
    void showArmed();
    // The user's choices in the dialog bar: item 0 of the Rec src list is
    // none, item k the k-th registered input; the Arm button toggles.
    void onRecordSourceChosen(int item);
    void onArmClicked();
    // Invalidates, erases and repaints the view at once.
    void redrawNow();
    // Whether Paste has something to paste into the shown pattern.
    bool clipboardHasAudio() const;

    // Key-down (a virtual key) and character messages: every keyboard
    // shortcut of the machine that matches sends its command, in list order.
    // The message takes its default processing afterwards in every case.
    void onKeyDown(uint32_t virtualKey);
    void onCharacter(uint32_t character);

    // The command table: menu, toolbar, host and keyboard commands arrive
    // here. True when the command has a handler.
    bool onCommand(uint16_t id);

    // The pattern the host's pattern view shows, or none. The calls below
    // do nothing visible until the view's windows exist.
    void showPattern(spoolex::Pattern* pattern);
    spoolex::Pattern* shownPattern() const { return pattern; }
    // Keeps the selection inside the shown pattern after its length changed.
    void clampSelection();
    void updateScrollBars();
    // Forgets the waveform peaks computed for the shown pattern's takes.
    void dropPeakCaches();
    void repaintView();

    // Info: the shown pattern's report in a message box.
    void showInfo();

private:
    friend class PatternEditorParent;
    void* window = nullptr;
    spoolex::Pattern* pattern = nullptr;
};
