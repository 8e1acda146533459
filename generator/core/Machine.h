// The generator machine object as the host sees it: the adapter between the
// host's slots and the plain types of the core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "generator/settings/KeyboardShortcut.h"
#include "generator/settings/WaveEditorEntry.h"
#include "hostsdk/MachineInterface.h"
#include "input/InputMachineLayout.h"

class PatternEditor;
class PatternEditorParent;

namespace spoolex {

class mi;

class miex : public CMachineInterfaceEx {
public:
    void buildSubMenu(int index, CMachineDataOutput* out) override;
    bool isCommandEnabled(int commandId) override;
    bool query48() override { return true; }

    mi* owner = nullptr;
};

#pragma pack(push, 1)
// The values the host writes: the Dummy byte, and the crossfade attribute
// directly after it (unaligned; read it with crossfadeLength()).
struct MachineValues {
    uint8_t dummy;
    int32_t crossfadeLength;
};
#pragma pack(pop)
static_assert(sizeof(MachineValues) == 5, "host writes these packed");

// Standard command identifiers the host asks about.
constexpr int commandIdCopy = 0xE122;
constexpr int commandIdCut = 0xE123;
constexpr int commandIdPaste = 0xE125;

class mi final : public CMachineInterface {
public:
    mi();

    void* destroy(unsigned flags) override;
    void initFromSong(CMachineDataInput* data) override;
    void onTick() override;
    void onStop() override;
    void onAttributesChanged() override;
    void runCommand(int code) override;
    CMachineInterfaceEx* extensionInterface() override { return &ex; }

    int32_t crossfadeLength() const;

    // Record source and arm, from the menu or the dialog bar.
    void chooseRecordSource(InputMachine::Fields* source);
    // Sets the record source without telling the user's side.
    void setRecordSource(InputMachine::Fields* source);
    void toggleArmed();

    // The host's current name for a registered input machine.
    static std::string inputName(const InputMachine::Fields* input);

    // Host-read members first; their offsets are fixed below.
    miex ex;
    MachineValues values{};

    CMachine* ownMachine = nullptr;
    PatternEditor* editor = nullptr;
    PatternEditorParent* editorFrame = nullptr;
    float crossfadeStep = 0.01f;
    InputMachine::Fields* recordSource = nullptr;
    std::string pendingRecordSourceName;
    uint8_t armed = 0;
    uint32_t lastTempo = 0;
    uint32_t lastTicksPerBeat = 0;
    // From the settings file, in file order; fixed after initialisation.
    std::vector<KeyboardShortcut> shortcuts;
    std::vector<WaveEditorEntry> waveEditors;

private:
    ~mi();
    void showAboutBox();
    void checkHostVersion();
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(mi, ex) == 48, "host layout");
static_assert(offsetof(mi, values) == 64, "host layout");
static_assert(offsetof(mi, values) + offsetof(MachineValues, crossfadeLength) == 65, "host layout");
#pragma GCC diagnostic pop

} // namespace spoolex
