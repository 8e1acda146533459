#include "generator/editor/PatternEditorDialogBar.h"

#include <cstdio>

#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/PatternEditorParent.h"
#include "generator/machine/InputRegistry.h"
#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"

namespace {

using platform::ControlKind;
namespace cmd = editorcommand;

constexpr int32_t gridLowest = 1;
constexpr int32_t gridHighest = 16384;

intptr_t barProcedure(void* context, platform::WindowHandle, unsigned message, uintptr_t wParam,
                      intptr_t lParam) {
    return static_cast<PatternEditorDialogBar*>(context)->onMessage(message, wParam, lParam);
}

} // namespace

const std::vector<platform::ControlLayout>& dialogBarControls() {
    // Left to right: Menu | Grid [fine] x [coarse] | Snap [list] |
    // Zoom [label] + - x [height label] + - | Sel All | Rec src [list] Arm.
    static const std::vector<platform::ControlLayout> controls{
        {cmd::openMenu, ControlKind::ClickLabel, "Menu", {2, 2, 25, 12}},
        {-1, ControlKind::Label, "Grid", {34, 2, 15, 12}},
        {barcontrol::fineEdit, ControlKind::Edit, "", {49, 2, 38, 12}},
        {barcontrol::fineSpin, ControlKind::Spin, "", {79, 2, 8, 12}, barcontrol::fineEdit},
        {-1, ControlKind::Label, "x", {88, 2, 8, 12}},
        {barcontrol::coarseEdit, ControlKind::Edit, "", {96, 2, 38, 12}},
        {barcontrol::coarseSpin, ControlKind::Spin, "", {126, 2, 8, 12}, barcontrol::coarseEdit},
        {-1, ControlKind::Label, "Snap", {137, 2, 16, 12}},
        {barcontrol::snapList, ControlKind::DropList, "", {154, 2, 48, 132}},
        {-1, ControlKind::Label, "Zoom", {209, 2, 18, 12}},
        {barcontrol::zoomLabel, ControlKind::Label, "100%", {229, 2, 34, 12}},
        {cmd::zoomIn, ControlKind::Button, "+", {264, 2, 10, 12}},
        {cmd::zoomOut, ControlKind::Button, "-", {274, 2, 10, 12}},
        {cmd::zoomSelection, ControlKind::Button, "Sel", {353, 2, 13, 12}},
        {cmd::zoomToFitWave, ControlKind::Button, "All", {367, 2, 13, 12}},
        {-1, ControlKind::Label, "Rec src", {386, 2, 24, 12}},
        {barcontrol::recordSourceList, ControlKind::DropList, "", {412, 2, 84, 153}},
        {barcontrol::armToggle, ControlKind::Toggle, "Arm", {496, 2, 18, 12}},
        {-1, ControlKind::Label, "x", {285, 2, 8, 12}},
        {barcontrol::heightLabel, ControlKind::Label, "100px", {293, 2, 34, 12}},
        {cmd::rowHeightUp, ControlKind::Button, "+", {328, 2, 10, 12}},
        {cmd::rowHeightDown, ControlKind::Button, "-", {338, 2, 10, 12}},
    };
    return controls;
}

bool PatternEditorDialogBar::create(platform::WindowHandle parent) {
    if (window)
        return true;
    window =
        platform::createDialog(parent, dialogBarTemplate, dialogBarControls(), barProcedure, this);
    if (!window)
        return false;
    for (const char* snap : {"None", "Tick", "Fine", "Coarse"})
        platform::listAdd(window, barcontrol::snapList, snap, 0);
    platform::spinSetRange(window, barcontrol::fineSpin, gridLowest, gridHighest);
    platform::spinSetRange(window, barcontrol::coarseSpin, gridLowest, gridHighest);
    refreshRecordSources();
    showArmed();
    initialising = false;
    return true;
}

void PatternEditorDialogBar::destroyWindow() {
    if (window)
        platform::destroyWindow(window);
}

void PatternEditorDialogBar::takeGridValue(int spin, int32_t& value) {
    int32_t position = 0;
    // An edit the user has emptied (or filled with anything but a number)
    // leaves the value in force.
    if (!platform::spinPosition(window, spin, position))
        return;
    value = position;
    frame->view.repaintView();
}

intptr_t PatternEditorDialogBar::onMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message == platform::messageNcDestroy) {
        window = nullptr;
        return 0;
    }
    if (message != platform::messageCommand || !frame)
        return platform::defaultHandling(window, message, wParam, lParam);
    const int id = static_cast<int>(wParam & 0xFFFF);
    const auto code = static_cast<unsigned>(wParam >> 16 & 0xFFFF);
    PatternEditor& view = frame->view;
    switch (id) {
    case barcontrol::snapList:
        if (code == platform::notifyListSelectionChanged) {
            const int index = platform::listSelection(window, id);
            if (index >= 0)
                view.grid().snapMode = static_cast<uint32_t>(index);
        }
        return 0;
    case barcontrol::fineEdit:
        if (code == platform::notifyEditChanged && !initialising)
            takeGridValue(barcontrol::fineSpin, view.grid().fineTicks);
        return 0;
    case barcontrol::coarseEdit:
        if (code == platform::notifyEditChanged && !initialising)
            takeGridValue(barcontrol::coarseSpin, view.grid().coarseFactor);
        return 0;
    case barcontrol::recordSourceList:
        if (code == platform::notifyListSelectionChanged && view.machine) {
            const int index = platform::listSelection(window, id);
            if (index >= 0)
                view.machine->chooseRecordSource(reinterpret_cast<InputMachine::Fields*>(
                    platform::listItemData(window, id, index)));
        }
        return 0;
    case barcontrol::armToggle:
        if (code == platform::notifyButtonClicked && view.machine)
            view.machine->setArmed(platform::isChecked(window, id));
        return 0;
    }
    // The buttons and the "Menu" label: their commands go to the frame,
    // which hands them to the view.
    if (frame->hasWindow())
        return platform::sendMessage(frame->windowHandle(), message, wParam, lParam);
    return 0;
}

void PatternEditorDialogBar::refreshRecordSources() {
    if (!window)
        return;
    platform::listClear(window, barcontrol::recordSourceList);
    platform::listAdd(window, barcontrol::recordSourceList, "None", 0);
    for (InputMachine::Fields* input : spoolex::inputRegistry())
        platform::listAdd(window, barcontrol::recordSourceList, spoolex::mi::inputName(input),
                          reinterpret_cast<intptr_t>(input));
    selectRecordSource();
}

void PatternEditorDialogBar::selectRecordSource() {
    if (!window || !frame || !frame->view.machine)
        return;
    const auto source = reinterpret_cast<intptr_t>(frame->view.machine->recordSource());
    const int count = platform::listCount(window, barcontrol::recordSourceList);
    for (int i = 0; i < count; ++i)
        if (platform::listItemData(window, barcontrol::recordSourceList, i) == source) {
            platform::listSelect(window, barcontrol::recordSourceList, i);
            return;
        }
}

void PatternEditorDialogBar::showArmed() {
    if (window && frame && frame->view.machine)
        platform::setChecked(window, barcontrol::armToggle, frame->view.machine->isArmed());
}

void PatternEditorDialogBar::updateViewLabels() {
    if (!window || !frame)
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f%%", frame->view.zoom * 100.0);
    platform::setItemText(window, barcontrol::zoomLabel, text);
    std::snprintf(text, sizeof text, "%.1fpx", static_cast<double>(frame->view.rowHeight));
    platform::setItemText(window, barcontrol::heightLabel, text);
}

void PatternEditorDialogBar::showGrid() {
    if (!window || !frame)
        return;
    const PatternEditor& view = frame->view;
    const spoolex::GridSettings& grid = view.grid();
    platform::listSelect(window, barcontrol::snapList, static_cast<int>(grid.snapMode));
    platform::spinSetPosition(window, barcontrol::coarseSpin, grid.coarseFactor);
    platform::spinSetPosition(window, barcontrol::fineSpin, grid.fineTicks);
}
