// Recording: takes filled block by block from the record source while the
// host records, with the punched-in stretches becoming the active take.
#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

#include "generator/machine/Machine.h"
#include "generator/model/TimeUnits.h"

namespace spoolex {

std::shared_ptr<Take> mi::takeForRecording() noexcept {
    if (!spareTakes.empty()) {
        std::shared_ptr<Take> take = std::move(spareTakes.back());
        spareTakes.pop_back();
        return take;
    }
    try {
        return std::make_shared<Take>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::vector<size_t> mi::recordingSizes() const {
    std::vector<size_t> sizes;
    if (!armed || !source || !masterInfo)
        return sizes;
    const float s = samplesPerTick(*masterInfo);
    for (const auto& entry : patternsByHandle) {
        const float takeFrames = s * static_cast<float>(entry.second->length);
        const size_t count = 2 * static_cast<size_t>(sampleCount(takeFrames));
        if (count > 0)
            sizes.push_back(count);
    }
    // The longest first: a short buffer is quick to make at the start.
    std::sort(sizes.begin(), sizes.end(), std::greater<size_t>());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    size_t total = 0;
    auto within = std::find_if(sizes.begin(), sizes.end(), [&](size_t count) {
        total += count;
        return total > readyRecordingFloats;
    });
    sizes.erase(within, sizes.end());
    return sizes;
}

void mi::readyRecordingBuffers() {
    std::vector<size_t> wanted;
    std::vector<size_t> have;
    {
        std::lock_guard<std::mutex> hold(audioLock);
        wanted = recordingSizes();
        for (const Samples& ready : readyRecordings)
            if (!ready.empty())
                have.push_back(ready.size());
    }
    if (wanted.empty() && have.empty())
        return;
    // The buffers still missing are mapped outside the lock (on some
    // systems that takes a millisecond for an hour).
    std::vector<Samples> made;
    for (size_t count : wanted)
        if (std::find(have.begin(), have.end(), count) == have.end())
            made.push_back(silentSamples(count));
    // Their first stretch is mapped now: a start writes it before the
    // housekeeper's next round could map ahead of the recording.
    for (Samples& buffer : made)
        mapPagesNow(buffer.data(), std::min(buffer.size(), recordingMappedAhead) * sizeof(float));
    std::vector<Samples> next;
    next.reserve(wanted.size());
    {
        std::lock_guard<std::mutex> hold(audioLock);
        auto take = [](std::vector<Samples>& from, size_t count, std::vector<Samples>& to) {
            auto found = std::find_if(from.begin(), from.end(),
                                      [&](const Samples& ready) { return ready.size() == count; });
            if (found == from.end())
                return false;
            to.push_back(std::move(*found));
            return true;
        };
        for (size_t count : wanted)
            if (!take(readyRecordings, count, next))
                take(made, count, next);
        readyRecordings.swap(next);
    }
    // What is no longer wanted goes here, outside the lock.
}

void mi::mapRecordingAhead() {
    const float* from = nullptr;
    size_t count = 0;
    {
        std::lock_guard<std::mutex> hold(audioLock);
        if (!recording.recording())
            return;
        // The pointer only: the audio thread goes on writing the take.
        const Samples& samples = recording.take->samples();
        const size_t at =
            std::min(samples.size(), 2 * static_cast<size_t>(std::max(recording.writePosition, 0)));
        from = samples.data() + at;
        count = std::min(samples.size() - at, recordingMappedAhead);
    }
    // Mapping changes no byte a page holds, so should the take let go of
    // this buffer meanwhile, mapping what was its range does no harm.
    mapPagesNow(from, count * sizeof(float));
}

void mi::readyForRecordings() noexcept {
    try {
        readyRecordingBuffers();
    } catch (const std::bad_alloc&) {
        // A start maps its own; the housekeeper tries again.
    }
}

bool mi::startRecording(CSequence* sequence, Pattern& pattern, int offsetTicks,
                        bool hostRecording) noexcept {
    if (!hostRecording || !source || armed != 1)
        return true;
    // Both products in single precision, like samples per tick itself: a
    // wider product can land one frame short of a whole number.
    const float s = samplesPerTick(*masterInfo);
    const float takeFrames = s * static_cast<float>(pattern.length);
    const float startFrame = s * static_cast<float>(offsetTicks);
    // Room for the command was reserved with the machine; the queue is full
    // only when thousands of starts wait for a record source.
    if (recordQueue.size() == recordQueue.capacity())
        return false;
    std::shared_ptr<Take> take = takeForRecording();
    if (!take)
        return false;
    // Everything that may fail comes before the take joins the pattern: when
    // memory runs out, the pattern is left as it was. The samples' pages are
    // mapped ahead of the recording by the housekeeper where the system
    // allows it, otherwise as the recording reaches them.
    try {
        // A buffer the housekeeper made ready, or one call to the page
        // mapper.
        const size_t count = 2 * static_cast<size_t>(sampleCount(takeFrames));
        auto ready = std::find_if(readyRecordings.begin(), readyRecordings.end(),
                                  [&](const Samples& samples) { return samples.size() == count; });
        if (count > 0 && ready != readyRecordings.end())
            take->changeSamples() = std::move(*ready);
        else
            take->changeSamples() = silentSamples(count);
        if (pattern.takes.size() == pattern.takes.capacity())
            pattern.takes.reserve(pattern.takes.size() + 8);
    } catch (const std::bad_alloc&) {
        if (spareTakes.size() < spareTakes.capacity())
            spareTakes.push_back(std::move(take));
        return false;
    }
    pattern.addTake(take);
    RecordCommand start;
    start.sequence = sequence;
    start.dueOffset = source->latencySamples;
    start.pattern = &pattern;
    start.take = std::move(take);
    // Before the take's start when playback began before the pattern's.
    start.writePosition = samplePosition(startFrame);
    start.startPosition = start.writePosition;
    recordQueue.push_back(std::move(start));
    return true;
}

void mi::finishRecording() noexcept {
    if (!recording.sequence)
        return;
    if (recording.pattern)
        recording.pattern->invalidateOverview();
    // The song and the views hear of it once the block's lock is released.
    finishedRecording = true;
    finishedPattern = recording.pattern;
}

void mi::tellFinishedRecording() noexcept {
    if (!finishedRecording)
        return;
    finishedRecording = false;
    callbacks->markSongModified();
    // Still the audio thread: the view shows the new take when the
    // user-interface side next repaints.
    if (finishedPattern)
        requestRedraw();
    finishedPattern = nullptr;
}

void mi::replaceRecording(RecordCommand next) noexcept {
    deferRelease(releasedInBlock, std::move(recording.take));
    recording = std::move(next);
}

void mi::processRecording(int offset, int count) noexcept {
    if (!recordQueue.empty() && recordQueue.front().dueOffset < count) {
        // Commands behind a later head are due at once when it is.
        const int due = std::max(recordQueue.front().dueOffset, 0);
        if (due > 0)
            processRecording(offset, due);
        RecordCommand& head = recordQueue.front();
        bool keepRunning =
            head.sequence && recording.sequence && head.sequence != recording.sequence &&
            callbacks->sequenceRank(head.sequence) > callbacks->sequenceRank(recording.sequence);
        if (keepRunning) {
            deferRelease(releasedInBlock, std::move(head.take));
        } else {
            finishRecording();
            replaceRecording(std::move(head));
        }
        recordQueue.erase(recordQueue.begin());
        processRecording(offset + due, count - due);
        return;
    }
    if (recording.recording()) {
        Take& take = *recording.take;
        auto frames = static_cast<int64_t>(take.frameCount());
        int64_t write = recording.writePosition;
        // Input frames that fall before the take's start are dropped:
        //
        //   input   |-- skipped --|------ copied ------|
        //   take                  frame 0 ...
        const int64_t skipped = std::clamp<int64_t>(-write, 0, count);
        const int64_t first = write + skipped;
        const int64_t copied = std::min<int64_t>(count - skipped, frames - first);
        if (copied > 0) {
            std::memcpy(take.changeSamples().data() + 2 * first,
                        source->blockBuffer + 2 * (offset + skipped),
                        sizeof(float) * 2 * static_cast<size_t>(copied));
            if (source->punchState == 1)
                punchIn(take, first, copied);
        }
        write += count;
        recording.writePosition = static_cast<int32_t>(std::min<int64_t>(write, INT32_MAX));
        if (write >= frames) {
            finishRecording();
            replaceRecording(RecordCommand{});
        }
    }
    for (RecordCommand& command : recordQueue)
        command.dueOffset = std::max(command.dueOffset - count, 0);
}

void mi::punchIn(Take& take, int64_t first, int64_t frames) noexcept {
    Pattern& pattern = *recording.pattern;
    // An assignment adds at most two entries. The user-interface side keeps
    // room for them (prepareAudioStorage); only a run of punches faster
    // than it comes by allocates here.
    try {
        pattern.activeTakes.reserve(pattern.activeTakes.size() + 2);
    } catch (const std::bad_alloc&) {
        return; // the audio is in the take; this stretch just stays unheard
    }
    const double f = framesPerTick(rateRatio(take.sampleRate, masterInfo->samplesPerSec),
                                   samplesPerTick(*masterInfo));
    pattern.assignTake(static_cast<double>(first) / f, static_cast<double>(first + frames) / f,
                       &take);
    pattern.tidyActiveTakes();
    resyncPlayers(pattern);
}

template <class Matches> void mi::forgetRecordings(Matches matches, Released& released) {
    if (matches(recording)) {
        if (recording.take)
            released.push_back(std::move(recording.take));
        recording = RecordCommand{};
    }
    for (RecordCommand& command : recordQueue)
        if (matches(command)) {
            if (command.take)
                released.push_back(std::move(command.take));
            // Kept in its place as a stop, so the queue's timing stays.
            command = RecordCommand{};
        }
}

void mi::forgetRecordingOf(const Pattern& pattern, Released& released) {
    forgetRecordings([&](const RecordCommand& command) { return command.pattern == &pattern; },
                     released);
}

void mi::stopRecordingInto(const Take& take, Released& released) {
    forgetRecordings([&](const RecordCommand& command) { return command.take.get() == &take; },
                     released);
}

bool mi::recordsInto(const Take& take) const {
    if (recording.take.get() == &take)
        return true;
    // A queued start may take effect in the very next block.
    return std::any_of(recordQueue.begin(), recordQueue.end(),
                       [&](const RecordCommand& command) { return command.take.get() == &take; });
}

bool mi::isRecordingInto(const Take& take) {
    auto hold = lockAudio();
    return recordsInto(take);
}

RecordCommand mi::runningRecording() {
    auto hold = lockAudio();
    return recording;
}

size_t mi::queuedRecordCommands() {
    auto hold = lockAudio();
    return recordQueue.size();
}

Samples mi::copyRecordingSamples(const Take& take) {
    // The audio thread writes the take block by block into a buffer that
    // never moves while it records: copy it a piece at a time, each under a
    // short hold of the lock.
    constexpr size_t piece = size_t{1} << 16;
    Samples copy(take.samples().size());
    for (size_t done = 0; done < copy.size(); done += piece) {
        auto hold = lockAudio();
        size_t n = std::min(piece, copy.size() - done);
        std::memcpy(copy.data() + done, take.samples().data() + done, n * sizeof(float));
    }
    return copy;
}

} // namespace spoolex
