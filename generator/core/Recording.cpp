// Recording: takes filled block by block from the record source while the
// host records, with the punched-in stretches becoming the active take.
#include <algorithm>
#include <cstring>

#include "generator/core/Machine.h"
#include "generator/core/TimeUnits.h"

namespace spoolex {

void mi::setRecordSource(InputMachine::Fields* source) {
    // The audio thread reads the source every block: it must never see one
    // that has gone.
    auto hold = lockAudio();
    recordSource = source;
}

void mi::startRecording(CSequence* sequence, Pattern& pattern, int offsetTicks) {
    if (!(callbacks->hostStateFlags() & HostStateRecording) || !recordSource || armed != 1)
        return;
    float s = samplesPerTick(*masterInfo);
    Take& take = pattern.addTake();
    take.samples.assign(
        2 * static_cast<size_t>(sampleCount(static_cast<double>(s) * pattern.length)), 0.0f);
    RecordCommand start;
    start.sequence = sequence;
    start.dueOffset = recordSource->latencySamples;
    start.pattern = &pattern;
    start.take = take.shared_from_this();
    start.writePosition = sampleCount(static_cast<double>(s) * offsetTicks);
    recordQueue.push_back(std::move(start));
}

void mi::finishRecording() {
    if (!recording.sequence)
        return;
    callbacks->markSongModified();
    if (recording.pattern) {
        recording.pattern->invalidateOverview();
        // The audio thread: the view shows the new take when the
        // user-interface side next repaints.
        if (editor)
            editor->requestRedraw();
    }
}

void mi::replaceRecording(RecordCommand next) {
    if (recording.take)
        releasedInBlock.push_back(std::move(recording.take));
    recording = std::move(next);
}

void mi::processRecording(int offset, int count) {
    if (!recordQueue.empty() && recordQueue.front().dueOffset < count) {
        int due = std::max(recordQueue.front().dueOffset, 0);
        processRecording(offset, due);
        RecordCommand& head = recordQueue.front();
        bool keepRunning =
            head.sequence && recording.sequence && head.sequence != recording.sequence &&
            callbacks->sequenceRank(head.sequence) > callbacks->sequenceRank(recording.sequence);
        if (keepRunning) {
            if (head.take)
                releasedInBlock.push_back(std::move(head.take));
        } else {
            finishRecording();
            replaceRecording(std::move(head));
        }
        recordQueue.pop_front();
        processRecording(offset + due, count - due);
        return;
    }
    if (recording.recording()) {
        Take& take = *recording.take;
        auto frames = static_cast<int64_t>(take.frameCount());
        int64_t write = recording.writePosition;
        int64_t copied = std::min<int64_t>(count, frames - write);
        if (copied > 0) {
            std::memcpy(take.samples.data() + 2 * write, recordSource->blockBuffer + 2 * offset,
                        sizeof(float) * 2 * static_cast<size_t>(copied));
            if (recordSource->punchState == 1) {
                double f = framesPerTick(rateRatio(take.sampleRate, masterInfo->samplesPerSec),
                                         samplesPerTick(*masterInfo));
                Pattern& pattern = *recording.pattern;
                pattern.assignTake(static_cast<double>(write) / f,
                                   static_cast<double>(write + copied) / f, &take);
                pattern.tidyActiveTakes();
                resyncPlayers(pattern);
            }
        }
        write += count;
        recording.writePosition = static_cast<int32_t>(std::min<int64_t>(write, INT32_MAX));
        if (write >= frames) {
            finishRecording();
            replaceRecording(RecordCommand{});
        }
    }
    for (RecordCommand& command : recordQueue)
        command.dueOffset -= count;
}

void mi::forgetRecordingOf(const Pattern& pattern, Released& released) {
    if (recording.pattern == &pattern) {
        if (recording.take)
            released.push_back(std::move(recording.take));
        recording = RecordCommand{};
    }
    for (RecordCommand& command : recordQueue)
        if (command.pattern == &pattern) {
            if (command.take)
                released.push_back(std::move(command.take));
            // Kept in its place as a stop, so the queue's timing stays.
            command = RecordCommand{};
        }
}

bool mi::isRecordingInto(const Take& take) {
    auto hold = lockAudio();
    return recording.take.get() == &take;
}

std::vector<float> mi::copyRecordingSamples(const Take& take) {
    // The audio thread writes the take block by block into a buffer that
    // never moves while it records: copy it a piece at a time, each under a
    // short hold of the lock.
    constexpr size_t piece = size_t{1} << 16;
    std::vector<float> copy(take.samples.size());
    for (size_t done = 0; done < copy.size(); done += piece) {
        auto hold = lockAudio();
        size_t n = std::min(piece, copy.size() - done);
        std::memcpy(copy.data() + done, take.samples.data() + done, n * sizeof(float));
    }
    return copy;
}

} // namespace spoolex
