#include "platform/Choosers.h"

#include "platform/Programs.h"
#include "platform/UiHook.h"

namespace platform {

namespace {
std::vector<const char*> texts(const std::vector<std::string>& strings) {
    std::vector<const char*> pointers;
    for (const std::string& s : strings)
        pointers.push_back(s.c_str());
    return pointers;
}
} // namespace

bool exportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                           int preselectedWave, const std::vector<std::string>& formats,
                           const std::string& helpText, int& chosenWave, int& chosenFormat) {
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->exportWavetable) {
        std::vector<const char*> waveTexts = texts(waves), formatTexts = texts(formats);
        return hook->exportWavetable(owner, waveTexts.data(), static_cast<int>(waves.size()),
                                     preselectedWave, formatTexts.data(),
                                     static_cast<int>(formats.size()), &chosenWave,
                                     &chosenFormat) != 0;
    }
    return native::exportWavetableDialog(owner, waves, preselectedWave, formats, helpText,
                                         chosenWave, chosenFormat);
}

bool launchProgram(const std::string& program, const std::string& parameters) {
    long long process = 0;
    bool started = native::launchProgram(program, parameters, process);
    SpoolexUiHook* hook = findUiHook();
    bool kept =
        hook && hook->programLaunched &&
        hook->programLaunched(program.c_str(), parameters.c_str(), started ? process : 0) != 0;
    if (started && !kept)
        native::releaseProcess(process);
    return started;
}

} // namespace platform
