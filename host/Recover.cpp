#include "host/Recover.h"

#include "host/Commands.h"
#include "host/Host.h"
#include "platform/DurableFiles.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

namespace {

bool isRecoveryQuestion(const platform::testing::ShownMessage& message) {
    return message.buttons == platform::MessageButtons::YesNo &&
           message.text.find("Add them to their patterns as new takes?") != std::string::npos;
}

} // namespace

void useRecordingsFolder(const std::string& folder) {
    platform::setEnvironmentVariable("SPOOLEX_RECORDINGS", folder);
}

int recoverCommand(const std::string& songPath, const std::string& outPath, bool list,
                   const std::string& gear, std::FILE* out) {
    auto& ui = platform::testing::ScriptedUi::instance();
    ui.setEcho(false);
    const size_t before = ui.messages().size();
    // Every generator of the song asks once, as it loads.
    for (int i = 0; i < 64; ++i)
        ui.answerNextMessage(list ? platform::MessageAnswer::No : platform::MessageAnswer::Yes);
    Host host;
    host.echoMessages = false;
    bool loaded = loadSong(host, songPath, gear);
    auto shown = ui.messages();
    ui.clear();
    if (!loaded)
        return 1;
    int questions = 0;
    for (size_t i = before; i < shown.size(); ++i) {
        if (!isRecoveryQuestion(shown[i]))
            continue;
        ++questions;
        std::fprintf(out, "%s\n%s\n", shown[i].text.c_str(),
                     list ? "(listed only: nothing changed)" : "Added as new takes.");
    }
    for (const std::string& message : host.messages)
        std::fprintf(out, "%s\n", message.c_str());
    if (questions == 0) {
        std::fprintf(out, "%s: no unsaved recordings were made on this song.\n", songPath.c_str());
        return 0;
    }
    if (list)
        return 0;
    const std::string& target = outPath.empty() ? songPath : outPath;
    std::string error;
    if (!saveSongFile(target, host.saveSong(), error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s: saved\n", target.c_str());
    return 0;
}

} // namespace host
