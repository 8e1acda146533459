#include "generator/editor/TakeEditing.h"

#include "generator/machine/Machine.h"
#include "generator/machine/TakeSamples.h"

bool isRecorded(spoolex::mi& machine, const spoolex::Take& take) {
    return spoolex::TakeSamples(machine, take).recorded();
}

void swapSamples(spoolex::mi& machine, spoolex::Take& take, std::vector<float>& buffer,
                 int32_t sampleRate) {
    auto hold = machine.lockAudio();
    take.changeSamples().swap(buffer);
    if (sampleRate > 0)
        take.sampleRate = sampleRate;
}

void endRecordingInto(spoolex::mi& machine, const spoolex::Take& take,
                      std::vector<std::shared_ptr<void>>& released) {
    if (machine.recording.take.get() == &take) {
        released.push_back(std::move(machine.recording.take));
        machine.recording = spoolex::RecordCommand{};
    }
    for (spoolex::RecordCommand& command : machine.recordQueue)
        if (command.take.get() == &take) {
            released.push_back(std::move(command.take));
            // Kept in its place as a stop, so the queue's timing stays.
            command = spoolex::RecordCommand{};
        }
}
