#include "host/Editing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>

#include "host/Commands.h"
#include "host/Host.h"
#include "host/WaveCommands.h"
#include "platform/posix/SurfaceCairo.h"
#include "platform/testing/Headless.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

namespace {

using platform::testing::ScriptedUi;
namespace headless = platform::headless;

struct NamedCommand {
    const char* name;
    unsigned id;
    bool changes = false; // meant to change the song: one that does not is a mistake
};

constexpr unsigned commandPaste = 57637;

// Every command of the editor's menu, and those of the bar's buttons.
constexpr NamedCommand namedCommands[] = {
    {"import-wavetable", 32786, true},
    {"import-file", 32785, true},
    {"export-wavetable", 32826},
    {"export-file", 32827},
    {"select-all", 32810},
    {"select-none", 32811},
    {"select-prefix", 32812},
    {"select-suffix", 32813},
    {"external-editor", 32829},
    {"cut", 57635, true},
    {"copy", 57634},
    {"paste", commandPaste, true},
    {"delete", 32817, true},
    {"set-active", 32834, true},
    {"clear-active", 32837, true},
    {"delete-take", 32840, true},
    {"zoom-in", 32803},
    {"zoom-out", 32804},
    {"zoom-fit", 32805},
    {"zoom-selection", 32806},
    {"row-height-up", 32807},
    {"row-height-down", 32808},
    {"refresh", 32825},
    {"preview-play", 32843},
    {"info", 32832},
    {"menu", 32792},
};

// Each action with what its value is, as the usage shows it.
constexpr EditActionOption actionOptions[] = {
    {"--pattern", "NAME"},     {"--take", "N"},           {"--select", "FROM:TO"},
    {"--command", "NAME|ID"},  {"--answer", "ANSWER"},    {"--choose-file", "PATH"},
    {"--choose-item", "ITEM"}, {"--snapshot", "OUT.png"}, {"--export-to", "WAVE:FORMAT"}};

// The editor's pixels per tick are whole numbers up to this view width.
constexpr int preferredWidth = 1600;
// Mouse positions travel as signed 16-bit values.
constexpr int widestView = 32000;
constexpr int viewHeight = 600;

bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

bool changesSong(unsigned id) {
    for (const NamedCommand& command : namedCommands)
        if (command.id == id)
            return command.changes;
    return false;
}

bool readCommand(const std::string& text, unsigned& id) {
    for (const NamedCommand& command : namedCommands)
        if (text == command.name) {
            id = command.id;
            return true;
        }
    char* end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number == 0 || number > 0xFFFF)
        return false;
    id = static_cast<unsigned>(number);
    return true;
}

const char* answerName(platform::MessageAnswer answer) {
    switch (answer) {
    case platform::MessageAnswer::Ok:
        return "ok";
    case platform::MessageAnswer::Cancel:
        return "cancel";
    case platform::MessageAnswer::Yes:
        return "yes";
    case platform::MessageAnswer::No:
        return "no";
    }
    return "?";
}

// The user at the editor: finds its windows, reads what the bar shows and
// moves the mouse over the view.
class EditSession {
public:
    EditSession(Host& host, HostMachine& machine, std::FILE* out)
        : host(host), machine(machine), out(out), ui(ScriptedUi::instance()) {}

    bool open(std::string& error) {
        frame = host.editorWindow(machine);
        view = frame ? headless::findByName(frame, "pated") : nullptr;
        bar = frame ? headless::findDialog(frame, 1012) : nullptr;
        if (!view || !bar) {
            error = "the machine \"" + machine.name + "\" shows no pattern editor";
            return false;
        }
        for (HostPattern* pattern : host.patternsInOrder())
            if (&pattern->machine == &machine) {
                show(pattern);
                break;
            }
        return true;
    }

    bool run(const EditAction& action, std::string& error) {
        const std::string& value = action.value;
        if (action.option == "--pattern") {
            HostPattern* pattern = host.findPattern(value);
            if (!pattern || &pattern->machine != &machine) {
                error = "no pattern \"" + value + "\" of " + machine.name;
                return false;
            }
            show(pattern);
        } else if (action.option == "--take") {
            double row = 0.0;
            if (!readNumber(value, row) || row < 0.0 || row != std::floor(row)) {
                error = "--take needs a row number: " + value;
                return false;
            }
            if (!chooseRow(row, error))
                return false;
        } else if (action.option == "--select") {
            const size_t colon = value.find(':');
            double from = 0.0;
            double to = 0.0;
            if (colon == std::string::npos || !readNumber(value.substr(0, colon), from) ||
                !readNumber(value.substr(colon + 1), to)) {
                error = "--select needs FROM:TO in ticks: " + value;
                return false;
            }
            if (!shown || from < 0.0 || to > shown->length || from == to) {
                error = "--select " + value + " selects nothing of the " +
                        std::to_string(shown ? shown->length : 0) +
                        "-tick pattern: FROM and TO lie from 0 to its length, apart";
                return false;
            }
            if (!dragSelection(from, to, error))
                return false;
        } else if (action.option == "--command") {
            unsigned id = 0;
            if (!readCommand(value, id)) {
                error = "unknown editor command: " + value;
                return false;
            }
            if (!runCommand(value, id, error))
                return false;
        } else if (action.option == "--answer") {
            static const std::pair<const char*, platform::MessageAnswer> answers[] = {
                {"yes", platform::MessageAnswer::Yes},
                {"no", platform::MessageAnswer::No},
                {"ok", platform::MessageAnswer::Ok},
                {"cancel", platform::MessageAnswer::Cancel}};
            auto found = std::find_if(std::begin(answers), std::end(answers),
                                      [&](const auto& answer) { return value == answer.first; });
            if (found == std::end(answers)) {
                error = "--answer takes yes, no, ok or cancel: " + value;
                return false;
            }
            ui.answerNextMessage(found->second);
            given.messages.push_back("--answer " + value);
        } else if (action.option == "--choose-file") {
            ui.chooseFile(value);
            given.files.push_back("--choose-file " + value);
        } else if (action.option == "--choose-item") {
            if (value.empty()) {
                error = "--choose-item needs an item's text, position or identifier";
                return false;
            }
            ui.chooseMenuItem(value);
            given.menus.push_back("--choose-item " + value);
        } else if (action.option == "--export-to") {
            if (!answerExportDialog(value, error))
                return false;
        } else if (action.option == "--snapshot") {
            if (!snapshot(value, error))
                return false;
        }
        printMessages();
        return settle(action, error);
    }

    // At the end: an answer nothing asked for means the script did not do
    // what its writer thought.
    bool allAnswersUsed(std::string& error) {
        for (const auto* answers : {&given.messages, &given.files, &given.menus})
            if (!answers->empty()) {
                error = answers->front() +
                        " was never asked for: an answer goes before the command that asks";
                return false;
            }
        return true;
    }

    void printMessages() {
        const auto shown = ui.messages();
        for (; printed < shown.size(); ++printed) {
            std::string text = shown[printed].text;
            while (!text.empty() && text.back() == '\n')
                text.pop_back();
            std::fprintf(out, "message: %s\nanswer: %s\n", text.c_str(),
                         answerName(shown[printed].answer));
        }
    }

private:
    // Answers given and not yet used, in order, as the user wrote them.
    struct GivenAnswers {
        std::deque<std::string> messages;
        std::deque<std::string> files;
        std::deque<std::string> menus;
    };

    static void dropUsed(std::deque<std::string>& answers, size_t stillPending) {
        while (answers.size() > stillPending)
            answers.pop_front();
    }

    // After each action: answers used are crossed off, and a question that
    // no answer was given for stops the script.
    bool settle(const EditAction& action, std::string& error) {
        const platform::testing::PendingAnswers pending = ui.pendingAnswers();
        dropUsed(given.messages, pending.messages);
        dropUsed(given.files, pending.files);
        dropUsed(given.menus, pending.menus);
        const auto shownMessages = ui.messages();
        for (; checked < shownMessages.size(); ++checked) {
            const auto& message = shownMessages[checked];
            if (message.scripted || message.buttons == platform::MessageButtons::Ok)
                continue;
            const char* choices = message.buttons == platform::MessageButtons::YesNo ? "yes (or no)"
                                  : message.buttons == platform::MessageButtons::OkCancel
                                      ? "ok (or cancel)"
                                      : "yes (or no, or cancel)";
            error = "the editor asked \"" + firstLine(message.text) + "\" at " + action.option +
                    " " + action.value + " and no --answer was given: put --answer " + choices +
                    " before it";
            ++checked;
            return false;
        }
        return true;
    }

    static std::string firstLine(const std::string& text) {
        return text.substr(0, text.find('\n'));
    }

    // An editor command, as the menu sends it; one meant to change the song
    // that changes nothing, without a word from the editor, is reported.
    bool runCommand(const std::string& name, unsigned id, std::string& error) {
        if (id == commandPaste && machine.extension &&
            !machine.extension->isCommandEnabled(static_cast<int>(id))) {
            error = "--command " + name + " is disabled: the clipboard holds no audio";
            return false;
        }
        const bool checks = changesSong(id);
        const std::vector<uint8_t> before =
            checks ? host.saveSongData(machine) : std::vector<uint8_t>();
        const size_t messagesBefore = ui.messages().size();
        platform::sendMessage(frame, platform::messageCommand, id, 0);
        if (checks && ui.messages().size() == messagesBefore &&
            host.saveSongData(machine) == before) {
            error = "--command " + name +
                    " changed nothing: is a take current (--take N) and a stretch selected "
                    "(--select FROM:TO), or a file chosen (--choose-file PATH)?";
            return false;
        }
        return true;
    }

    void show(HostPattern* pattern) {
        shown = pattern;
        machine.extension->showPattern(pattern->handle());
        // Whole pixels per tick, so ticks given on the command line fall on
        // pixels exactly at zoom 1.
        const int length = std::max(pattern->length, 1);
        const int width = length <= preferredWidth ? length * (preferredWidth / length)
                                                   : std::min(length, widestView);
        resizeView(width, viewHeight);
    }

    void resizeView(int width, int height) {
        headless::resize(frame, width, height + platform::clientRect(bar).bottom);
    }

    // What the bar's labels show: "%.3f%%" and "%.1fpx".
    double zoom() const { return std::atof(platform::itemText(bar, 1023).c_str()) / 100.0; }
    double rowHeight() const { return std::atof(platform::itemText(bar, 1026).c_str()); }

    int rowY(int row) const {
        const int scrolled = platform::scrollState(view, platform::ScrollBar::Vertical).position;
        return static_cast<int>(row * rowHeight() + rowHeight() / 2) - scrolled;
    }

    int tickX(double tick) const {
        // The view's scroll range spans W x zoom pixels (0 .. W x zoom - 1);
        // the zoom label alone shows only three decimals.
        const platform::ScrollState horizontal =
            platform::scrollState(view, platform::ScrollBar::Horizontal);
        const double zoomedWidth = horizontal.maximum > 0
                                       ? horizontal.maximum + 1.0
                                       : platform::clientRect(view).right * zoom();
        const double x = std::round(tick / std::max(shown->length, 1) * zoomedWidth);
        return static_cast<int>(std::clamp(x - horizontal.position, -32768.0, 32767.0));
    }

    bool rowReachable(int row, int& y, std::string& error) {
        y = rowY(row);
        if (y < 0 || y > 32767) {
            error = "take row " + std::to_string(row) + " is out of the mouse's reach";
            return false;
        }
        // A taller view, so the row is on screen.
        const platform::PixelRect client = platform::clientRect(view);
        if (y >= client.bottom)
            resizeView(client.right, std::min(y + static_cast<int>(rowHeight()), 32767));
        return true;
    }

    void mouse(unsigned message, int x, int y, uintptr_t keys) {
        platform::sendMessage(view, message, keys, platform::mousePosition(x, y));
    }

    // WAVE:FORMAT: the wave slot (1 to 200, 0x.. for hexadecimal) and the
    // format's list position from 1 or its text, for the next export dialog.
    bool answerExportDialog(const std::string& value, std::string& error) {
        const size_t colon = value.find(':');
        const std::string wave = value.substr(0, colon);
        const std::string format = colon == std::string::npos ? "" : value.substr(colon + 1);
        int slot = 0;
        int position = 0;
        for (const char* name : {"32-bit float", "16-bit int"}) {
            ++position;
            if (format == name || format == std::to_string(position)) {
                if (parseSlot(wave, 1, slot)) {
                    ui.answerExportDialog(slot - 1, position - 1);
                    return true;
                }
                break;
            }
        }
        error = "--export-to needs WAVE:FORMAT, a wave slot 1-200 (0x.. for hex) and the format "
                "1 or \"32-bit float\", 2 or \"16-bit int\": " +
                value;
        return false;
    }

    // A Shift-click on the row: its take becomes the current one and the
    // selection stays.
    bool chooseRow(double row, std::string& error) {
        if (!shown) {
            error = "no pattern is shown";
            return false;
        }
        // The rows span the vertical scroll range; a row past the last take
        // would be a click on empty space.
        const double rows = platform::scrollState(view, platform::ScrollBar::Vertical).maximum;
        if (row * rowHeight() + rowHeight() / 2 >= rows) {
            error = "--take " + std::to_string(static_cast<long long>(row)) +
                    ": the pattern has only " +
                    std::to_string(static_cast<long long>(std::lround(rows / rowHeight()))) +
                    " takes (rows from 0)";
            return false;
        }
        int y = 0;
        if (!rowReachable(static_cast<int>(row), y, error))
            return false;
        mouse(platform::messageLeftButtonDown, 1, y,
              platform::mouseShift | platform::mouseLeftButton);
        mouse(platform::messageLeftButtonUp, 1, y, 0);
        currentRow = static_cast<int>(row);
        return true;
    }

    bool overSelectionEdge(int x, int y) {
        mouse(platform::messageMouseMove, x, y, 0);
        return ui.cursorShape() == static_cast<int>(platform::CursorShape::SizeWestEast);
    }

    // A drag with Ctrl held (no snapping) on the current take's row. A press
    // on an edge of the present selection would move that edge instead, so
    // the user first clicks somewhere else.
    bool dragSelection(double from, double to, std::string& error) {
        if (!shown) {
            error = "no pattern is shown";
            return false;
        }
        int y = 0;
        if (!rowReachable(currentRow, y, error))
            return false;
        const int x0 = tickX(from);
        const int x1 = tickX(to);
        if (overSelectionEdge(x0, y)) {
            const int width = platform::clientRect(view).right;
            for (int away : {x0 + 8, x0 - 8, width / 2, width - 4, 4}) {
                if (overSelectionEdge(away, y))
                    continue;
                mouse(platform::messageLeftButtonDown, away, y,
                      platform::mouseControl | platform::mouseLeftButton);
                mouse(platform::messageLeftButtonUp, away, y, 0);
                platform::updateNow(view);
                if (!overSelectionEdge(x0, y))
                    break;
            }
        }
        const uintptr_t held = platform::mouseControl | platform::mouseLeftButton;
        mouse(platform::messageLeftButtonDown, x0, y, held);
        mouse(platform::messageMouseMove, x1, y, held);
        mouse(platform::messageLeftButtonUp, x1, y, 0);
        platform::updateNow(view);
        return true;
    }

    bool snapshot(const std::string& path, std::string& error) {
        const platform::PixelRect client = platform::clientRect(view);
        platform::SurfaceCairo picture(std::max(client.right, 1), std::max(client.bottom, 1));
        headless::paintOnto(view, picture);
        return picture.writePng(path, error);
    }

    Host& host;
    HostMachine& machine;
    std::FILE* out;
    ScriptedUi& ui;
    platform::WindowHandle frame = nullptr;
    platform::WindowHandle view = nullptr;
    platform::WindowHandle bar = nullptr;
    HostPattern* shown = nullptr;
    int currentRow = 0;
    size_t printed = 0;
    size_t checked = 0; // messages looked at for an unanswered question
    GivenAnswers given;
};

} // namespace

std::vector<EditActionOption> editActionOptions() {
    return {std::begin(actionOptions), std::end(actionOptions)};
}

std::string editCommandNames() {
    std::string names;
    size_t line = 0;
    for (const NamedCommand& command : namedCommands) {
        const std::string name = command.name;
        if (line + name.size() > 60) {
            names += "\n";
            line = 0;
        }
        names += (line == 0 ? "      " : " ") + name;
        line += name.size() + 1;
    }
    return names + "\n";
}

int editCommand(const std::string& songPath, const std::string& outPath,
                const std::vector<EditAction>& actions, const std::string& gear, std::FILE* out) {
    Host host;
    std::string error;
    if (!loadSong(host, songPath, gear))
        return 1;
    ScriptedUi& ui = ScriptedUi::instance();
    ui.setEcho(false);
    // A question without an answer is answered with the choice that changes
    // nothing, and the script stops: the user must say yes to be asked.
    ui.setCautious(true);
    // As a user answers "click OK when done": only after the editor ends.
    ui.setWaitForLaunchedPrograms(true);
    HostMachine* editing = nullptr;
    for (const auto& placed : host.machines())
        if (host.editorWindow(*placed)) {
            editing = placed.get();
            break;
        }
    if (!editing) {
        std::fprintf(stderr, "spoolex-host: no machine of %s has a pattern editor\n",
                     songPath.c_str());
        return 1;
    }
    EditSession session(host, *editing, out);
    if (!session.open(error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    for (const EditAction& action : actions)
        if (!session.run(action, error)) {
            session.printMessages();
            std::fprintf(stderr, "spoolex-host: %s; nothing was saved\n", error.c_str());
            return 1;
        }
    if (!session.allAnswersUsed(error)) {
        std::fprintf(stderr, "spoolex-host: %s; nothing was saved\n", error.c_str());
        return 1;
    }
    const std::string saved = outPath.empty() ? songPath : outPath;
    if (!saveSongFile(saved, host.saveSong(), error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s: saved\n", saved.c_str());
    return 0;
}

} // namespace host
