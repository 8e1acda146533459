#include "generator/editor/TakeEditing.h"

#include "generator/core/Machine.h"

bool isRecorded(spoolex::mi& machine, const spoolex::Take& take) {
    auto hold = machine.lockAudio();
    if (machine.recording.take.get() == &take)
        return true;
    for (const spoolex::RecordCommand& command : machine.recordQueue)
        if (command.take.get() == &take)
            return true;
    return false;
}

std::vector<float> samplesOf(spoolex::mi& machine, const spoolex::Take& take) {
    if (machine.isRecordingInto(take))
        return machine.copyRecordingSamples(take);
    // Only this thread changes a take nobody records, so reading it needs
    // no lock.
    return take.samples;
}

void swapSamples(spoolex::mi& machine, spoolex::Take& take, std::vector<float>& buffer,
                 int32_t sampleRate) {
    auto hold = machine.lockAudio();
    take.samples.swap(buffer);
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
