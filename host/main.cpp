// spoolex-host: the stand-in host on the command line.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "host/cli/CommandTable.h"
#include "host/cli/Usage.h"
#include "platform/ModulePath.h"
#if defined(_WIN32)
#include "platform/win32/GdiPlusSession.h"
#endif

namespace {

std::string defaultGearFolder() {
    static int anchor;
    return platform::folderOf(platform::modulePath(&anchor)) + "Gear";
}

int help(const host::cli::Invocation& asked) {
    const auto& table = host::cli::commandTable();
    if (asked.operands.empty()) {
        std::fputs(host::cli::usageText(table).c_str(), stdout);
        return 0;
    }
    for (const host::cli::CommandSpec& command : table)
        if (command.name == asked.operands[0]) {
            std::fputs(host::cli::commandUsage(command).c_str(), stdout);
            return 0;
        }
    return host::cli::usageMistake("unknown command \"" + asked.operands[0] + "\"");
}

int run(int argc, char** argv) {
    using namespace host::cli;
    Invocation invocation;
    std::string error;
    switch (parseCommandLine(commandTable(), std::vector<std::string>(argv + 1, argv + argc),
                             invocation, error)) {
    case Parsed::Help:
        return help(invocation);
    case Parsed::Mistake:
        return usageMistake(error);
    case Parsed::Run:
        break;
    }
    if (invocation.gear.empty())
        invocation.gear = defaultGearFolder();
    return invocation.command->run(invocation);
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // As the real host: the plug-ins draw with GDI+ and never start it.
    platform::win32::GdiPlusSession gdiPlus;
#endif
    // Every failure is a line on the error stream and a status, never an
    // abort: no exception leaves here.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("spoolex-host: out of memory\n", stderr);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "spoolex-host: %s\n", failure.what());
    } catch (...) {
        std::fputs("spoolex-host: an unexpected failure\n", stderr);
    }
    return 1;
}
