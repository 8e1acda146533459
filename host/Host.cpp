#include "host/Host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>

#include "host/DataStreams.h"
#include "host/MachineServices.h"

namespace host {

namespace {

std::vector<std::string> pluginFilesIn(const std::string& folder) {
#if defined(_WIN32)
    const std::string suffix = ".dll";
#else
    const std::string suffix = ".so";
#endif
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

class MenuCollector final : public CMachineDataOutput {
public:
    void write(const void* buffer, int size) override {
        auto* p = static_cast<const char*>(buffer);
        pending.append(p, static_cast<size_t>(std::max(size, 0)));
        // Each item arrives as one write including its terminating zero.
        size_t zero;
        while ((zero = pending.find('\0')) != std::string::npos) {
            items.push_back(pending.substr(0, zero));
            pending.erase(0, zero + 1);
        }
    }
    std::vector<std::string> items;
    std::string pending;
};

} // namespace

Host::Host() {
    setTiming(44100, 126, 4);
    themeColours = {
        {"PE BG", 0xDAD6C9},      {"PE Text", 0x000000},         {"SE BG", 0xDAD6C9},
        {"PE BG Dark", 0xCCC7B8}, {"PE BG Very Dark", 0xB3AC98}, {"PE Sel BG", 0xF2D9A6},
        {"SE BG Dark", 0xBDB5A1}, {"SE BG Very Dark", 0x9C9480}, {"SE Text", 0x000000}};
}

Host::~Host() {
    while (!placed.empty())
        destroyMachine(placed.back().get());
    plugins.clear();
}

PluginLibrary* Host::loadPlugin(const std::string& path, std::string& error) {
    for (auto& plugin : plugins)
        if (plugin->path() == path)
            return plugin.get();
    auto plugin = PluginLibrary::load(path, error);
    if (!plugin)
        return nullptr;
    plugins.push_back(std::move(plugin));
    return plugins.back().get();
}

std::vector<PluginLibrary*> Host::loadGear(const std::string& gearFolder, std::string& error) {
    std::vector<PluginLibrary*> loaded;
    for (const char* kind : {"Generators", "Effects"})
        for (const std::string& file : pluginFilesIn(gearFolder + "/" + kind)) {
            if (PluginLibrary* plugin = loadPlugin(file, error))
                loaded.push_back(plugin);
        }
    return loaded;
}

HostMachine* Host::createMachine(PluginLibrary& plugin, const std::string& name,
                                 const std::vector<uint8_t>* songData) {
    HostMachine* machine = createMachine(*plugin.info(), plugin.createFunction(), name, songData);
    if (machine)
        machine->plugin = &plugin;
    return machine;
}

HostMachine* Host::createMachine(const CMachineInfo& info, CreateMachineFunction create,
                                 const std::string& name, const std::vector<uint8_t>* songData) {
    auto placedMachine = std::make_unique<HostMachine>(info, nullptr, name);
    HostMachine& machine = *placedMachine;
    machine.machine = create();
    if (!machine.machine)
        return nullptr;
    machine.services = std::make_unique<MachineServices>(*this, machine);
    machine.machine->masterInfo = &masterInfo;
    machine.machine->callbacks = machine.services.get();
    placed.push_back(std::move(placedMachine));
    resetParameters(machine);
    for (int i = 0; i < machine.info().numAttributes; ++i) {
        int32_t value = machine.info().attributes[i]->defaultValue;
        std::memcpy(static_cast<uint8_t*>(machine.machine->attributeValues) + 4 * i, &value, 4);
    }
    if (songData) {
        MemoryInput input(*songData);
        machine.machine->initFromSong(&input);
    } else {
        machine.machine->initFromSong(nullptr);
    }
    machine.machine->onAttributesChanged();
    // A new machine hears its parameters' defaults on its first tick.
    for (int i = 0; i < machine.info().numGlobalParameters; ++i)
        queueParameterChange({&machine, i, machine.info().parameters[i]->defaultValue});
    // Tell every machine that listens that a machine has arrived.
    raiseEvent(nullptr, HostEventMachineChanged, machine.handle());
    return &machine;
}

void Host::destroyMachine(HostMachine* machine) {
    auto it = std::find_if(placed.begin(), placed.end(),
                           [&](const auto& p) { return p.get() == machine; });
    if (it == placed.end())
        return;
    subscriptions.erase(std::remove_if(subscriptions.begin(), subscriptions.end(),
                                       [&](const EventSubscription& s) {
                                           return s.subscriber == machine ||
                                                  s.target == machine->handle();
                                       }),
                        subscriptions.end());
    pendingChanges.erase(
        std::remove_if(pendingChanges.begin(), pendingChanges.end(),
                       [&](const ParameterChange& c) { return c.machine == machine; }),
        pendingChanges.end());
    // The machine's patterns and sequences go with it, unannounced.
    patterns.erase(std::remove_if(patterns.begin(), patterns.end(),
                                  [&](const auto& p) { return &p->machine == machine; }),
                   patterns.end());
    sequences.erase(std::remove_if(sequences.begin(), sequences.end(),
                                   [&](const auto& s) { return &s->machine == machine; }),
                    sequences.end());
    renderOrder.erase(std::remove(renderOrder.begin(), renderOrder.end(), machine),
                      renderOrder.end());
    machine->machine->destroy(1);
    machine->machine = nullptr;
    placed.erase(it);
}

HostMachine* Host::findMachine(const std::string& name) const {
    for (const auto& machine : placed)
        if (machine->name == name)
            return machine.get();
    return nullptr;
}

void Host::setTiming(int sampleRate, int beatsPerMinute, int ticksPerBeat) {
    masterInfo.samplesPerSec = sampleRate;
    masterInfo.beatsPerMin = beatsPerMinute;
    masterInfo.ticksPerBeat = ticksPerBeat;
    masterInfo.samplesPerTick = static_cast<int32_t>(
        (sampleRate * 60.0) / (static_cast<double>(beatsPerMinute) * ticksPerBeat));
    masterInfo.posInTick = 0;
}

void Host::writeParameter(HostMachine& machine, int index, int value) {
    auto* block = static_cast<uint8_t*>(machine.machine->globalValues);
    if (!block)
        return;
    int offset = machine.globalParameterOffset(index);
    if (machine.globalParameterWidth(index) == 2) {
        auto word = static_cast<uint16_t>(value);
        std::memcpy(block + offset, &word, 2);
    } else {
        block[offset] = static_cast<uint8_t>(value);
    }
}

void Host::resetParameters(HostMachine& machine) {
    for (int i = 0; i < machine.info().numGlobalParameters; ++i)
        writeParameter(machine, i, machine.info().parameters[i]->noValue);
}

void Host::setParameter(HostMachine& machine, int index, int value) {
    queueParameterChange({&machine, index, value});
}

void Host::setAttribute(HostMachine& machine, int index, int value) {
    const CMachineAttribute& attribute = *machine.info().attributes[index];
    int32_t clamped = std::clamp(value, attribute.minValue, attribute.maxValue);
    std::memcpy(static_cast<uint8_t*>(machine.machine->attributeValues) + 4 * index, &clamped, 4);
    machine.machine->onAttributesChanged();
    // A new machine hears its parameters' defaults on its first tick.
    for (int i = 0; i < machine.info().numGlobalParameters; ++i)
        queueParameterChange({&machine, i, machine.info().parameters[i]->defaultValue});
}

void Host::queueParameterChange(const ParameterChange& change) {
    pendingChanges.push_back(change);
}

void Host::tick() {
    std::vector<ParameterChange> changes;
    changes.swap(pendingChanges);
    for (const ParameterChange& change : changes)
        writeParameter(*change.machine, change.index, change.value);
    for (auto& machine : placed)
        machine->machine->onTick();
    for (auto& machine : placed)
        resetParameters(*machine);
}

std::vector<std::string> Host::subMenu(HostMachine& machine, int index) {
    MenuCollector collector;
    if (machine.extension)
        machine.extension->buildSubMenu(index, &collector);
    return collector.items;
}

void Host::runCommand(HostMachine& machine, int code) {
    machine.machine->runCommand(code);
}

std::vector<uint8_t> Host::saveSongData(HostMachine& machine) {
    MemoryOutput output;
    machine.machine->saveSongData(&output);
    return output.data();
}

void Host::raiseEvent(CMachine* target, int code, void* data) {
    // Handlers may subscribe further machines; walk a copy.
    std::vector<EventSubscription> current = subscriptions;
    for (const EventSubscription& s : current)
        if (s.code == code && (!target || s.target == target))
            s.handler(s.subscriber->machine, data);
}

void Host::showHostMessage(const std::string& text) {
    messages.push_back(text);
    if (echoMessages)
        std::fprintf(stderr, "host message: %s\n", text.c_str());
}

void Host::subscribe(const EventSubscription& subscription) {
    subscriptions.push_back(subscription);
}

const char* Host::nameOf(CMachine* machine) {
    for (auto& placedMachine : placed)
        if (placedMachine->handle() == machine)
            return placedMachine->name.c_str();
    return nullptr;
}

} // namespace host
