// The host's pattern notifications: patterns are created, copied, resized
// and deleted on the user-interface thread, while blocks may be rendering.
#include <algorithm>

#include "generator/machine/Machine.h"
#include "generator/machine/Recovery.h"
#include "generator/machine/SlotGuard.h"

namespace spoolex {

Pattern* mi::findPattern(const CPattern* handle) const {
    auto found = patternsByHandle.find(handle);
    return found == patternsByHandle.end() ? nullptr : found->second.get();
}

std::vector<Pattern*> mi::patterns() const {
    std::vector<Pattern*> all;
    all.reserve(patternsByHandle.size());
    for (const auto& entry : patternsByHandle)
        all.push_back(entry.second.get());
    return all;
}

std::vector<std::pair<std::string, Pattern*>> mi::namedPatterns() const {
    std::vector<std::pair<std::string, Pattern*>> named;
    for (const auto& [handle, pattern] : patternsByHandle) {
        const char* name = callbacks->patternNameOf(const_cast<CPattern*>(handle));
        named.emplace_back(name ? name : "", pattern.get());
    }
    for (const auto& [name, pattern] : patternsAwaitingHost)
        named.emplace_back(name, pattern.get());
    return named;
}

bool mi::holdsPattern(const Pattern* pattern) const {
    for (const auto& entry : patternsByHandle)
        if (entry.second.get() == pattern)
            return true;
    for (const auto& entry : patternsAwaitingHost)
        if (entry.second.get() == pattern)
            return true;
    return false;
}

void mi::keepAwaitingPattern(const std::string& name, std::unique_ptr<Pattern> pattern) {
    // Declared before the hold: a pattern of the same name read earlier is
    // freed once the lock is released.
    std::unique_ptr<Pattern> replaced;
    auto hold = lockAudio();
    std::unique_ptr<Pattern>& slot = patternsAwaitingHost[name];
    replaced = std::move(slot);
    slot = std::move(pattern);
}

Pattern* mi::awaitingPattern(const std::string& name) const {
    auto found = patternsAwaitingHost.find(name);
    return found == patternsAwaitingHost.end() ? nullptr : found->second.get();
}

std::vector<std::string> mi::awaitingPatternNames() const {
    std::vector<std::string> names;
    for (const auto& entry : patternsAwaitingHost)
        names.push_back(entry.first);
    return names;
}

std::unique_ptr<Pattern> mi::takeAwaitingPattern(const std::string& name) {
    auto awaiting = patternsAwaitingHost.find(name);
    if (awaiting == patternsAwaitingHost.end())
        return nullptr;
    std::unique_ptr<Pattern> pattern = std::move(awaiting->second);
    patternsAwaitingHost.erase(awaiting);
    return pattern;
}

void mi::dropPlayersOf(const Pattern& pattern, Released& released) {
    for (auto it = patternPlayers.begin(); it != patternPlayers.end();) {
        if (it->second->pattern == &pattern) {
            released.push_back(std::move(it->second));
            it = patternPlayers.erase(it);
        } else {
            ++it;
        }
    }
    auto gone = std::stable_partition(
        takePlayers.begin(), takePlayers.end(),
        [&](const std::shared_ptr<TakePlayer>& player) { return player->take->owner != &pattern; });
    for (auto it = gone; it != takePlayers.end(); ++it)
        released.push_back(std::move(*it));
    takePlayers.erase(gone, takePlayers.end());
}

std::unique_ptr<Pattern> mi::installPattern(const CPattern* handle,
                                            std::unique_ptr<Pattern> pattern, Released& released) {
    std::unique_ptr<Pattern>& slot = patternsByHandle[handle];
    // A handle the host reuses without deleting first: the pattern it held
    // must not stay behind, and no player may keep reading it.
    std::unique_ptr<Pattern> replaced = std::move(slot);
    if (replaced) {
        dropPlayersOf(*replaced, released);
        forgetRecordingOf(*replaced, released);
    }
    slot = std::move(pattern);
    return replaced;
}

void miex::onPatternCreated(CPattern* handle, int lengthTicks) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        const char* name = owner->callbacks->patternNameOf(handle);
        const std::string key = name ? name : "";
        std::unique_ptr<Pattern> replaced;
        {
            Released released;
            std::lock_guard<std::mutex> hold(owner->audioLock);
            std::unique_ptr<Pattern> pattern = owner->takeAwaitingPattern(key);
            if (pattern) {
                pattern->setLength(lengthTicks);
                pattern->hostPattern = handle;
            } else {
                pattern = std::make_unique<Pattern>(*owner, handle, lengthTicks);
            }
            replaced = owner->installPattern(handle, std::move(pattern), released);
            owner->prepareAudioStorage();
        }
        owner->forgetShown(replaced.get());
        // Armed, it may record at once: its copy needs the pattern's name,
        // its start a buffer of its length.
        if (owner->armed) {
            refreshRecoveryIdentity(*owner);
            owner->readyForRecordings();
        }
    });
}

void miex::onPatternCopied(CPattern* handle, const CPattern* sourceHandle) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        const Pattern* source = owner->findPattern(sourceHandle);
        if (!source)
            return;
        // The lists are taken under the lock; the samples are copied outside it.
        Pattern snapshot(*owner, nullptr, 0);
        {
            std::lock_guard<std::mutex> hold(owner->audioLock);
            snapshot.length = source->length;
            snapshot.takes = source->takes;
            snapshot.activeTakes = source->activeTakes;
        }
        // A take the audio thread is writing is read in short holds of the lock.
        for (auto& take : snapshot.takes) {
            if (!owner->isRecordingInto(*take))
                continue;
            auto stable = std::make_shared<Take>();
            stable->changeSamples() = owner->copyRecordingSamples(*take);
            stable->sampleRate = take->sampleRate;
            for (ActiveTakeEntry& entry : snapshot.activeTakes)
                if (entry.take == take.get())
                    entry.take = stable.get();
            take = std::move(stable);
        }
        auto copy = std::make_unique<Pattern>(*owner, handle, snapshot);
        std::unique_ptr<Pattern> replaced;
        {
            Released released;
            std::lock_guard<std::mutex> hold(owner->audioLock);
            replaced = owner->installPattern(handle, std::move(copy), released);
            owner->prepareAudioStorage();
        }
        owner->forgetShown(replaced.get());
        // Armed, it may record at once: its copy needs the pattern's name,
        // its start a buffer of its length.
        if (owner->armed) {
            refreshRecoveryIdentity(*owner);
            owner->readyForRecordings();
        }
    });
}

void mi::forgetShown(const Pattern* pattern) {
    if (pattern && patternEditor)
        patternEditor->patternDeleted(*const_cast<Pattern*>(pattern));
}

void miex::onPatternDeleted(CPattern* handle) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        auto found = owner->patternsByHandle.find(handle);
        if (found == owner->patternsByHandle.end())
            return;
        owner->forgetShown(found->second.get());
        std::unique_ptr<Pattern> doomed;
        Released released;
        std::lock_guard<std::mutex> hold(owner->audioLock);
        owner->dropPlayersOf(*found->second, released);
        owner->forgetRecordingOf(*found->second, released);
        doomed = std::move(found->second);
        owner->patternsByHandle.erase(found);
    });
}

void miex::onPatternLengthChanged(CPattern* handle, int lengthTicks) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        Pattern* pattern = owner->findPattern(handle);
        if (!pattern)
            return;
        {
            std::lock_guard<std::mutex> hold(owner->audioLock);
            pattern->setLength(lengthTicks);
            owner->resyncPlayers(*pattern);
        }
        if (owner->armed)
            owner->readyForRecordings();
        if (owner->patternEditor)
            owner->patternEditor->patternLengthChanged(*pattern);
    });
}

void* miex::createEditorWindow(void* parentWindow) {
    void* window = nullptr;
    guardSlot(owner->callbacks, outOfMemory, [&] {
        // The host destroyed the last editor's window (and with it the
        // editor): a new one, on the machine's grid.
        if (!owner->patternEditor)
            if (EditorFactory makeEditor = editorFactory()) {
                owner->patternEditor = makeEditor();
                owner->patternEditor->attach(*owner);
            }
        if (owner->patternEditor)
            window = owner->patternEditor->createWindow(parentWindow);
    });
    return window;
}

void miex::showPattern(CPattern* handle) {
    if (owner->patternEditor)
        owner->patternEditor->showPattern(handle ? owner->findPattern(handle) : nullptr);
}

} // namespace spoolex
