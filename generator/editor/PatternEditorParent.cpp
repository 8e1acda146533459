#include "generator/editor/PatternEditorParent.h"

#include "generator/core/Machine.h"

PatternEditorParent::PatternEditorParent() {
    view.frame = this;
}

void PatternEditorParent::destroyWindow() {
    // The frame's last act, as after its final window message: the machine
    // forgets its editor and the frame deletes itself with its members.
    if (spoolex::mi* machine = view.machine) {
        machine->editor = nullptr;
        machine->editorFrame = nullptr;
    }
    window = nullptr;
    delete this;
}
