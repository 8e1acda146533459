// The bar above the view: grid, snap, zoom and height labels, record source
// and Arm. The controls are the window layer's (template 1012, a dialog
// resource on Windows, the same table in code elsewhere); the bar keeps
// their meaning: what each notification changes and what each shows.
#pragma once

#include <vector>

#include "platform/Window.h"

class PatternEditorParent;

// The bar's controls, by identifier.
namespace barcontrol {
constexpr int snapList = 1019;
constexpr int fineSpin = 1008;
constexpr int coarseSpin = 1009;
constexpr int fineEdit = 1020;
constexpr int coarseEdit = 1021;
constexpr int zoomLabel = 1023;
constexpr int heightLabel = 1026;
constexpr int recordSourceList = 1024;
constexpr int armToggle = 1025;
} // namespace barcontrol

constexpr int dialogBarTemplate = 1012;
// The framework's control identifier for a dialog bar.
constexpr int dialogBarControlId = 0xE805;

// Template 1012: the controls in tab order, positions in dialog units.
const std::vector<platform::ControlLayout>& dialogBarControls();

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
    // The bar's control notifications; commands it does not handle itself go
    // on to the frame.
    intptr_t onMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

    // "None", then every registered input machine under its host name.
    void refreshRecordSources();
    // Selects the machine's record source in the list.
    void selectRecordSource();
    void showArmed();
    // Zoom as "%.3f%%", row height as "%.1fpx".
    void updateViewLabels();
    // Shows snapMode, coarseFactor and fineTicks.
    void showGrid();

private:
    // The grid value of a spin's buddy edit, when it reads as a number.
    void takeGridValue(int spin, int32_t& value);

    platform::WindowHandle window = nullptr;
};
