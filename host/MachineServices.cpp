#include "host/MachineServices.h"

#include "host/Host.h"
#include "host/HostMachine.h"

namespace host {

namespace {
// Any non-null answer tells a machine that this host offers the extended
// interface.
int extendedHostToken;
} // namespace

const CWaveInfo* MachineServices::waveInfo(int wave) {
    return host.wavetable.info(wave);
}
const CWaveLevel* MachineServices::waveLevel(int wave, int level) {
    return host.wavetable.level(wave, level);
}
bool MachineServices::allocateWave(int wave, int size, const char* name) {
    return host.wavetable.allocate(wave, size, name ? name : "", host.timing().samplesPerSec);
}
const char* MachineServices::waveName(int wave) {
    return host.wavetable.name(wave);
}
int MachineServices::selectedWave() {
    return host.wavetable.selected();
}

void MachineServices::hostMessage(const char* text) {
    host.showHostMessage(text ? text : "");
}

void* MachineServices::probeExtendedHost(int, int) {
    return host.extendedHost ? &extendedHostToken : nullptr;
}

const char* MachineServices::patternNameOf(CPattern* pattern) {
    return host.patternName(pattern);
}

void MachineServices::registerExtension(CMachineInterfaceEx* extension) {
    machine.extension = extension;
}

CMachine* MachineServices::ownMachine() {
    return machine.handle();
}

void MachineServices::setParameterFromControl(CMachine* target, int group, int track, int param,
                                              int value) {
    // Only global parameters (group 1, track 0) exist in these machines.
    if (!target || group != 1 || track != 0 || !target->machine)
        return;
    HostMachine& targetMachine = *target->machine;
    if (param < 0 || param >= targetMachine.info().numGlobalParameters)
        return;
    host.queueParameterChange({&targetMachine, param, value});
}

int MachineServices::hostStateFlags() {
    return host.stateFlags;
}

void MachineServices::subscribeEvent(CMachine* target, int eventCode, EventHandler handler,
                                     void* param) {
    host.subscribe({&machine, target, eventCode, handler, param});
}

const CMachineInfo* MachineServices::machineInfoOf(CMachine* target) {
    return target && host.nameOf(target) ? &target->machine->info() : nullptr;
}

const char* MachineServices::machineNameOf(CMachine* target) {
    return host.nameOf(target);
}

int MachineServices::hostVersion() {
    return host.version;
}

void MachineServices::markSongModified() {
    host.songModified = true;
    if (host.songModifiedHook)
        host.songModifiedHook();
}

int MachineServices::themeColour(const char* name) {
    auto it = host.themeColours.find(name ? name : "");
    return it == host.themeColours.end() ? 0 : it->second;
}

void MachineServices::onOwnMachineEvent(CMachine* target, bool) {
    host.ownMachineEvents.push_back(target);
}

int MachineServices::sequenceRank(CSequence* sequence) {
    return host.sequenceRank(sequence);
}

} // namespace host
