// The host services object: the host's callback table, one slot per service.
//
// BINARY CONTRACT: slot order is the host's. The named services sit at the
// positions the host defines; reservedN placeholders keep the order and are
// never called by the machines. A stand-in host implements every named slot.
#pragma once

#include "hostsdk/Handles.h"
#include "hostsdk/MachineInfo.h"
#include "hostsdk/PatternBox.h"
#include "hostsdk/WaveTable.h"

class CMachineInterface;
class CMachineInterfaceEx;
// Host event handler: called with the subscribing machine and the event data.
// A plain function with the machine first is laid out and called exactly like
// the host's pointer to a member function of the machine.
typedef bool (*EventHandler)(CMachineInterface* machine, void* data);

// Bit of hostStateFlags() that is set while the host records.
constexpr int HostStateRecording = 2;

// Host event codes the generator subscribes to.
constexpr int HostEventOwnMachine = 0;
constexpr int HostEventMachineChanged = 3;

class CMICallbacks {
public:
    virtual const CWaveInfo* waveInfo(int wave) = 0;                     // 0
    virtual const CWaveLevel* waveLevel(int wave, int level) = 0;        // 1
    virtual void hostMessage(const char* text) = 0;                      // 2
    virtual void* reserved3() { return nullptr; }                        // 3
    virtual void* reserved4() { return nullptr; }                        // 4
    virtual void* reserved5() { return nullptr; }                        // 5
    virtual void* reserved6() { return nullptr; }                        // 6
    virtual void* reserved7() { return nullptr; }                        // 7
    virtual void* reserved8() { return nullptr; }                        // 8
    virtual void* reserved9() { return nullptr; }                        // 9
    virtual bool allocateWave(int wave, int size, const char* name) = 0; // 10
    virtual void* reserved11() { return nullptr; }                       // 11
    virtual void* reserved12() { return nullptr; }                       // 12
    virtual void* reserved13() { return nullptr; }                       // 13
    virtual void* reserved14() { return nullptr; }                       // 14
    virtual void* reserved15() { return nullptr; }                       // 15
    virtual void* probeExtendedHost(int a, int b) = 0;                   // 16
    virtual void* reserved17() { return nullptr; }                       // 17
    virtual void* reserved18() { return nullptr; }                       // 18
    virtual void* reserved19() { return nullptr; }                       // 19
    virtual const char* patternNameOf(CPattern* pattern) = 0;            // 20
    virtual void* reserved21() { return nullptr; }                       // 21
    virtual void* reserved22() { return nullptr; }                       // 22
    virtual void* reserved23() { return nullptr; }                       // 23
    virtual void* reserved24() { return nullptr; }                       // 24
    virtual void* reserved25() { return nullptr; }                       // 25
    virtual void* reserved26() { return nullptr; }                       // 26
    virtual void* reserved27() { return nullptr; }                       // 27
    virtual void* reserved28() { return nullptr; }                       // 28
    virtual void registerExtension(CMachineInterfaceEx* extension) = 0;  // 29
    virtual void* reserved30() { return nullptr; }                       // 30
    virtual void* reserved31() { return nullptr; }                       // 31
    virtual void* reserved32() { return nullptr; }                       // 32
    virtual void* reserved33() { return nullptr; }                       // 33
    virtual CMachine* ownMachine() = 0;                                  // 34
    virtual void setParameterFromControl(CMachine* machine, int group, int track, int param,
                                         int value) = 0; // 35
    virtual void* reserved36() { return nullptr; }       // 36
    virtual void* reserved37() { return nullptr; }       // 37
    virtual int hostStateFlags() = 0;                    // 38
    virtual void* reserved39() { return nullptr; }       // 39
    virtual void subscribeEvent(CMachine* machine, int eventCode, EventHandler handler,
                                void* param) = 0;                      // 40
    virtual const char* waveName(int wave) = 0;                        // 41
    virtual void* reserved42() { return nullptr; }                     // 42
    virtual void* reserved43() { return nullptr; }                     // 43
    virtual void* reserved44() { return nullptr; }                     // 44
    virtual const CMachineInfo* machineInfoOf(CMachine* machine) = 0;  // 45
    virtual const char* machineNameOf(CMachine* machine) = 0;          // 46
    virtual void* reserved47() { return nullptr; }                     // 47
    virtual int hostVersion() = 0;                                     // 48
    virtual void* reserved49() { return nullptr; }                     // 49
    virtual void* reserved50() { return nullptr; }                     // 50
    virtual void* reserved51() { return nullptr; }                     // 51
    virtual void* reserved52() { return nullptr; }                     // 52
    virtual void* reserved53() { return nullptr; }                     // 53
    virtual void* reserved54() { return nullptr; }                     // 54
    virtual void* reserved55() { return nullptr; }                     // 55
    virtual void* reserved56() { return nullptr; }                     // 56
    virtual void* reserved57() { return nullptr; }                     // 57
    virtual void* reserved58() { return nullptr; }                     // 58
    virtual void* reserved59() { return nullptr; }                     // 59
    virtual void* reserved60() { return nullptr; }                     // 60
    virtual void markSongModified() = 0;                               // 61
    virtual void* reserved62() { return nullptr; }                     // 62
    virtual void* reserved63() { return nullptr; }                     // 63
    virtual int themeColour(const char* name) = 0;                     // 64
    virtual void* reserved65() { return nullptr; }                     // 65
    virtual void* reserved66() { return nullptr; }                     // 66
    virtual void* reserved67() { return nullptr; }                     // 67
    virtual void* reserved68() { return nullptr; }                     // 68
    virtual void* reserved69() { return nullptr; }                     // 69
    virtual void* reserved70() { return nullptr; }                     // 70
    virtual void* reserved71() { return nullptr; }                     // 71
    virtual void* reserved72() { return nullptr; }                     // 72
    virtual void* reserved73() { return nullptr; }                     // 73
    virtual void* reserved74() { return nullptr; }                     // 74
    virtual void* reserved75() { return nullptr; }                     // 75
    virtual void* reserved76() { return nullptr; }                     // 76
    virtual int selectedWave() = 0;                                    // 77
    virtual void* reserved78() { return nullptr; }                     // 78
    virtual void* reserved79() { return nullptr; }                     // 79
    virtual void* reserved80() { return nullptr; }                     // 80
    virtual void* reserved81() { return nullptr; }                     // 81
    virtual void onOwnMachineEvent(CMachine* machine, bool value) = 0; // 82
    virtual void* reserved83() { return nullptr; }                     // 83
    virtual int sequenceRank(CSequence* sequence) = 0;                 // 84

protected:
    ~CMICallbacks() = default;
};
