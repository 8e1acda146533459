// The host services object the stand-in host gives one machine.
#pragma once

#include "hostsdk/HostServices.h"

namespace host {

class Host;
class HostMachine;

class MachineServices final : public CMICallbacks {
public:
    MachineServices(Host& host, HostMachine& machine) : host(host), machine(machine) {}

    const CWaveInfo* waveInfo(int wave) override;
    const CWaveLevel* waveLevel(int wave, int level) override;
    void hostMessage(const char* text) override;
    bool allocateWave(int wave, int size, const char* name) override;
    void* probeExtendedHost(int a, int b) override;
    const char* patternNameOf(CPattern* pattern) override;
    void registerExtension(CMachineInterfaceEx* extension) override;
    CMachine* ownMachine() override;
    void setParameterFromControl(CMachine* target, int group, int track, int param,
                                 int value) override;
    int hostStateFlags() override;
    void subscribeEvent(CMachine* target, int eventCode, EventHandler handler,
                        void* param) override;
    const char* waveName(int wave) override;
    const CMachineInfo* machineInfoOf(CMachine* target) override;
    const char* machineNameOf(CMachine* target) override;
    int hostVersion() override;
    void markSongModified() override;
    int themeColour(const char* name) override;
    int selectedWave() override;
    void onOwnMachineEvent(CMachine* target, bool value) override;
    int sequenceRank(CSequence* sequence) override;

private:
    Host& host;
    HostMachine& machine;
};

} // namespace host
