// The stand-in host: loads plug-ins as the real host does, places machines,
// and answers their host services.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/HostMachine.h"
#include "host/HostSong.h"
#include "host/MasterSink.h"
#include "host/PluginLibrary.h"
#include "host/SongDocument.h"
#include "host/Wavetable.h"
#include "hostsdk/MachineInterface.h"

namespace host {

struct EventSubscription {
    HostMachine* subscriber;
    CMachine* target;
    int code;
    EventHandler handler;
    void* param;
};

struct ParameterChange {
    HostMachine* machine;
    int index;
    int value;
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Plug-ins. The path is this platform's file path.
    PluginLibrary* loadPlugin(const std::string& path, std::string& error);
    // Every plug-in in <gear>/Generators and <gear>/Effects, sorted by file name.
    std::vector<PluginLibrary*> loadGear(const std::string& gearFolder, std::string& error);

    // Places a machine: creates it, stores the timing record and host services
    // in it and calls its initialisation with songData (null: a new machine).
    // Null when the plug-in could not create one.
    HostMachine* createMachine(PluginLibrary& plugin, const std::string& name,
                               const std::vector<uint8_t>* songData = nullptr);
    // The same for a machine whose code is linked into this program.
    HostMachine* createMachine(const CMachineInfo& info, CreateMachineFunction create,
                               const std::string& name,
                               const std::vector<uint8_t>* songData = nullptr);
    void destroyMachine(HostMachine* machine);
    const std::vector<std::unique_ptr<HostMachine>>& machines() const { return placed; }
    HostMachine* findMachine(const std::string& name) const;

    // Timing.
    void setTiming(int sampleRate, int beatsPerMinute, int ticksPerBeat);
    CMasterInfo& timing() { return masterInfo; }

    // Parameters and attributes, as the user or a controller sets them.
    void setParameter(HostMachine& machine, int index, int value);
    void setAttribute(HostMachine& machine, int index, int value);
    // One tick: pending parameter changes reach the machines, every machine's
    // onTick runs, and the values return to their no-value.
    void tick();

    // Menus.
    std::vector<std::string> subMenu(HostMachine& machine, int index);
    void runCommand(HostMachine& machine, int code);
    std::vector<uint8_t> saveSongData(HostMachine& machine);

    // Patterns, each announced to its machine through the extension slots.
    HostPattern* createPattern(HostMachine& machine, const std::string& name, int length);
    HostPattern* copyPattern(HostPattern& source, const std::string& name);
    // Also removes the pattern from every sequence.
    void deletePattern(HostPattern* pattern);
    void resizePattern(HostPattern& pattern, int length);
    HostPattern* findPattern(const std::string& name) const;
    std::vector<HostPattern*> patternsInOrder() const;
    const char* patternName(const CPattern* pattern) const;

    // Sequences, ranked by the order they were added in.
    HostSequence* addSequence(HostMachine& machine);
    int sequenceRank(const CSequence* sequence) const;
    const std::vector<std::unique_ptr<HostSequence>>& allSequences() const { return sequences; }

    // Transport. play starts the song at fromTick (patterns that started
    // earlier join at their offset); render produces frames of master output
    // in blocks of at most maxBlockFrames, split at tick boundaries while
    // playing, and hands them to masterSink, or appends them to masterOutput
    // when there is none; stop tells every machine.
    void play(int fromTick);
    void render(int frames);
    void stop();
    bool isPlaying() const { return playing; }
    int currentTick() const { return tickNow; }
    // Interleaved stereo in the host sample scale.
    std::vector<float> masterOutput;
    // Takes the output block by block instead, so that memory does not
    // grow with the song (not owned).
    MasterSink* masterSink = nullptr;
    bool writeMasterWav(const std::string& path, std::string& error) const;
    int maxBlockFrames = 256;
    // The order machines render in within a block; empty: placement order.
    std::vector<HostMachine*> renderOrder;
    // Fills an effect's stereo input for a block; unset, effects get none.
    std::function<void(HostMachine& effect, float* input, int frames)> effectInput;

    // Songs (docs/song-file.md). Loading places the song's machines with
    // their song data, then announces each machine's patterns to it.
    bool loadSong(const SongDocument& song, const std::string& gearFolder, std::string& error);
    SongDocument saveSong();
    // Plays every sequence from the start to the end of the song, then stops
    // and lets the last fades ring out. progress, when set, hears the tick
    // reached now and then.
    void renderSong(uint32_t endTick, const std::function<void(int tick)>& progress = {});
    // The same for the song's first frames only (a recording whose input
    // ends early): the song stops there, as the user's stop would stop it.
    void renderSongFrames(int64_t frames, const std::function<void(int tick)>& progress = {});
    // The frame at which endTick begins.
    int64_t songFrames(uint32_t endTick) const;
    // What renderSong adds after the stop, for the last fades.
    static constexpr int songTailFrames = 2048;
    // The tick at which the last sequenced pattern ends.
    uint32_t songEndTick() const;

    // A machine's own pattern editor, created through its extension slot the
    // first time it is asked for, inside parentWindow (none: a window of its
    // own); null for a machine without one.
    void* editorWindow(HostMachine& machine, void* parentWindow = nullptr);
    // Shows pattern in the machine's editor and sends the editor a command,
    // as the host's menu would. False when the machine has no editor.
    bool sendEditorCommand(HostMachine& machine, HostPattern* pattern, int command);

    // Events: code delivered to every subscription for target (or to every
    // subscription of that code when target is null) with data.
    void raiseEvent(CMachine* target, int code, void* data);

    // The waves machines read and write through the host services; kept in
    // the song.
    Wavetable wavetable;

    // Behaviour of the services, adjustable to play other hosts.
    int version = 2;
    bool extendedHost = true;
    int stateFlags = 0;
    std::atomic<bool> songModified{false}; // machines mark it from any thread
    // Runs inside markSongModified, where a host may take its own song lock.
    std::function<void()> songModifiedHook;
    std::vector<std::string> messages;       // hostMessage texts, in order
    std::map<std::string, int> themeColours; // unknown names answer 0
    std::vector<CMachine*> ownMachineEvents; // calls of the event-0 service
    bool echoMessages = true;

    // Called by MachineServices.
    void showHostMessage(const std::string& text);
    void subscribe(const EventSubscription& subscription);
    void queueParameterChange(const ParameterChange& change);
    const char* nameOf(CMachine* machine);

private:
    void writeParameter(HostMachine& machine, int index, int value);
    void resetParameters(HostMachine& machine);
    void startTick(bool first);
    void renderBlock(int frames);

    CMasterInfo masterInfo{};
    std::vector<std::unique_ptr<PluginLibrary>> plugins;
    std::vector<std::unique_ptr<HostMachine>> placed;
    std::vector<EventSubscription> subscriptions;
    std::vector<ParameterChange> pendingChanges;
    std::vector<std::unique_ptr<HostPattern>> patterns;
    std::vector<std::unique_ptr<HostSequence>> sequences;

    bool playing = false;
    bool firstTick = false;
    int tickNow = 0;          // the tick that starts at nextTickFrame
    int64_t framesPlayed = 0; // since play
    double nextTickFrame = 0.0;
    std::vector<float> machineInput;
    std::vector<float> machineOutput;
    std::vector<float> masterBlock;
};

} // namespace host
