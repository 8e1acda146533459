#include "generator/machine/ProcessState.h"

namespace spoolex {

std::vector<mi*>& generatorInstances() {
    static std::vector<mi*> instances;
    return instances;
}

std::vector<InputMachine::Fields*>& inputRegistry() {
    static std::vector<InputMachine::Fields*> registry;
    return registry;
}

std::string& projectFolder() {
    static std::string folder;
    return folder;
}

std::string& defaultProjectFolder() {
    static std::string folder;
    return folder;
}

bool& askForProjectFolder() {
    static bool ask = true;
    return ask;
}

bool& redrawWhileRecording() {
    static bool redraw = true;
    return redraw;
}

} // namespace spoolex
