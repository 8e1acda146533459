#include "host/cli/CommandLine.h"

#include <algorithm>

namespace host::cli {

const OptionSpec gearOption{"--gear", "FOLDER"};

bool Invocation::has(const std::string& name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::string Invocation::value(const std::string& name, const std::string& fallback) const {
    for (auto option = options.rbegin(); option != options.rend(); ++option)
        if (option->first == name)
            return option->second;
    return fallback;
}

std::vector<std::string> Invocation::values(const std::string& name) const {
    std::vector<std::string> found;
    for (const auto& option : options)
        if (option.first == name)
            found.push_back(option.second);
    return found;
}

namespace {

bool isOption(const std::string& word) {
    return word.size() > 2 && word.compare(0, 2, "--") == 0;
}

const OptionSpec* findOption(const CommandSpec& command, const std::string& name) {
    if (name == gearOption.name)
        return &gearOption;
    for (const OptionSpec& option : command.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

bool anyCommandTakes(const std::vector<CommandSpec>& table, const std::string& name) {
    return std::any_of(table.begin(), table.end(), [&](const CommandSpec& command) {
        return findOption(command, name) != nullptr;
    });
}

const CommandSpec* findCommand(const std::vector<CommandSpec>& table, const std::string& name) {
    for (const CommandSpec& command : table)
        if (command.name == name)
            return &command;
    return nullptr;
}

bool optional(const std::string& operand) {
    return !operand.empty() && operand[0] == '[';
}

std::string joined(const std::vector<std::string>& words, size_t from) {
    std::string text;
    for (size_t i = from; i < words.size(); ++i)
        text += (text.empty() ? "" : " ") + words[i];
    return text;
}

} // namespace

Parsed parseCommandLine(const std::vector<CommandSpec>& table, const std::vector<std::string>& args,
                        Invocation& invocation, std::string& error) {
    if (args.empty()) {
        error = "no command given";
        return Parsed::Mistake;
    }
    if (std::find(args.begin(), args.end(), "--help") != args.end() || args[0] == "help") {
        for (size_t i = 0; i < args.size(); ++i)
            if (args[i] != "--help" && args[i] != "help")
                invocation.operands.push_back(args[i]);
        return Parsed::Help;
    }
    if (isOption(args[0])) {
        error = (anyCommandTakes(table, args[0]) ? "the command comes first, before "
                                                 : "unknown option ") +
                args[0];
        return Parsed::Mistake;
    }
    const CommandSpec* command = findCommand(table, args[0]);
    if (!command) {
        error = "unknown command \"" + args[0] + "\"";
        return Parsed::Mistake;
    }
    invocation.command = command;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!isOption(word)) {
            invocation.operands.push_back(word);
            continue;
        }
        const OptionSpec* option = findOption(*command, word);
        if (!option) {
            error = anyCommandTakes(table, word) ? command->name + " does not take " + word
                                                 : "unknown option " + word;
            return Parsed::Mistake;
        }
        std::string value;
        if (!option->value.empty()) {
            // A value never starts with "--": that is the next option, and
            // the value was forgotten.
            if (i + 1 >= args.size() || isOption(args[i + 1])) {
                error = word + " needs " + option->value;
                return Parsed::Mistake;
            }
            value = args[++i];
        }
        if (!option->repeats && option != &gearOption && invocation.has(word)) {
            error = word + " is given twice";
            return Parsed::Mistake;
        }
        if (option == &gearOption)
            invocation.gear = value;
        else
            invocation.options.emplace_back(word, value);
    }
    for (const OptionSpec& option : command->options)
        if (option.required && !invocation.has(option.name)) {
            error = command->name + " needs " + option.name + " " + option.value;
            return Parsed::Mistake;
        }
    const auto& wanted = command->operands;
    const size_t required = static_cast<size_t>(
        std::count_if(wanted.begin(), wanted.end(), [](const auto& o) { return !optional(o); }));
    if (invocation.operands.size() < required) {
        std::vector<std::string> missing(wanted.begin() +
                                             static_cast<long>(invocation.operands.size()),
                                         wanted.begin() + static_cast<long>(required));
        error = command->name + " needs " + joined(missing, 0);
        return Parsed::Mistake;
    }
    if (invocation.operands.size() > wanted.size()) {
        error = command->name +
                (wanted.empty() ? " takes nothing more" : " takes " + joined(wanted, 0)) +
                ", not also \"" + invocation.operands[wanted.size()] + "\"";
        return Parsed::Mistake;
    }
    return Parsed::Run;
}

int usageMistake(const std::string& error) {
    std::fprintf(stderr, "spoolex-host: %s (spoolex-host help shows the usage)\n", error.c_str());
    return usageStatus;
}

} // namespace host::cli
