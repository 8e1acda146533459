// The command line as spoolex-host reads it: a command, its operands and its
// options, checked against the command's own entry in the table, so that a
// mistake is named in one line before anything is read or written.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace host::cli {

struct OptionSpec {
    std::string name;  // "--tempo"
    std::string value; // what follows it ("BPM"); empty for a switch
    bool repeats = false;
    bool required = false;
};

struct Invocation;

struct CommandSpec {
    std::string name;
    // Operand names in order; optional ones in brackets ("[FOLDER]").
    std::vector<std::string> operands;
    std::vector<OptionSpec> options;
    std::string help; // lines, each ending in \n, shown under the synopsis
    std::function<int(const Invocation&)> run;
};

struct Invocation {
    const CommandSpec* command = nullptr;
    std::vector<std::string> operands;
    // Every option in the order given, with its value ("" for a switch).
    std::vector<std::pair<std::string, std::string>> options;
    std::string gear;
    std::FILE* out = stdout;

    bool has(const std::string& name) const;
    // The value given with name; fallback when it was not given.
    std::string value(const std::string& name, const std::string& fallback = "") const;
    std::vector<std::string> values(const std::string& name) const;
};

// Options every command takes.
extern const OptionSpec gearOption;

enum class Parsed { Run, Help, Mistake };

// Reads args (without the program's name) against table. Help: the user
// asked for the usage (help, --help; invocation.operands then names the
// command asked about, if any). Mistake: error holds one line naming it.
Parsed parseCommandLine(const std::vector<CommandSpec>& table, const std::vector<std::string>& args,
                        Invocation& invocation, std::string& error);

// A usage mistake found by a command itself (a number out of range, say):
// printed as parseCommandLine's are. Returns the usage status.
int usageMistake(const std::string& error);

constexpr int usageStatus = 2;

} // namespace host::cli
