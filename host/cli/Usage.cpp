#include "host/cli/Usage.h"

namespace host::cli {

namespace {

constexpr size_t lineWidth = 79;
constexpr const char* synopsisIndent = "  ";
constexpr const char* continuationIndent = "      ";

std::string synopsis(const CommandSpec& command) {
    std::vector<std::string> parts{command.name};
    for (const std::string& operand : command.operands)
        parts.push_back(operand);
    for (const OptionSpec& option : command.options)
        parts.push_back((option.required ? "" : "[") + option.name +
                        (option.value.empty() ? "" : " " + option.value) +
                        (option.required ? "" : "]") + (option.repeats ? "..." : ""));
    std::string text = synopsisIndent;
    size_t column = text.size();
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && column + 1 + parts[i].size() > lineWidth) {
            text += "\n";
            text += continuationIndent;
            column = std::char_traits<char>::length(continuationIndent);
        } else if (i > 0) {
            text += " ";
            ++column;
        }
        text += parts[i];
        column += parts[i].size();
    }
    return text + "\n";
}

} // namespace

std::string commandUsage(const CommandSpec& command) {
    return synopsis(command) + command.help;
}

std::string usageText(const std::vector<CommandSpec>& table) {
    std::string text = "usage: spoolex-host COMMAND [OPERANDS] [OPTIONS] [--gear FOLDER]\n\n";
    for (const CommandSpec& command : table)
        text += commandUsage(command) + "\n";
    text += "Every command takes --gear FOLDER: the Gear folder with the plug-ins\n"
            "(default: the one beside this program). spoolex-host help COMMAND shows one\n"
            "command.\n";
    return text;
}

} // namespace host::cli
