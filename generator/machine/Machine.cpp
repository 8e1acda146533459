#include "generator/machine/Machine.h"

#include <algorithm>
#include <cstring>

#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/Recovery.h"
#include "generator/machine/SettingsLoader.h"
#include "generator/machine/SlotGuard.h"
#include "generator/machine/SongData.h"
#include "generator/machine/UserInterface.h"
#include "generator/machine/WaveFolder.h"

namespace spoolex {

namespace {

constexpr int oldestSupportedHostVersion = 2;

void writeMenuItem(CMachineDataOutput& out, const std::string& text) {
    out.write(text.c_str(), static_cast<int>(text.size() + 1));
}

} // namespace

// Event 0 for our own machine: pass it on to the host's service for it.
bool mi::onOwnMachineEvent(CMachineInterface* machine, void*) {
    auto* self = static_cast<mi*>(machine);
    self->callbacks->onOwnMachineEvent(self->ownMachine, true);
    return true;
}

// Event 3: a machine appeared or changed; if it is an input machine, the
// record-source list may be stale.
bool mi::onMachineEvent(CMachineInterface* machine, void* data) {
    auto* self = static_cast<mi*>(machine);
    const CMachineInfo* info = self->callbacks->machineInfoOf(static_cast<CMachine*>(data));
    if (info && info->name && std::strcmp(info->name, inputMachineName) == 0 && self->patternEditor)
        self->patternEditor->refreshRecordSources();
    return true;
}

mi::mi() {
    ex.owner = this;
    values.dummy = static_cast<uint8_t>(machineDescription().parameters[0]->defaultValue);
    values.crossfadeLength = machineDescription().attributes[0]->defaultValue;
    globalValues = &values.dummy;
    trackValues = nullptr;
    attributeValues =
        reinterpret_cast<uint8_t*>(&values) + offsetof(MachineValues, crossfadeLength);
    if (EditorFactory makeEditor = editorFactory())
        patternEditor = makeEditor();
    // What blocks let go of waits here for the lock's release; the render
    // path never grows it.
    releasedInBlock.reserve(1024);
    releasedInPlay.reserve(64);
    retired.reserve(retiredRoom);
    // Start and stop commands; a stop after a stop is never queued, so this
    // is only filled by starts that wait for a record source.
    recordQueue.reserve(64);
    prepareAudioStorage();
    generatorInstances().push_back(this);
    housekeeper = std::make_unique<Housekeeper>(*this);
}

mi::~mi() {
    housekeeper.reset();
    // Its last frames reach the disk while the takes are still here.
    recoveryWriter.reset();
    if (patternEditor)
        patternEditor->destroy();
    patternEditor = nullptr;
    auto& instances = generatorInstances();
    auto it = std::find(instances.begin(), instances.end(), this);
    if (it != instances.end())
        instances.erase(it);
    takePlayers.clear();
    patternPlayers.clear();
    patternsByHandle.clear();
    patternsAwaitingHost.clear();
}

void* mi::destroy(unsigned flags) {
    if (flags & 1) {
        delete this;
    } else {
        this->~mi();
    }
    return this;
}

void mi::checkHostVersion() {
    if (callbacks->probeExtendedHost(-2, -2) &&
        callbacks->hostVersion() >= oldestSupportedHostVersion)
        return;
    userInterface().showMessage(nullptr,
                                "Korvane Spoolex will only work in versions of Buzz released on or "
                                "after 9 August 2008, or in Buzz clones which implement the same "
                                "interfaces.",
                                machineName, MessageIcon::Error);
}

void mi::initFromSong(CMachineDataInput* data) {
    callbacks->registerExtension(&ex);
    checkHostVersion();
    callbacks->subscribeEvent(callbacks->ownMachine(), HostEventOwnMachine, onOwnMachineEvent,
                              nullptr);
    if (patternEditor)
        patternEditor->attach(*this);
    ownMachine = callbacks->ownMachine();
    callbacks->subscribeEvent(ownMachine, HostEventMachineChanged, onMachineEvent, nullptr);
    guardSlot(callbacks, outOfMemory, [&] { loadSettings(*this); });
    if (data) {
        FingerprintedInput in(*data);
        guardSlot(callbacks, outOfMemoryWhileLoading, [&] { loadSongData(*this, in); });
        songFingerprint = in.fingerprint.text();
    }
    guardSlot(callbacks, outOfMemory, [&] { startRecovery(*this); });
}

void mi::saveSongData(CMachineDataOutput* out) {
    if (!out)
        return;
    FingerprintedOutput hashed(*out);
    guardSlot(callbacks, outOfMemoryWhileSaving, [&] {
        spoolex::saveSongData(*this, hashed);
        songFingerprint = hashed.fingerprint.text();
        noteSongSaved(*this);
    });
}

void mi::onTick() {
    auto tempo = static_cast<uint32_t>(masterInfo->beatsPerMin);
    auto ticksPerBeat = static_cast<uint32_t>(masterInfo->ticksPerBeat);
    if (tempo == lastTempo && ticksPerBeat == lastTicksPerBeat)
        return;
    lastTempo = tempo;
    lastTicksPerBeat = ticksPerBeat;
    // The audio thread: the view repaints on the user-interface side.
    requestRedraw();
}

void mi::onStop() {
    guardSlot(callbacks, outOfMemory, [&] { stop(); });
}

void mi::stop() {
    {
        Released released;
        std::lock_guard<std::mutex> hold(audioLock);
        // Take players are left to fade out over the next blocks.
        released.reserve(2 * patternPlayers.size());
        for (auto& [key, player] : patternPlayers) {
            stopPatternPlayer(*player);
            takePlayerPool.release(std::move(player->current), released);
            patternPlayerPool.release(std::move(player), released);
        }
        patternPlayers.clear();
        // Ends a running recording at the start of the next block; a stop
        // right behind another changes nothing.
        if (recordQueue.empty() || recordQueue.back().sequence)
            recordQueue.push_back(RecordCommand{});
    }
    // Stopping the host always disarms.
    armed = 0;
    if (patternEditor)
        patternEditor->showArmed();
}

int32_t mi::crossfadeLength() const {
    int32_t length;
    std::memcpy(&length, attributeValues, sizeof length);
    return length;
}

void mi::onAttributesChanged() {
    std::lock_guard<std::mutex> hold(audioLock);
    fadeStep = 1.0f / static_cast<float>(crossfadeLength());
}

void mi::toggleArmed() {
    // Armed, the machine may start a recording at any block: its take
    // objects and list room are ready before that.
    if (!armed)
        prepareForAudio();
    // What a recording's copy notes about it is fresh before it can start.
    refreshRecoveryIdentity(*this);
    armed = armed ? 0 : 1;
    readyForRecordings();
    if (patternEditor)
        patternEditor->showArmed();
}

std::string mi::hostMachineName() const {
    const char* name = callbacks ? callbacks->machineNameOf(ownMachine) : nullptr;
    return name ? name : "";
}

void mi::keepRecoveryCopies(std::unique_ptr<RecoveryWriter> writer) {
    recoveryWriter = std::move(writer);
}

void mi::editorGone(const MachineEditor* gone) {
    if (patternEditor == gone)
        patternEditor = nullptr;
}

void mi::addShortcut(KeyboardShortcut shortcut) {
    shortcutList.push_back(std::move(shortcut));
}

void mi::addWaveEditor(WaveEditorEntry entry) {
    waveEditorList.push_back(std::move(entry));
}

void mi::forgetSettings() {
    shortcutList.clear();
    waveEditorList.clear();
}

void mi::runCommand(int code) {
    guardSlot(callbacks, outOfMemory, [&] { runMenuCommand(code); });
}

void mi::runMenuCommand(int code) {
    int item = code & 0xff;
    int subMenu = code >> 8;
    if (subMenu == subMenuMain) {
        if (item == commandChangeWaveDirectory && chooseWaveFolder(true))
            refreshRecoveryIdentity(*this);
        else if (item == commandAbout)
            showAboutBox();
    } else if (subMenu == subMenuRecordSource) {
        const auto& registry = inputRegistry();
        if (item == 0) {
            chooseRecordSource(nullptr);
        } else if (static_cast<size_t>(item - 1) < registry.size()) {
            chooseRecordSource(registry[item - 1]);
        }
        // An item past the registry's end (an input left between building the
        // menu and choosing from it) keeps the current choice.
    } else if (subMenu == subMenuArm) {
        toggleArmed();
    }
}

void mi::showAboutBox() {
    userInterface().showMessage(nullptr,
                                "Korvane Spoolex\n\n"
                                "Records audio takes into patterns, plays them back with "
                                "crossfades and keeps them losslessly in the song.\n\n"
                                "By the Korvane team.",
                                "About Korvane Spoolex", MessageIcon::Information);
}

void miex::buildSubMenu(int index, CMachineDataOutput* out) {
    if (out)
        guardSlot(owner->callbacks, outOfMemory, [&] { owner->writeSubMenu(index, *out); });
}

void mi::writeSubMenu(int index, CMachineDataOutput& out) {
    if (index == subMenuRecordSource - 1) {
        writeMenuItem(out, source ? "None" : "*None");
        for (InputMachine::Fields* input : inputRegistry())
            writeMenuItem(out, (input == source ? "*" : "") + inputName(input));
    } else if (index == subMenuArm - 1) {
        writeMenuItem(out, armed ? "*Arm" : "Arm");
    }
}

bool miex::isCommandEnabled(int commandId) {
    if (commandId == commandIdCopy || commandId == commandIdCut)
        return true;
    if (commandId == commandIdPaste)
        return owner->patternEditor && owner->patternEditor->clipboardHasAudio();
    return false;
}

} // namespace spoolex
