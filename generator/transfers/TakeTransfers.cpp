// Imports into new takes and the export to the wavetable.
#include "generator/transfers/TakeTransfers.h"

#include <memory>
#include <utility>

#include "generator/machine/Machine.h"
#include "generator/machine/UserInterface.h"
#include "generator/model/TimeUnits.h"
#include "generator/transfers/DlgExportWT.h"
#include "generator/transfers/Importer.h"
#include "generator/transfers/TransferUserInterface.h"
#include "generator/transfers/Wavetable.h"

namespace spoolex {

namespace {

void showError(void* owner, const std::string& text) {
    userInterface().showMessage(owner, text, nullptr, MessageIcon::Error);
}

// A take to fill before it joins a pattern: nobody plays it meanwhile, and a
// failed import leaves the pattern's take list untouched.
Take detachedTake(const mi& machine) {
    Take take;
    if (machine.masterInfo)
        take.sampleRate = machine.masterInfo->samplesPerSec;
    return take;
}

// The filled take becomes the pattern's last, not made active.
void appendTake(mi& machine, Pattern& pattern, Take& filled) {
    {
        auto hold = machine.lockAudio();
        Take& added = pattern.addTake();
        added.changeSamples().swap(filled.changeSamples());
        added.sampleRate = filled.sampleRate;
    }
    pattern.notifyPatternChanged();
}

} // namespace

TransferResult importFromFile(mi& machine, Pattern* pattern, void* owner,
                              const StillThere& stillThere) {
    if (!pattern)
        return TransferResult::NothingToDo;
    std::string path;
    if (!transferUserInterface().chooseFileToOpen(owner, importFilter(), path) || !stillThere())
        return TransferResult::NothingToDo;
    Take take = detachedTake(machine);
    std::string error;
    if (!importAny(take, path, error)) {
        showError(owner, "Import failed.\n\n" + error);
        return TransferResult::Failed;
    }
    appendTake(machine, *pattern, take);
    return TransferResult::Done;
}

TransferResult importFromWavetable(mi& machine, Pattern* pattern, void* owner) {
    if (!pattern || !machine.callbacks)
        return TransferResult::NothingToDo;
    Take take = detachedTake(machine);
    if (!loadFromWavetable(take, *machine.callbacks, machine.callbacks->selectedWave())) {
        showError(owner, "Wavetable import failed");
        return TransferResult::Failed;
    }
    appendTake(machine, *pattern, take);
    return TransferResult::Done;
}

TransferResult exportSelectionToWavetable(mi& machine, Pattern* pattern, Take* take,
                                          double selStart, double selEnd, void* owner,
                                          const StillThere& stillThere) {
    if (!pattern || !take || !(selStart < selEnd) || !machine.callbacks || !machine.masterInfo)
        return TransferResult::NothingToDo;
    DlgExportWT dialog(pattern, *machine.callbacks);
    if (!dialog.runModal(owner) || !stillThere())
        return TransferResult::NothingToDo;
    const CMasterInfo& timing = *machine.masterInfo;
    double f =
        framesPerTick(rateRatio(take->sampleRate, timing.samplesPerSec), samplesPerTick(timing));
    // Unlike the edit commands, the frame under the selection's end is the
    // first one left out.
    auto first = static_cast<uint32_t>(sampleCount(f * selStart));
    auto end = static_cast<uint32_t>(sampleCount(f * selEnd));
    // A take being recorded is read from a copy taken in short holds.
    Take recorded;
    const Take* source = take;
    if (machine.isRecordingInto(*take)) {
        recorded.changeSamples() = machine.copyRecordingSamples(*take);
        recorded.sampleRate = take->sampleRate;
        source = &recorded;
    }
    if (!exportToWavetable(*source, *machine.callbacks, dialog.chosenSlot(), dialog.chosenFormat(),
                           first, end)) {
        showError(owner, "Wavetable export failed");
        return TransferResult::Failed;
    }
    return TransferResult::Done;
}

} // namespace spoolex
