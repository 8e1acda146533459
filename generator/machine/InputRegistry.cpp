#include "generator/machine/InputRegistry.h"

#include <algorithm>

#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/UserInterface.h"

namespace spoolex {

void registerInput(InputMachine::Fields* input) {
    inputRegistry().push_back(input);
    std::string name = mi::inputName(input);
    for (mi* generator : generatorInstances()) {
        if (generator->editor)
            generator->editor->refreshRecordSources();
        // A song loaded before this input existed named it as its source.
        if (!generator->pendingRecordSourceName.empty() &&
            generator->pendingRecordSourceName == name) {
            generator->setRecordSource(input);
            if (generator->editor)
                generator->editor->selectRecordSource();
        }
    }
}

void unregisterInput(InputMachine::Fields* input) {
    auto& registry = inputRegistry();
    auto it = std::find(registry.begin(), registry.end(), input);
    if (it != registry.end())
        registry.erase(it);
    else
        userInterface().showMessage(nullptr,
                                    "Bug in Korvane Spoolex: attempt to unregister an input "
                                    "machine which was never registered in the first place.",
                                    "", MessageIcon::Error);
    // Generators may be rendering: none may read the input once it is gone.
    for (mi* generator : generatorInstances()) {
        if (generator->recordSource == input)
            generator->setRecordSource(nullptr);
        if (generator->editor)
            generator->editor->refreshRecordSources();
    }
}

} // namespace spoolex
