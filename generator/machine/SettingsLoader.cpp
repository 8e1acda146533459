#include "generator/machine/SettingsLoader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tinyxml.h>

#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/UserInterface.h"
#include "generator/settings/KeyboardShortcut.h"
#include "generator/settings/WaveEditorEntry.h"
#include "platform/ModulePath.h"

namespace spoolex {

namespace {

const char anchor = 0;
const char* const settingsFileName = "Korvane Spoolex settings.xml";
// The user's view of where the file is, whatever this platform calls it.
const std::string shownFileName = "'Buzz\\Gear\\Generators\\Korvane Spoolex settings.xml'";

std::string& chosenPath() {
    static std::string path;
    return path;
}

void tellHost(mi& machine, const char* text) {
    if (machine.callbacks)
        machine.callbacks->hostMessage(text);
}

void readWaveEditors(const TiXmlElement& section, mi& machine) {
    for (const TiXmlElement* element = section.FirstChildElement("editor"); element;
         element = element->NextSiblingElement("editor")) {
        WaveEditorEntry entry;
        std::string error;
        if (parseWaveEditor(*element, entry, error))
            machine.addWaveEditor(std::move(entry));
        else
            tellHost(machine, error.c_str());
    }
}

void readProjectFolder(const TiXmlElement& section) {
    const char* folder = section.Attribute("default");
    if (!folder)
        return;
    defaultProjectFolder() = folder;
    askForProjectFolder() = section.Attribute("noask") == nullptr;
}

void readKeys(const TiXmlElement& section, mi& machine) {
    for (const TiXmlElement* element = section.FirstChildElement("key"); element;
         element = element->NextSiblingElement("key")) {
        try {
            machine.addShortcut(parseShortcut(*element));
        } catch (const KeyboardShortcut::Error& error) {
            std::string text = "Error in keys section of Spoolex settings file: \n";
            text += error.what();
            text += "\n(line " + std::to_string(element->Row()) + ")";
            userInterface().showMessage(nullptr, text, nullptr, MessageIcon::Error);
        }
    }
}

// TinyXML steps over a multi-byte UTF-8 character whole, even when the text
// ends inside it, and then reads on past the end of its buffer: the text is
// handed over with zero bytes after its end for the longest such step.
constexpr size_t longestCharacterStep = 4;

// The file's text as TinyXML's own file loading takes it: up to the first
// zero byte, with every line ending as a single '\n'.
bool readSettingsText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.clear();
    text.reserve(raw.size() + longestCharacterStep);
    for (size_t i = 0; i < raw.size() && raw[i] != '\0'; ++i) {
        if (raw[i] != '\r') {
            text += raw[i];
            continue;
        }
        text += '\n';
        if (i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
    }
    text.append(longestCharacterStep, '\0');
    return true;
}

// A folder in the file's place cannot be read as a file on any system: it
// fails as a file that cannot be opened.
bool loadDocument(TiXmlDocument& document, const std::string& path) {
    std::error_code ignored;
    std::string text;
    if (std::filesystem::is_directory(path, ignored) || !readSettingsText(path, text)) {
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr,
                          TIXML_ENCODING_UNKNOWN);
        return false;
    }
    document.Parse(text.c_str());
    return !document.Error();
}

void readDocument(const TiXmlDocument& document, mi& machine) {
    // A file with nothing but comments or a declaration has no root: it
    // configures nothing, like a root without any of the sections.
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return;
    if (const TiXmlElement* section = root->FirstChildElement("waveeditors"))
        readWaveEditors(*section, machine);
    if (const TiXmlElement* section = root->FirstChildElement("projectfolder"))
        readProjectFolder(*section);
    if (root->FirstChildElement("no_redraw_while_recording"))
        redrawWhileRecording() = false;
    if (const TiXmlElement* section = root->FirstChildElement("keys"))
        readKeys(*section, machine);
}

// Loading stopped half-way (out of memory, say): what was read stays in use
// and the machine carries on.
void reportUnfinished(mi& machine, const char* reason) {
    try {
        std::string text = shownFileName + " could not be read completely.\n\n" + reason;
        tellHost(machine, text.c_str());
    } catch (...) {
        tellHost(machine, "Korvane Spoolex settings.xml could not be read completely.");
    }
}

} // namespace

std::string settingsFilePath() {
    if (!chosenPath().empty())
        return chosenPath();
    return platform::folderOf(platform::modulePath(&anchor)) + settingsFileName;
}

void setSettingsFilePath(const std::string& path) {
    chosenPath() = path;
}

void loadSettings(mi& machine) {
    try {
        TiXmlDocument document;
        if (!loadDocument(document, settingsFilePath())) {
            // The parser counts rows and columns from 1; a file that cannot
            // be opened has no position, and both read 0.
            std::string text = shownFileName + " contains an error.\n\n" + document.ErrorDesc() +
                               "\nLine " + std::to_string(document.ErrorRow()) + ", Column " +
                               std::to_string(document.ErrorCol());
            tellHost(machine, text.c_str());
            return;
        }
        readDocument(document, machine);
    } catch (const std::exception& error) {
        reportUnfinished(machine, error.what());
    } catch (...) {
        reportUnfinished(machine, "Unknown error.");
    }
}

} // namespace spoolex
