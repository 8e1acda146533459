#include "generator/transfers/DlgExportWT.h"

#include <cstdio>

#include "generator/machine/UserInterface.h"
#include "generator/model/WavSampleFormat.h"
#include "generator/transfers/TransferUserInterface.h"
#include "hostsdk/HostServices.h"

namespace spoolex {

void DlgExportWT::initialise() {
    formats = {"32-bit float", "16-bit int"};
    formatPosition = 0;
    waves.clear();
    int firstFree = -1;
    for (int s = 1; s <= slotCount; ++s) {
        char entry[300];
        if (host.waveInfo(s)) {
            const char* name = host.waveName(s);
            std::snprintf(entry, sizeof entry, "%02X: %s", s, name ? name : "");
        } else {
            std::snprintf(entry, sizeof entry, "%02X", s);
            if (firstFree < 0)
                firstFree = s - 1;
        }
        waves.push_back(entry);
    }
    wavePosition = firstFree < 0 ? 0 : firstFree;
}

void DlgExportWT::onOk(int chosenWave, int chosenFormat) {
    if (chosenWave < 0 || chosenWave >= slotCount)
        chosenWave = wavePosition; // a list without a selection keeps the preselected slot
    slot = static_cast<unsigned>(chosenWave) + 1;
    format = static_cast<unsigned>(chosenFormat == 0 ? WavSampleFormat::Float32
                                                     : WavSampleFormat::Int16);
}

const char* DlgExportWT::helpText() {
    return "32-bit float is higher quality and can represent signals above 0dB without "
           "clipping, but only a few machines support it.\n16-bit int is lower quality and "
           "prone to clipping, but can be used with all machines.";
}

void DlgExportWT::onHelp(void* dialogWindow) {
    userInterface().showMessage(dialogWindow, helpText(), nullptr, MessageIcon::None);
}

bool DlgExportWT::runModal(void* owner) {
    initialise();
    return transferUserInterface().runExportDialog(owner, *this);
}

} // namespace spoolex
