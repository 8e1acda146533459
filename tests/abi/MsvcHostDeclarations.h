// The host's interfaces as the host's own compiler (MSVC ABI) sees them: a
// real virtual destructor in the machine's slot 0 and event handlers as
// pointers to member functions. Written independently of hostsdk/ so that
// the two can be compared. Compiled only with
// clang++ --target=x86_64-pc-windows-msvc: no headers, no C runtime.
#pragma once

struct CMachine;
struct CPattern;
struct CSequence;
struct CWaveInfo;
struct CWaveLevel;
struct PatternBoxRequest {
    CPattern* pattern;
    void* deviceContext;
    int left;
    int top;
    int width;
    int height;
    float scale;
};

struct CMasterInfo {
    int beatsPerMin;
    int ticksPerBeat;
    int samplesPerSec;
    int samplesPerTick;
    int posInTick;
};

struct CMachineParameter;
struct CMachineAttribute;

struct CMachineInfo {
    int type;
    int version;
    int flags;
    int minTracks;
    int maxTracks;
    int numGlobalParameters;
    int numTrackParameters;
    const CMachineParameter* const* parameters;
    int numAttributes;
    const CMachineAttribute* const* attributes;
    const char* name;
    const char* shortName;
    const char* author;
    const char* commands;
    void* libraryInterface;
};

class CMachineDataInput {
public:
    virtual void read(void* buffer, int size) = 0;
};

class CMachineDataOutput {
public:
    virtual void write(const void* buffer, int size) = 0;
};

class CMICallbacks;
class CMachineInterfaceEx;

class CMachineInterface {
public:
    virtual ~CMachineInterface() {}
    virtual void initFromSong(CMachineDataInput* data) {}
    virtual void onTick() {}
    virtual bool renderMono(float* samples, int numSamples, int mode) { return false; }
    virtual bool renderStereo(float* in, float* out, int numSamples, int mode) { return false; }
    virtual void onStop() {}
    virtual void saveSongData(CMachineDataOutput* out) {}
    virtual void onAttributesChanged() {}
    virtual void runCommand(int code) {}
    virtual void reserved9(int) {}
    virtual void reserved10(int) {}
    virtual bool reserved11(int) { return false; }
    virtual void reserved12(int, int, int) {}
    virtual void reserved13(unsigned) {}
    virtual const char* describeValue(int param, int value) { return 0; }
    virtual const void* reserved15() { return 0; }
    virtual bool reserved16(int, int, float) { return false; }
    virtual void reserved17() {}
    virtual int reserved18(int) { return -1; }
    virtual CMachineInterfaceEx* extensionInterface() { return 0; }
    virtual void reserved20() {}

    void* globalValues;
    void* trackValues;
    void* attributeValues;
    CMasterInfo* masterInfo;
    CMICallbacks* callbacks;
};

// The host's event handler type: a member function of the machine.
typedef bool (CMachineInterface::*EventHandler)(void* data);

class CMachineInterfaceEx {
public:
    virtual void reserved0() {}
    virtual void reserved1() {}
    virtual void buildSubMenu(int index, CMachineDataOutput* out) {}
    virtual void reserved3() {}
    virtual void reserved4() {}
    virtual void reserved5() {}
    virtual void reserved6() {}
    virtual void reserved7() {}
    virtual void reserved8() {}
    virtual void reserved9() {}
    virtual void onPatternCreated(CPattern* pattern, int lengthTicks) {}
    virtual void onPatternCopied(CPattern* pattern, const CPattern* source) {}
    virtual void onPatternDeleted(CPattern* pattern) {}
    virtual void reserved13() {}
    virtual void onPatternLengthChanged(CPattern* pattern, int lengthTicks) {}
    virtual void onPatternPlay(CPattern* pattern, CSequence* sequence, int offsetTicks) {}
    virtual void* createEditorWindow(void* parentWindow) { return 0; }
    virtual void showPattern(CPattern* pattern) {}
    virtual void reserved18() {}
    virtual void reserved19() {}
    virtual bool isCommandEnabled(int commandId) { return false; }
    virtual void paintPatternBox(const PatternBoxRequest* request) {}
    virtual void* reserved22() { return 0; }
    virtual void* reserved23() { return 0; }
    virtual void* reserved24() { return 0; }
    virtual void* reserved25() { return 0; }
    virtual void* reserved26() { return 0; }
    virtual void* reserved27() { return 0; }
    virtual void* reserved28() { return 0; }
    virtual void* reserved29() { return 0; }
    virtual void* reserved30() { return 0; }
    virtual void* reserved31() { return 0; }
    virtual void* reserved32() { return 0; }
    virtual void* reserved33() { return 0; }
    virtual void* reserved34() { return 0; }
    virtual void* reserved35() { return 0; }
    virtual void* reserved36() { return 0; }
    virtual void* reserved37() { return 0; }
    virtual void* reserved38() { return 0; }
    virtual void* reserved39() { return 0; }
    virtual void* reserved40() { return 0; }
    virtual void* reserved41() { return 0; }
    virtual void* reserved42() { return 0; }
    virtual void* reserved43() { return 0; }
    virtual void* reserved44() { return 0; }
    virtual void* reserved45() { return 0; }
    virtual void* reserved46() { return 0; }
    virtual void* reserved47() { return 0; }
    virtual bool query48() { return false; }
};

class CMICallbacks {
public:
    virtual const CWaveInfo* waveInfo(int wave) = 0;
    virtual const CWaveLevel* waveLevel(int wave, int level) = 0;
    virtual void hostMessage(const char* text) = 0;
    virtual void* reserved3() { return 0; }
    virtual void* reserved4() { return 0; }
    virtual void* reserved5() { return 0; }
    virtual void* reserved6() { return 0; }
    virtual void* reserved7() { return 0; }
    virtual void* reserved8() { return 0; }
    virtual void* reserved9() { return 0; }
    virtual bool allocateWave(int wave, int size, const char* name) = 0;
    virtual void* reserved11() { return 0; }
    virtual void* reserved12() { return 0; }
    virtual void* reserved13() { return 0; }
    virtual void* reserved14() { return 0; }
    virtual void* reserved15() { return 0; }
    virtual void* probeExtendedHost(int a, int b) = 0;
    virtual void* reserved17() { return 0; }
    virtual void* reserved18() { return 0; }
    virtual void* reserved19() { return 0; }
    virtual const char* patternNameOf(CPattern* pattern) = 0;
    virtual void* reserved21() { return 0; }
    virtual void* reserved22() { return 0; }
    virtual void* reserved23() { return 0; }
    virtual void* reserved24() { return 0; }
    virtual void* reserved25() { return 0; }
    virtual void* reserved26() { return 0; }
    virtual void* reserved27() { return 0; }
    virtual void* reserved28() { return 0; }
    virtual void registerExtension(CMachineInterfaceEx* extension) = 0;
    virtual void* reserved30() { return 0; }
    virtual void* reserved31() { return 0; }
    virtual void* reserved32() { return 0; }
    virtual void* reserved33() { return 0; }
    virtual CMachine* ownMachine() = 0;
    virtual void setParameterFromControl(CMachine* machine, int group, int track, int param,
                                         int value) = 0;
    virtual void* reserved36() { return 0; }
    virtual void* reserved37() { return 0; }
    virtual int hostStateFlags() = 0;
    virtual void* reserved39() { return 0; }
    virtual void subscribeEvent(CMachine* machine, int eventCode, EventHandler handler,
                                void* param) = 0;
    virtual const char* waveName(int wave) = 0;
    virtual void* reserved42() { return 0; }
    virtual void* reserved43() { return 0; }
    virtual void* reserved44() { return 0; }
    virtual const CMachineInfo* machineInfoOf(CMachine* machine) = 0;
    virtual const char* machineNameOf(CMachine* machine) = 0;
    virtual void* reserved47() { return 0; }
    virtual int hostVersion() = 0;
    virtual void* reserved49() { return 0; }
    virtual void* reserved50() { return 0; }
    virtual void* reserved51() { return 0; }
    virtual void* reserved52() { return 0; }
    virtual void* reserved53() { return 0; }
    virtual void* reserved54() { return 0; }
    virtual void* reserved55() { return 0; }
    virtual void* reserved56() { return 0; }
    virtual void* reserved57() { return 0; }
    virtual void* reserved58() { return 0; }
    virtual void* reserved59() { return 0; }
    virtual void* reserved60() { return 0; }
    virtual void markSongModified() = 0;
    virtual void* reserved62() { return 0; }
    virtual void* reserved63() { return 0; }
    virtual int themeColour(const char* name) = 0;
    virtual void* reserved65() { return 0; }
    virtual void* reserved66() { return 0; }
    virtual void* reserved67() { return 0; }
    virtual void* reserved68() { return 0; }
    virtual void* reserved69() { return 0; }
    virtual void* reserved70() { return 0; }
    virtual void* reserved71() { return 0; }
    virtual void* reserved72() { return 0; }
    virtual void* reserved73() { return 0; }
    virtual void* reserved74() { return 0; }
    virtual void* reserved75() { return 0; }
    virtual void* reserved76() { return 0; }
    virtual int selectedWave() = 0;
    virtual void* reserved78() { return 0; }
    virtual void* reserved79() { return 0; }
    virtual void* reserved80() { return 0; }
    virtual void* reserved81() { return 0; }
    virtual void onOwnMachineEvent(CMachine* machine, bool value) = 0;
    virtual void* reserved83() { return 0; }
    virtual int sequenceRank(CSequence* sequence) = 0;
};

static_assert(sizeof(EventHandler) == 8, "single-inheritance member pointer");
static_assert(__builtin_offsetof(CMachineInterface, masterInfo) == 32, "host layout");
static_assert(__builtin_offsetof(CMachineInterface, callbacks) == 40, "host layout");
static_assert(__builtin_offsetof(CMachineInfo, name) == 56, "host layout");

typedef const CMachineInfo* (*GetInfoFunction)();
typedef CMachineInterface* (*CreateMachineFunction)();
