// The "Export to wavetable" dialog's content and answers: the wave slots with
// the first free one preselected, and the sample format. The platform layer
// shows it (template 1008 on Windows) and hands the user's choice to onOk.
#pragma once

#include <string>
#include <vector>

class CMICallbacks;

namespace spoolex {

class Pattern;

class DlgExportWT {
public:
    static constexpr int slotCount = 200;
    static constexpr int waveListId = 1010;
    static constexpr int formatListId = 1011;
    static constexpr int helpButtonId = 1012;

    DlgExportWT(Pattern* pattern, CMICallbacks& host) : pattern(pattern), host(host) {}

    // Fills both lists and selects "32-bit float" and the first free slot
    // (slot 1 when all are used).
    void initialise();
    const std::vector<std::string>& waveEntries() const { return waves; }
    const std::vector<std::string>& formatEntries() const { return formats; }
    int selectedWave() const { return wavePosition; }
    int selectedFormat() const { return formatPosition; }

    // OK with the lists' selected positions.
    void onOk(int wavePosition, int formatPosition);
    // The "?" button: explains the formats in a box owned by the dialog.
    static void onHelp(void* dialogWindow);
    static const char* helpText();

    // initialise, then the platform's modal dialog. True on OK.
    bool runModal(void* owner);

    // Valid after OK.
    unsigned chosenSlot() const { return slot; }
    unsigned chosenFormat() const { return format; }
    Pattern* exportedPattern() const { return pattern; }

private:
    Pattern* pattern;
    CMICallbacks& host;
    std::vector<std::string> waves;
    std::vector<std::string> formats;
    int wavePosition = 0;
    int formatPosition = 0;
    unsigned slot = 0;
    unsigned format = 0;
};

} // namespace spoolex
