#include "generator/editor/TakeEditing.h"

#include "generator/machine/Machine.h"
#include "generator/machine/TakeSamples.h"

bool isRecorded(spoolex::mi& machine, const spoolex::Take& take) {
    return spoolex::TakeSamples(machine, take).recorded();
}

void swapSamples(spoolex::mi& machine, spoolex::Take& take, spoolex::Samples& buffer,
                 int32_t sampleRate) {
    auto hold = machine.lockAudio();
    take.changeSamples().swap(buffer);
    if (sampleRate > 0)
        take.sampleRate = sampleRate;
}
