// The editor's frame: owns the editor view. The machine creates it with
// itself; its window comes later.
#pragma once

#include "generator/editor/PatternEditor.h"

class PatternEditorParent {
public:
    PatternEditorParent();

    PatternEditor view;

    bool hasWindow() const { return window != nullptr; }
    // Destroys the window (if any). Once the frame's window is gone it clears
    // the machine's editor pointers and deletes itself.
    void destroyWindow();

private:
    void* window = nullptr;
};
