// The round trip of a take through an external wave editor: a temporary WAV
// file, the editor launched on it, a box the user answers when done, and the
// file read back into the same take.
#include <cstdio>

#include "generator/machine/Machine.h"
#include "generator/machine/UserInterface.h"
#include "generator/transfers/Importer.h"
#include "generator/transfers/TakeTransfers.h"
#include "generator/transfers/TransferUserInterface.h"
#include "generator/wavestore/Exporter.h"

namespace spoolex {

namespace {

constexpr int firstEditorItem = 100;

const char* const waitText =
    "Your external wave editor should open shortly.\nWhen you have finished editing your wave, "
    "save it, close the editor, and click OK in this dialog. To discard your edits, click "
    "Cancel.";

// Unowned, with the system's caption: these come from deep in the round trip.
void showSystemError(const char* text) {
    userInterface().showMessage(nullptr, text, nullptr, MessageIcon::Error);
}

// The edited file is the user's work: when it cannot be read back it stays
// where it is, and the message says where. True when it was read back.
bool readBack(Take& take, const std::string& path) {
    WavImporter importer;
    const char* failure = nullptr;
    if (!importer.canImport(path))
        failure = "wav importer canImport failed";
    else if (!importer.importInto(take, path))
        failure = "wav importer failed";
    if (failure) {
        std::string text = failure;
        if (std::FILE* kept = std::fopen(path.c_str(), "rb")) {
            std::fclose(kept);
            text += "\n\nYour edited wave is kept in " + path;
        }
        showSystemError(text.c_str());
        return false;
    }
    if (take.owner)
        take.owner->notifyPatternChanged();
    return true;
}

} // namespace

std::string substitutePath(const std::string& arguments, const std::string& quotedPath) {
    std::string result;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments.compare(i, 2, "%1") == 0) {
            result += quotedPath;
            ++i;
        } else {
            result += arguments[i];
        }
    }
    return result;
}

bool runExternalEditor(const WaveEditorEntry& entry, Take& take, void* owner,
                       const StillThere& stillThere) {
    TransferUserInterface& ui = transferUserInterface();
    std::string path;
    if (!ui.reserveTemporaryFile("kor", ".wav", path)) {
        showSystemError("wav exporter failed");
        return false;
    }
    WavExporter exporter(entry.format);
    if (!exporter.exportRange(take, path, 0, static_cast<uint32_t>(take.frameCount()))) {
        std::remove(path.c_str());
        showSystemError("wav exporter failed");
        return false;
    }
    if (!ui.launchProgram(entry.path, substitutePath(entry.arguments, "\"" + path + "\""))) {
        // No editor, so nothing to wait for; the take is left alone.
        std::remove(path.c_str());
        userInterface().showMessage(owner,
                                    "The wave editor \"" + entry.path + "\" could not be started.",
                                    nullptr, MessageIcon::Error);
        return true;
    }
    // The box may stay up for minutes, running the host's messages; a take
    // gone meanwhile drops the edit as Cancel does.
    const bool keep = ui.askOkCancel(owner, waitText) && stillThere() && !readBack(take, path);
    if (!keep)
        std::remove(path.c_str());
    return true;
}

TransferResult sendToExternalEditor(mi& machine, Pattern* pattern, Take* take, void* owner,
                                    const StillThere& stillThere) {
    if (!pattern || !take)
        return TransferResult::NothingToDo;
    const std::vector<WaveEditorEntry>& editors = machine.waveEditors();
    if (editors.empty()) {
        userInterface().showMessage(owner, "No wave editors defined", nullptr, MessageIcon::Error);
        return TransferResult::Failed;
    }
    std::vector<PopupItem> items;
    for (size_t i = 0; i < editors.size(); ++i)
        items.push_back({firstEditorItem + static_cast<int>(i), editors[i].name});
    int chosen = transferUserInterface().choosePopupItem(owner, items);
    if (chosen < firstEditorItem || chosen >= firstEditorItem + static_cast<int>(editors.size()) ||
        !stillThere())
        return TransferResult::NothingToDo;
    if (!runExternalEditor(editors[static_cast<size_t>(chosen - firstEditorItem)], *take, owner,
                           stillThere)) {
        userInterface().showMessage(owner, "FAIL", nullptr, MessageIcon::None);
        return TransferResult::Failed;
    }
    return TransferResult::Done;
}

} // namespace spoolex
