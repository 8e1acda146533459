// The editor's frame: owns the editor view. The machine creates it with
// itself; its window comes later.
#pragma once

#include "generator/editor/PatternEditor.h"

class PatternEditorParent {
public:
    PatternEditorParent();

    PatternEditor view;

    bool hasWindow() const { return window != nullptr; }
    // Creates the frame's window inside the host's parent window, with the
    // view's window inside it; returns the frame's window for the host to
    // embed, or null when the system refuses one.
    void* create(void* parentWindow);
    // Destroys the window (if any). Once the frame's window is gone it clears
    // the machine's editor pointers and deletes itself.
    void destroyWindow();

private:
    void* window = nullptr;
};
