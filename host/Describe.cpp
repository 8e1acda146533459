#include "host/Describe.h"

#include <cstdio>
#include <sstream>

#include "host/Host.h"

namespace host {

namespace {

const char* typeName(int type) {
    switch (type) {
    case MachineTypeMaster:
        return "master";
    case MachineTypeGenerator:
        return "generator";
    case MachineTypeEffect:
        return "effect";
    }
    return "unknown";
}

const char* parameterTypeName(int type) {
    switch (type) {
    case ParameterTypeNote:
        return "note";
    case ParameterTypeSwitch:
        return "switch";
    case ParameterTypeByte:
        return "byte";
    case ParameterTypeWord:
        return "word";
    }
    return "unknown";
}

std::string flagNames(int flags) {
    static const struct {
        int bit;
        const char* name;
    } known[] = {{0x1, "stereo output"},
                 {0x20, "no audio output"},
                 {0x200, "own pattern editor"},
                 {0x1000, "paints pattern boxes"},
                 {0x2000, "stereo input"}};
    std::string names;
    for (const auto& flag : known)
        if (flags & flag.bit)
            names += (names.empty() ? "" : ", ") + std::string(flag.name);
    return names;
}

std::string hex(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(value));
    return buffer;
}

std::string quoted(const char* text) {
    return text ? "\"" + std::string(text) + "\"" : "(none)";
}

} // namespace

std::string describePlugin(Host& host, PluginLibrary& plugin) {
    const CMachineInfo& info = *plugin.info();
    std::ostringstream out;
    out << quoted(info.name) << " (short name " << quoted(info.shortName) << ")\n"
        << "  file:        " << plugin.path() << "\n"
        << "  type:        " << typeName(info.type) << ", interface version " << info.version
        << "\n"
        << "  flags:       " << hex(info.flags) << " (" << flagNames(info.flags) << ")\n"
        << "  tracks:      " << info.minTracks << " to " << info.maxTracks << "\n"
        << "  author:      " << quoted(info.author) << "\n";

    // A placed machine names its own values and builds its own sub-menus.
    HostMachine* machine =
        host.createMachine(plugin, std::string(info.shortName ? info.shortName : "machine"));
    out << "  global parameters: " << info.numGlobalParameters << "\n";
    for (int i = 0; i < info.numGlobalParameters; ++i) {
        const CMachineParameter& p = *info.parameters[i];
        out << "    " << i << " " << quoted(p.name) << " - " << quoted(p.description) << ": "
            << parameterTypeName(p.type) << " " << p.minValue << ".." << p.maxValue << ", no value "
            << p.noValue << ", default " << p.defaultValue << ", flags " << p.flags;
        if (const char* text =
                machine ? machine->machine->describeValue(i, p.defaultValue) : nullptr)
            out << " (" << text << ")";
        out << "\n";
    }
    out << "  attributes: " << info.numAttributes << "\n";
    for (int i = 0; i < info.numAttributes; ++i) {
        const CMachineAttribute& a = *info.attributes[i];
        out << "    " << i << " " << quoted(a.name) << ": " << a.minValue << ".." << a.maxValue
            << ", default " << a.defaultValue << "\n";
    }

    out << "  menu:\n";
    std::istringstream commands(info.commands ? info.commands : "");
    std::string command;
    int subMenuIndex = 0;
    while (std::getline(commands, command, '\n')) {
        if (!command.empty() && command[0] == '/') {
            out << "    " << command.substr(1) << " >\n";
            if (machine)
                for (const std::string& item : host.subMenu(*machine, subMenuIndex)) {
                    bool checked = !item.empty() && item[0] == '*';
                    out << "      " << (checked ? "[x] " : "[ ] ")
                        << (checked ? item.substr(1) : item) << "\n";
                }
            ++subMenuIndex;
        } else {
            out << "    " << command << "\n";
        }
    }
    if (machine)
        host.destroyMachine(machine);
    return out.str();
}

} // namespace host
