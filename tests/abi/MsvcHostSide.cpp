// The part of the test host that an MSVC-built host would be: every call into
// the machine and every callback out of it uses the MSVC C++ ABI. Compiled by
// clang for the MSVC target without C runtime, so only plain code here.
#include "tests/abi/MsvcHostDeclarations.h"
#include "tests/abi/MsvcHostRun.h"

extern "C" {
__declspec(dllimport) void* LoadLibraryA(const char* file);
__declspec(dllimport) void* GetProcAddress(void* module, const char* name);
__declspec(dllimport) int FreeLibrary(void* module);
}

namespace {

void copyText(char* out, int size, const char* text) {
    int i = 0;
    for (; text && text[i] && i < size - 1; ++i)
        out[i] = text[i];
    out[i] = 0;
}

void appendText(char* out, int size, const char* text, int length) {
    int used = 0;
    while (out[used])
        ++used;
    for (int i = 0; i < length && text[i] && used < size - 1; ++i)
        out[used++] = text[i];
    out[used] = 0;
}

bool sameText(const char* a, const char* b) {
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

constexpr int songCapacity = 1 << 16;
unsigned char savedSong[songCapacity];
unsigned char resavedSong[songCapacity];
float blockIn[2 * 256];
float blockOut[2 * 256];

class SongOutput final : public CMachineDataOutput {
public:
    explicit SongOutput(unsigned char* bytes) : bytes(bytes) {}
    void write(const void* buffer, int count) override {
        const auto* from = static_cast<const unsigned char*>(buffer);
        for (int i = 0; i < count; ++i) {
            if (size < songCapacity)
                bytes[size] = from[i];
            ++size;
        }
    }
    unsigned char* bytes;
    int size = 0;
};

class SongInput final : public CMachineDataInput {
public:
    SongInput(const unsigned char* bytes, int size) : bytes(bytes), size(size) {}
    void read(void* buffer, int count) override {
        auto* to = static_cast<unsigned char*>(buffer);
        for (int i = 0; i < count; ++i)
            to[i] = position < size ? bytes[position++] : 0;
    }
    const unsigned char* bytes;
    int size;
    int position = 0;
};

// Menu items arrive one write each, zero included.
class MenuOutput final : public CMachineDataOutput {
public:
    MenuOutput(char* text, int size) : text(text), size(size) { text[0] = 0; }
    void write(const void* buffer, int count) override {
        appendText(text, size, static_cast<const char*>(buffer), count);
        appendText(text, size, "|", 1);
    }
    char* text;
    int size;
};

struct Subscription {
    int code;
    EventHandler handler;
};

const CMachineInfo inputMachineInfo = {
    2, 65, 0, 0, 0, 0, 0, 0, 0, 0, "Korvane Spoolex Input", "Input", "", "", 0};

class HostServices final : public CMICallbacks {
public:
    explicit HostServices(MsvcHostReport& report) : report(report) {}

    const CWaveInfo* waveInfo(int) override { return 0; }
    const CWaveLevel* waveLevel(int, int) override { return 0; }
    void hostMessage(const char*) override { ++report.hostMessages; }
    bool allocateWave(int, int, const char*) override { return false; }
    void* probeExtendedHost(int, int) override {
        ++report.versionProbed;
        return this;
    }
    const char* patternNameOf(CPattern*) override { return "00"; }
    void registerExtension(CMachineInterfaceEx* ex) override {
        extension = ex;
        report.extensionRegistered = 1;
    }
    CMachine* ownMachine() override { return machineHandle; }
    void setParameterFromControl(CMachine*, int, int, int, int) override {}
    int hostStateFlags() override { return 0; }
    void subscribeEvent(CMachine*, int code, EventHandler handler, void*) override {
        if (subscriptionCount < 4) {
            subscriptions[subscriptionCount] = {code, handler};
            report.eventCodes[subscriptionCount] = code;
        }
        ++subscriptionCount;
        report.subscriptions = subscriptionCount;
    }
    const char* waveName(int) override { return ""; }
    const CMachineInfo* machineInfoOf(CMachine* machine) override {
        return machine == inputHandle ? &inputMachineInfo : 0;
    }
    const char* machineNameOf(CMachine* machine) override {
        return machine == inputHandle ? "Input" : "Spoolex";
    }
    int hostVersion() override {
        ++report.versionProbed;
        return 2;
    }
    void markSongModified() override { report.songModified = 1; }
    int themeColour(const char*) override { return 0xDAD6C9; }
    int selectedWave() override { return 0; }
    void onOwnMachineEvent(CMachine* machine, bool value) override {
        if (machine == machineHandle && value)
            ++report.ownMachineEventCalls;
    }
    int sequenceRank(CSequence*) override { return 0; }

    // Raises every subscribed event as the host does: a member call.
    void raiseEvents(CMachineInterface* machine) {
        for (int i = 0; i < subscriptionCount && i < 4; ++i) {
            void* data = subscriptions[i].code == 0 ? 0 : inputHandle;
            report.handlerResults[i] = (machine->*subscriptions[i].handler)(data) ? 1 : 0;
        }
    }

    MsvcHostReport& report;
    CMachine* machineHandle = reinterpret_cast<CMachine*>(0x1000);
    CMachine* inputHandle = reinterpret_cast<CMachine*>(0x2000);
    CMachineInterfaceEx* extension = 0;
    Subscription subscriptions[4] = {};
    int subscriptionCount = 0;
};

// Creates and places one machine as the host does: the timing record and
// host services by offset, then the initialisation slot.
CMachineInterface* place(CreateMachineFunction create, CMasterInfo* timing, HostServices* services,
                         CMachineDataInput* song) {
    CMachineInterface* machine = create();
    if (!machine)
        return 0;
    *reinterpret_cast<CMasterInfo**>(reinterpret_cast<char*>(machine) + 32) = timing;
    *reinterpret_cast<CMICallbacks**>(reinterpret_cast<char*>(machine) + 40) = services;
    machine->initFromSong(song);
    return machine;
}

int fail(MsvcHostReport* report, const char* step) {
    copyText(report->failure, sizeof report->failure, step);
    return 1;
}

} // namespace

extern "C" int msvcHostRun(const char* pluginFile, MsvcHostReport* report) {
    void* library = LoadLibraryA(pluginFile);
    if (!library)
        return fail(report, "LoadLibraryA");
    auto getInfo = reinterpret_cast<GetInfoFunction>(GetProcAddress(library, "GetInfo"));
    auto create = reinterpret_cast<CreateMachineFunction>(GetProcAddress(library, "CreateMachine"));
    if (!getInfo || !create)
        return fail(report, "GetProcAddress");

    const CMachineInfo* info = getInfo();
    if (!info)
        return fail(report, "GetInfo");
    report->machineType = info->type;
    report->machineFlags = info->flags;
    report->numAttributes = info->numAttributes;
    copyText(report->machineName, sizeof report->machineName, info->name);
    copyText(report->commands, sizeof report->commands, info->commands);

    CMasterInfo timing = {126, 4, 44100, 5250, 0};
    HostServices services(*report);
    CMachineInterface* machine = place(create, &timing, &services, 0);
    if (!machine)
        return fail(report, "CreateMachine");

    // The attribute values: one unaligned int32 per attribute.
    const auto* attribute = static_cast<const unsigned char*>(machine->attributeValues);
    if (attribute)
        report->crossfadeDefault =
            attribute[0] | attribute[1] << 8 | attribute[2] << 16 | attribute[3] << 24;

    CMachineInterfaceEx* ex = services.extension;
    report->extensionSlotAgrees = ex && machine->extensionInterface() == ex;
    if (!ex)
        return fail(report, "registerExtension");
    services.raiseEvents(machine);

    machine->onAttributesChanged();
    machine->onTick();
    // One audio block of the host's largest size; nothing plays yet.
    report->renderedSound = machine->renderStereo(blockIn, blockOut, 256, 3);
    {
        MenuOutput menu(report->recordSourceMenu, sizeof report->recordSourceMenu);
        ex->buildSubMenu(0, &menu);
    }
    {
        MenuOutput menu(report->armMenuBefore, sizeof report->armMenuBefore);
        ex->buildSubMenu(1, &menu);
    }
    machine->runCommand(2 << 8); // Arm
    {
        MenuOutput menu(report->armMenuArmed, sizeof report->armMenuArmed);
        ex->buildSubMenu(1, &menu);
    }
    machine->onStop();
    {
        MenuOutput menu(report->armMenuAfterStop, sizeof report->armMenuAfterStop);
        ex->buildSubMenu(1, &menu);
    }
    machine->runCommand(3); // About
    report->copyEnabled = ex->isCommandEnabled(0xE122);
    report->pasteEnabled = ex->isCommandEnabled(0xE125);
    report->query48 = ex->query48();
    machine->runCommand(1 << 8); // record source: none
    CPattern* pattern = reinterpret_cast<CPattern*>(0x3000);
    ex->onPatternCreated(pattern, 16);
    ex->onPatternLengthChanged(pattern, 32);
    // The pattern editor in the caller's window, and the pattern's box.
    report->editorWindow = ex->createEditorWindow(report->parentWindow);
    ex->showPattern(pattern);
    PatternBoxRequest box = {pattern, report->deviceContext, 0, 0, 100, 20, 1.0f};
    ex->paintPatternBox(&box);
    report->patternBoxPainted = 1;
    ex->showPattern(0);
    ex->onPatternDeleted(pattern);
    machine->describeValue(0, 0);

    SongOutput saved(savedSong);
    machine->saveSongData(&saved);
    report->savedBytes = saved.size;
    if (saved.size > songCapacity)
        return fail(report, "song data too large");

    // A second machine loaded from that song saves the same bytes.
    HostServices reloadServices(*report);
    SongInput song(savedSong, saved.size);
    CMachineInterface* reloaded = place(create, &timing, &reloadServices, &song);
    if (!reloaded)
        return fail(report, "CreateMachine for the saved song");
    SongOutput resaved(resavedSong);
    reloaded->saveSongData(&resaved);
    report->reloadedSaveMatches = resaved.size == saved.size && song.position == saved.size;
    for (int i = 0; i < saved.size && report->reloadedSaveMatches; ++i)
        report->reloadedSaveMatches = savedSong[i] == resavedSong[i];

    // Slot 0, called as the deleting destructor.
    delete reloaded;
    ++report->machinesDeleted;
    delete machine;
    ++report->machinesDeleted;

    if (!sameText(report->machineName, "Korvane Spoolex"))
        return fail(report, "machine name");
    FreeLibrary(library);
    return 0;
}
