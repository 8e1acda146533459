// The bar above the view: grid, snap, zoom and height labels, record source
// and Arm. The controls themselves belong to the window layer (a dialog
// template on Windows); this keeps their meaning.
#pragma once

#include "platform/Window.h"

class PatternEditorParent;

class PatternEditorDialogBar {
public:
    PatternEditorParent* frame = nullptr;
    // Edit-change notifications are ignored until creation is complete.
    bool initialising = true;

    bool hasWindow() const { return window != nullptr; }
    platform::WindowHandle windowHandle() const { return window; }

    // Creates the bar from template 1012 inside the frame, binds its
    // controls, sets the spin ranges and fills the Rec src list.
    bool create(platform::WindowHandle parent);
    void destroyWindow();
    // The bar's control notifications.
    intptr_t onMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

    void refreshRecordSources();
    void selectRecordSource();
    void showArmed();
    void updateViewLabels();
    // Shows snapMode, coarseFactor and fineTicks.
    void showGrid();

private:
    platform::WindowHandle window = nullptr;
};
