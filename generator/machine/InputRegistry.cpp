#include "generator/machine/InputRegistry.h"

#include <algorithm>

#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/UserInterface.h"

namespace spoolex {

void registerInput(InputMachine::Fields* input) {
    inputRegistry().push_back(input);
    for (mi* generator : generatorInstances())
        generator->inputRegistered(input);
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
    for (mi* generator : generatorInstances())
        generator->inputUnregistered(input);
}

} // namespace spoolex
