#include "input/InputMachine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Dialogs.h"
#include "platform/Library.h"

namespace InputMachine {

namespace {

constexpr const char* generatorLibraryPath =
    "Gear\\Generators\\Korvane Spoolex REVA 081029.x64.dll";

using RegistrationFunction = void (*)(mi*);

void showError(const std::string& text) {
    platform::messageBox(nullptr, text, "", platform::MessageIcon::Error);
}

const char* const noteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// Threshold parameter value as a fraction of full scale.
double thresholdFraction(int value) {
    return std::pow(value / 4096.0, 3.5);
}

} // namespace

mi::mi() {
    ex.owner = this;
    globalValues = &values;
    trackValues = nullptr;
    // No attributes: the pointer sits just past the parameter block.
    attributeValues = reinterpret_cast<uint8_t*>(&values) + sizeof values;
    std::memset(&values, 0, sizeof values);
}

mi::~mi() {
    unbindFromGenerator();
}

void* mi::destroy(unsigned flags) {
    if (flags & 1)
        delete this;
    else
        this->~mi();
    return this;
}

void mi::initFromSong(CMachineDataInput*) {
    callbacks->registerExtension(&ex);
    ownMachine = callbacks->ownMachine();
    bindToGenerator();
}

void mi::bindToGenerator() {
    generatorLibrary = platform::loadLibrary(generatorLibraryPath);
    if (!generatorLibrary) {
        showError("For Korvane Spoolex Input to work properly, you must have Korvane Spoolex.dll "
                  "in your Gear\\Generators folder.\n\nLoadLibrary error: " +
                  platform::lastSystemErrorText());
        return;
    }
    auto registerInput = reinterpret_cast<RegistrationFunction>(
        platform::librarySymbol(generatorLibrary, "korvane_registerInput"));
    if (!registerInput) {
        showError("This should never happen. It's a bug. Please report it.\n\nGetProcAddress error "
                  "in constructor: " +
                  platform::lastSystemErrorText());
        return;
    }
    registerInput(this);
}

void mi::unbindFromGenerator() {
    if (!generatorLibrary)
        return;
    auto unregisterInput = reinterpret_cast<RegistrationFunction>(
        platform::librarySymbol(generatorLibrary, "korvane_unregisterInput"));
    if (unregisterInput)
        unregisterInput(this);
    else
        showError("This should never happen. It's a bug. Please report it.\n\nGetProcAddress error "
                  "in destructor: " +
                  platform::lastSystemErrorText());
    platform::freeLibrary(generatorLibrary);
    generatorLibrary = nullptr;
}

void mi::onTick() {
    const GlobalValues& v = values;
    if (v.latency != 65535)
        latencySamples = v.latency;
    if (v.autoPunch != 255)
        autoPunchEnabled = v.autoPunch == 1;
    if (v.threshold != 65535)
        threshold = static_cast<float>(thresholdFraction(v.threshold) * 32768.0);
    if (v.release != 65535)
        release = static_cast<int32_t>(masterInfo->samplesPerSec * (v.release / 1000.0));
    if (v.punch != 255)
        punchState = v.punch == 1;
}

void mi::setPunch(bool in) {
    // Through the host, so the Punch parameter shows what auto punch decided.
    callbacks->setParameterFromControl(ownMachine, 1, 0, ParameterPunch, in ? 1 : 0);
    punchState = in ? 1 : 0;
}

void mi::countRelease(int frames) {
    if (punchState == 0)
        return;
    releaseCounter += frames;
    if (releaseCounter >= release)
        setPunch(false);
}

bool mi::renderMono(float* samples, int frames, int mode) {
    // A host never sends more than a block, but the buffer must not overflow
    // if one did.
    frames = std::clamp(frames, 0, blockCapacityFrames);
    blockPosInTick = masterInfo ? masterInfo->posInTick : 0;
    blockFrames = frames;
    if (!(mode & modeInputPresent)) {
        std::fill(blockBuffer, blockBuffer + 2 * frames, 0.0f);
        if (autoPunchEnabled)
            countRelease(frames);
        return false;
    }
    std::copy(samples, samples + 2 * frames, blockBuffer);
    if (!autoPunchEnabled)
        return false;
    for (int n = frames - 1; n >= 0; --n) {
        if (std::fabs(samples[2 * n]) >= threshold || std::fabs(samples[2 * n + 1]) >= threshold) {
            if (punchState != 1)
                setPunch(true);
            releaseCounter = frames - n;
            return false;
        }
    }
    countRelease(frames);
    return false;
}

void mi::runCommand(int) {
    platform::messageBox(nullptr, "About", "", platform::MessageIcon::Information);
}

const char* mi::describeValue(int param, int value) {
    // One shared buffer, as the host expects: it copies the text at once.
    static char text[64];
    switch (param) {
    case ParameterLatency:
        std::snprintf(text, sizeof text, "%i smpl", value);
        return text;
    case ParameterAutoPunch:
    case ParameterPunch:
        return value == 0 ? "Off" : value == 1 ? "On" : nullptr;
    case ParameterThreshold: {
        double x = thresholdFraction(value);
        if (x <= 0)
            return "-inf dB";
        std::snprintf(text, sizeof text, "%.3f dB", 10.0 * std::log10(x));
        return text;
    }
    case ParameterRelease:
        std::snprintf(text, sizeof text, "%i ms", value);
        return text;
    case ParameterPunchMidiNote:
        if (value == 128)
            return "None";
        std::snprintf(text, sizeof text, "%i: %s %i", value, noteNames[((value % 12) + 12) % 12],
                      value / 12 - 1);
        return text;
    default:
        return nullptr;
    }
}

} // namespace InputMachine
