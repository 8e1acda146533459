#include "generator/machine/MachineEditor.h"

namespace spoolex {

namespace {
EditorFactory installedFactory = nullptr;
} // namespace

void setEditorFactory(EditorFactory factory) {
    installedFactory = factory;
}

EditorFactory editorFactory() {
    return installedFactory;
}

} // namespace spoolex
