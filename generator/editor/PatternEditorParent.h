// The editor's frame: owns the editor view, the dialog bar and the menu, and
// is what the machine knows of its editor. The machine makes it with itself;
// its windows come when the host asks for them.
#pragma once

#include "generator/editor/PatternEditor.h"
#include "generator/editor/PatternEditorDialogBar.h"
#include "generator/machine/MachineEditor.h"

class PatternEditorParent final : public spoolex::MachineEditor {
public:
    PatternEditorParent();

    PatternEditor view;
    PatternEditorDialogBar bar;
    // Set until createWindow has finished: size changes do no layout.
    bool creating = true;

    bool hasWindow() const { return window != nullptr; }
    platform::WindowHandle windowHandle() const { return window; }

    // The frame's messages: layout on size, keys and wheel to the view, and
    // every command passed on to the view's command table.
    intptr_t onMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
    void layout();

    // MachineEditor
    void destroy() override;
    void attach(spoolex::mi& machine) override;
    void* createWindow(void* hostWindow) override;
    void showPattern(spoolex::Pattern* pattern) override;
    spoolex::Pattern* shownPattern() const override { return view.shownPattern(); }
    void patternChanged(spoolex::Pattern& pattern) override;
    void patternLengthChanged(spoolex::Pattern& pattern) override;
    void patternDeleted(spoolex::Pattern& pattern) override;
    void refreshRecordSources() override { bar.refreshRecordSources(); }
    void selectRecordSource() override { bar.selectRecordSource(); }
    void showArmed() override { bar.showArmed(); }
    void requestRedraw() override { view.requestRedraw(); }
    bool clipboardHasAudio() const override { return view.clipboardHasAudio(); }
    spoolex::GridSettings grid() const override;
    void setGrid(const spoolex::GridSettings& grid) override;

private:
    ~PatternEditorParent() = default;
    // After the frame's final window message: the machine forgets its editor
    // and the frame deletes itself with its members.
    void finalMessage();

    platform::WindowHandle window = nullptr;
};

// The editor view of a machine made with the editor installed, or null.
PatternEditor* editorViewOf(spoolex::mi& machine);

// Makes every machine created from now on get the pattern editor, and
// paint its pattern boxes onto the host's surfaces.
void installPatternEditor();
void installPatternBoxSurface();
// The platform's keyboard as the source of Shift and Ctrl.
void installPlatformModifierKeys();
