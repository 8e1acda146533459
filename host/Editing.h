// Comping from the command line: a song's generator editor driven by a
// script of user actions, replayed through the editor's own handlers as
// mouse messages, commands and answers, then the song saved.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace host {

// One action of the script: an option of the edit command and its value.
struct EditAction {
    std::string option; // "--pattern", "--take", "--select", "--command", ...
    std::string value;
};

struct EditActionOption {
    const char* option;
    const char* value; // what the usage calls its value
};

// Edit's actions, in the order the usage lists them (all take a value).
std::vector<EditActionOption> editActionOptions();

// The editor commands by name, as --command takes them, with usage text.
std::string editCommandNames();

// Opens the song, creates its generator's editor, runs the actions in order
// and saves the song to outPath (the song itself when outPath is empty).
// Every message box the editor shows is printed to out with its answer.
int editCommand(const std::string& songPath, const std::string& outPath,
                const std::vector<EditAction>& actions, const std::string& gear, std::FILE* out);

} // namespace host
