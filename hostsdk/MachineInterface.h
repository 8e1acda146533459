// Declarations of the host's machine interface as both plug-ins see it.
//
// BINARY CONTRACT: the order of the virtual operations below is the host's
// table layout. Slot k is the k-th entry of each virtual table, on every
// platform and with every compiler we build with. Never reorder, insert or
// remove a virtual operation; unnamed positions are placeholders that keep
// the order. The rules that make this hold against a host built with the
// Windows system compiler:
//   - no virtual destructor: slot 0 is an ordinary virtual operation that
//     stands for the deleting destructor (deletes when bit 0 of flags is set);
//   - no overloaded virtual operations;
//   - no record returned by value, no standard-library types across the boundary;
//   - single inheritance only, and an event handler is a plain function whose
//     first argument is the machine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostsdk/DataStreams.h"
#include "hostsdk/HostServices.h"
#include "hostsdk/MachineInfo.h"
#include "hostsdk/PatternBox.h"
#include "hostsdk/Timing.h"

class CMachineInterfaceEx;

class CMachineInterface {
public:
    // Slot 0: the deleting destructor as the host calls it. Implementations
    // destroy themselves and free their memory when bit 0 of flags is set, and
    // return this pointer.
    virtual void* destroy(unsigned flags) = 0;
    virtual void initFromSong(CMachineDataInput* /*data*/) {}                       // 1
    virtual void onTick() {}                                                        // 2
    virtual bool renderMono(float* /*samples*/, int /*numSamples*/, int /*mode*/) { // 3
        return false;
    }
    virtual bool renderStereo(float* /*in*/, float* /*out*/, int /*numSamples*/,
                              int /*mode*/) { // 4
        return false;
    }
    virtual void onStop() {}                                          // 5
    virtual void saveSongData(CMachineDataOutput* /*out*/) {}         // 6
    virtual void onAttributesChanged() {}                             // 7
    virtual void runCommand(int /*code*/) {}                          // 8
    virtual void reserved9(int) {}                                    // 9
    virtual void reserved10(int) {}                                   // 10
    virtual bool reserved11(int) { return false; }                    // 11
    virtual void reserved12(int, int, int) {}                         // 12
    virtual void reserved13(unsigned) {}                              // 13
    virtual const char* describeValue(int /*param*/, int /*value*/) { // 14
        return nullptr;
    }
    virtual const void* reserved15() { return nullptr; }                  // 15
    virtual bool reserved16(int, int, float) { return false; }            // 16
    virtual void reserved17() {}                                          // 17
    virtual int reserved18(int) { return -1; }                            // 18
    virtual CMachineInterfaceEx* extensionInterface() { return nullptr; } // 19
    virtual void reserved20() {}                                          // 20

    // Members the host reads and writes, in this order.
    void* globalValues = nullptr;      // packed global parameter values
    void* trackValues = nullptr;       // packed track parameter values
    void* attributeValues = nullptr;   // one int32 per attribute
    CMasterInfo* masterInfo = nullptr; // timing record, set by the host
    CMICallbacks* callbacks = nullptr; // host services, set by the host

protected:
    // Not virtual: the host destroys machines only through slot 0.
    ~CMachineInterface() = default;
};

// Threads: the host calls slot 15 (a pattern starts playing) on its audio
// thread, between blocks; every other slot here on its user-interface thread.
class CMachineInterfaceEx {
public:
    virtual void reserved0() {}                                                        // 0
    virtual void reserved1() {}                                                        // 1
    virtual void buildSubMenu(int /*index*/, CMachineDataOutput* /*out*/) {}           // 2
    virtual void reserved3() {}                                                        // 3
    virtual void reserved4() {}                                                        // 4
    virtual void reserved5() {}                                                        // 5
    virtual void reserved6() {}                                                        // 6
    virtual void reserved7() {}                                                        // 7
    virtual void reserved8() {}                                                        // 8
    virtual void reserved9() {}                                                        // 9
    virtual void onPatternCreated(CPattern* /*pattern*/, int /*lengthTicks*/) {}       // 10
    virtual void onPatternCopied(CPattern* /*pattern*/, const CPattern* /*source*/) {} // 11
    virtual void onPatternDeleted(CPattern* /*pattern*/) {}                            // 12
    virtual void reserved13() {}                                                       // 13
    virtual void onPatternLengthChanged(CPattern* /*pattern*/, int /*lengthTicks*/) {} // 14
    virtual void onPatternPlay(CPattern* /*pattern*/, CSequence* /*sequence*/,
                               int /*offsetTicks*/) {}                           // 15
    virtual void* createEditorWindow(void* /*parentWindow*/) { return nullptr; } // 16
    virtual void showPattern(CPattern* /*pattern*/) {}                           // 17
    virtual void reserved18() {}                                                 // 18
    virtual void reserved19() {}                                                 // 19
    virtual bool isCommandEnabled(int /*commandId*/) { return false; }           // 20
    virtual void paintPatternBox(const PatternBoxRequest* /*request*/) {}        // 21
    virtual void* reserved22() { return nullptr; }                               // 22
    virtual void* reserved23() { return nullptr; }                               // 23
    virtual void* reserved24() { return nullptr; }                               // 24
    virtual void* reserved25() { return nullptr; }                               // 25
    virtual void* reserved26() { return nullptr; }                               // 26
    virtual void* reserved27() { return nullptr; }                               // 27
    virtual void* reserved28() { return nullptr; }                               // 28
    virtual void* reserved29() { return nullptr; }                               // 29
    virtual void* reserved30() { return nullptr; }                               // 30
    virtual void* reserved31() { return nullptr; }                               // 31
    virtual void* reserved32() { return nullptr; }                               // 32
    virtual void* reserved33() { return nullptr; }                               // 33
    virtual void* reserved34() { return nullptr; }                               // 34
    virtual void* reserved35() { return nullptr; }                               // 35
    virtual void* reserved36() { return nullptr; }                               // 36
    virtual void* reserved37() { return nullptr; }                               // 37
    virtual void* reserved38() { return nullptr; }                               // 38
    virtual void* reserved39() { return nullptr; }                               // 39
    virtual void* reserved40() { return nullptr; }                               // 40
    virtual void* reserved41() { return nullptr; }                               // 41
    virtual void* reserved42() { return nullptr; }                               // 42
    virtual void* reserved43() { return nullptr; }                               // 43
    virtual void* reserved44() { return nullptr; }                               // 44
    virtual void* reserved45() { return nullptr; }                               // 45
    virtual void* reserved46() { return nullptr; }                               // 46
    virtual void* reserved47() { return nullptr; }                               // 47
    virtual bool query48() { return false; }                                     // 48

protected:
    ~CMachineInterfaceEx() = default;
};

// The host reads these members by offset.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(CMachineInterface, globalValues) == 8, "host layout");
static_assert(offsetof(CMachineInterface, trackValues) == 16, "host layout");
static_assert(offsetof(CMachineInterface, attributeValues) == 24, "host layout");
static_assert(offsetof(CMachineInterface, masterInfo) == 32, "host layout");
static_assert(offsetof(CMachineInterface, callbacks) == 40, "host layout");
static_assert(sizeof(CMachineInterface) == 48, "host layout");
static_assert(sizeof(CMachineInterfaceEx) == 8, "host layout");
#pragma GCC diagnostic pop

// Exports every machine library provides, with C linkage.
#if defined(_WIN32)
#define SPOOLEX_EXPORT extern "C" __declspec(dllexport)
#else
#define SPOOLEX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef const CMachineInfo* (*GetInfoFunction)();
typedef CMachineInterface* (*CreateMachineFunction)();
