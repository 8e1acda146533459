// The generator machine object as the host sees it: the adapter between the
// host's slots and the plain types of the core.
//
// Threads. The host calls these on its audio thread: onTick (slot 2),
// renderStereo (slot 4) and onPatternPlay (extension slot 15, which may start
// a recording). Everything they reach is bounded: nothing is allocated in
// steady state (players, takes for recordings and list room are made ready
// on the user-interface side, prepareForAudio), no file or window is
// touched, the editor is never called, and the only wait is for the short
// holds of the user-interface side. onStop (slot 5) may come on either
// thread and takes the lock like any other entry point. Every other slot of
// mi and miex (construction, destroy, initFromSong, saveSongData,
// onAttributesChanged, runCommand, the pattern notifications created,
// copied, deleted and length changed, the editor's slots 16 and 17,
// paintPatternBox) comes on its user-interface thread, as do the editor's
// messages and timers.
//
// The lock. audioLock (lockAudio) serialises every change of a pattern's
// lists, a take's samples and the player tables against the audio block.
// renderStereo takes it once per block and never waits long for it, because
// the user-interface side holds it only briefly: big buffers are built
// outside it and swapped in under it, and long takes are read in short holds
// (copyRecordingSamples). The audio thread never calls into the editor: it
// only asks for a redraw (requestRedraw sets a flag of the machine's that the
// editor's timer acts on), so the editor may go at any time.
//
// Deferred frees. Nothing is freed while the lock is held. What an entry
// point drops under the lock goes into a Released list declared before the
// lock, so it is freed after the lock is released. The audio thread frees
// nothing at all: its slots collect what they drop in lists of their own
// (releasedInBlock, releasedInPlay, reserved ahead so that adding to them
// does not allocate) and hand it to the retired list before their hold ends;
// the housekeeper's thread (Housekeeper.h) frees it and readies take objects
// for recordings, whether or not the editor is open.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "generator/machine/Housekeeper.h"
#include "generator/machine/MachineEditor.h"
#include "generator/machine/Pattern.h"
#include "generator/machine/Players.h"
#include "generator/machine/RecordCommand.h"
#include "generator/machine/RecoveryWriter.h"
#include "generator/machine/SongFingerprint.h"
#include "generator/machine/TakePlayerPool.h"
#include "generator/settings/KeyboardShortcut.h"
#include "generator/settings/WaveEditorEntry.h"
#include "hostsdk/MachineInterface.h"
#include "input/InputMachineLayout.h"

namespace spoolex {

class mi;

class miex : public CMachineInterfaceEx {
public:
    void buildSubMenu(int index, CMachineDataOutput* out) override;
    bool isCommandEnabled(int commandId) override;
    bool query48() override { return true; }

    // The host's pattern notifications.
    void onPatternCreated(CPattern* pattern, int lengthTicks) override;
    void onPatternCopied(CPattern* pattern, const CPattern* source) override;
    void onPatternDeleted(CPattern* pattern) override;
    void onPatternLengthChanged(CPattern* pattern, int lengthTicks) override;
    // Audio thread (slot 15): starts the pattern on the sequence, and a
    // recording of it when the host records and the machine is armed.
    void onPatternPlay(CPattern* pattern, CSequence* sequence, int offsetTicks) override;
    void showPattern(CPattern* pattern) override;
    void* createEditorWindow(void* parentWindow) override;
    // User-interface thread: the pattern's picture inside its sequence box.
    void paintPatternBox(const PatternBoxRequest* request) override;

    mi* owner = nullptr;
};

#pragma pack(push, 1)
// The values the host writes: the Dummy byte, and the crossfade attribute
// directly after it (unaligned; read it with crossfadeLength()).
struct MachineValues {
    uint8_t dummy;
    int32_t crossfadeLength;
};
#pragma pack(pop)
static_assert(sizeof(MachineValues) == 5, "host writes these packed");

// Standard command identifiers the host asks about.
constexpr int commandIdCopy = 0xE122;
constexpr int commandIdCut = 0xE123;
constexpr int commandIdPaste = 0xE125;

class mi final : public CMachineInterface {
public:
    mi();

    // Host slots. The audio thread calls onTick and renderStereo (and miex's
    // onPatternPlay); onStop may come on either thread; the others come on
    // the user-interface thread.
    void* destroy(unsigned flags) override;
    void initFromSong(CMachineDataInput* data) override;
    void onTick() override;
    // Audio thread. Never allocates in steady state and never throws.
    bool renderStereo(float* in, float* out, int numSamples, int mode) noexcept override;
    void onStop() override;
    void saveSongData(CMachineDataOutput* out) override;
    void onAttributesChanged() override;
    void runCommand(int code) override;
    CMachineInterfaceEx* extensionInterface() override { return &ex; }

    // Host-read members first; their offsets are fixed below. Everything
    // else of the machine is private, behind the operations that follow.
    miex ex;
    MachineValues values{};

    int32_t crossfadeLength() const;
    // Gain change per sample of a crossfade: 1 / crossfadeLength.
    float crossfadeStep() const { return fadeStep; }

    // The one lock that serialises every change of a pattern's lists, a
    // take's samples and the player tables against the audio block. Entry
    // points from the host and the editor take it; the operations marked
    // "lock held" expect it held. The render path never takes it again.
    std::unique_lock<std::mutex> lockAudio() { return std::unique_lock<std::mutex>(audioLock); }

    // ---- Patterns (user-interface thread: the only one that changes the
    // pattern tables, so these need no lock) ----
    // The pattern of a host handle, or null.
    Pattern* findPattern(const CPattern* handle) const;
    // Every pattern the host announced, in the order of their handles.
    std::vector<Pattern*> patterns() const;
    // Song data: a pattern read from the song waits under its name until the
    // host announces a pattern of that name; a later one of the same name
    // replaces it.
    void keepAwaitingPattern(const std::string& name, std::unique_ptr<Pattern> pattern);
    // The pattern waiting under name, or null.
    Pattern* awaitingPattern(const std::string& name) const;
    std::vector<std::string> awaitingPatternNames() const;
    // Every pattern with the name the song knows it by: the host's name for
    // an announced one, the song's for one still waiting. Reads the tables,
    // so outside the user-interface thread only with the lock held.
    std::vector<std::pair<std::string, Pattern*>> namedPatterns() const;
    // Whether pattern is one of this machine's, announced or waiting (the
    // same rule for other threads).
    bool holdsPattern(const Pattern* pattern) const;

    // ---- Players ----
    // Lock held: every player of pattern seeks to its own position again.
    void resyncPlayers(Pattern& pattern) noexcept;
    // The editor's preview: starts pattern from selStart up to selEnd (or
    // for ever when selEnd <= selStart), or stops a running preview.
    void togglePreview(Pattern* pattern, double selStart, double selEnd);
    // User-interface thread (takes the lock): players, takes for recordings
    // and room in the lists, so that the audio thread finds them ready.
    void prepareForAudio();
    // The housekeeper's thread (takes the lock briefly): frees what the
    // audio thread let go of and readies take objects for recordings.
    void keepHouse();
    // No block may run during these (tests and tools).
    size_t patternPlayerCount() const { return patternPlayers.size(); }
    size_t takePlayerCount() const { return takePlayers.size(); }
    // The sounding take players, in creation order.
    std::vector<const TakePlayer*> soundingTakePlayers() const;
    // Take players made ready for the audio thread and not yet used.
    size_t readyTakePlayers() const { return takePlayerPool.ready(); }

    // ---- Recording ----
    // Whether the audio thread is writing take now, or may start to at any
    // block: a queued start names it (takes the lock).
    bool isRecordingInto(const Take& take);
    // The same, lock held.
    bool recordsInto(const Take& take) const;
    // A copy of a take the audio thread is writing, taken in short holds.
    Samples copyRecordingSamples(const Take& take);
    // Lock held: neither the running recording nor a queued start writes
    // take any more (the take is about to go); what they held goes to
    // released.
    void stopRecordingInto(const Take& take, Released& released);
    // The running recording as it stands (takes the lock); all empty when
    // none runs.
    RecordCommand runningRecording();
    // Commands queued to start or end a recording (takes the lock).
    size_t queuedRecordCommands();
    // Lock held: the running recording, all empty when none runs.
    const RecordCommand& recordingNow() const { return recording; }

    // ---- Recovery copies of recordings ----
    // The host's name for this machine.
    std::string hostMachineName() const;
    // The fingerprint of the song data last loaded or saved.
    const std::string& songDataFingerprint() const { return songFingerprint; }
    // The writer of this machine's recovery copies, or null when the plug-in
    // installed no storage.
    RecoveryWriter* recoveryCopies() const { return recoveryWriter.get(); }
    void keepRecoveryCopies(std::unique_ptr<RecoveryWriter> writer);

    // ---- Record source and arm ----
    InputMachine::Fields* recordSource() const { return source; }
    // The user's choice, from the menu or the dialog bar: the user's side
    // and the song hear of it.
    void chooseRecordSource(InputMachine::Fields* input);
    // Sets the record source without telling the user's side.
    void setRecordSource(InputMachine::Fields* input);
    // Song data: the source the song names, taken now when an input of that
    // name is registered, or else as soon as one registers.
    void nameRecordSource(const std::string& name);
    // The name the song keeps: the source's current name, or the name of a
    // source the song named that has not registered yet.
    std::string savedRecordSourceName() const;
    // The name of a source the song named that has not registered yet.
    const std::string& awaitedRecordSource() const { return pendingRecordSourceName; }
    // The input registry changed: the user's list follows, a named source
    // that registers is taken, a source that goes is dropped.
    void inputRegistered(InputMachine::Fields* input);
    void inputUnregistered(InputMachine::Fields* input);
    // The host's current name for a registered input machine.
    static std::string inputName(const InputMachine::Fields* input);

    bool isArmed() const { return armed != 0; }
    // From the dialog bar's toggle, which shows the state itself.
    void setArmed(bool on) { armed = on ? 1 : 0; }
    // From the menu: the dialog bar follows.
    void toggleArmed();

    // ---- Settings (filled at initialisation, in file order) ----
    const std::vector<KeyboardShortcut>& shortcuts() const { return shortcutList; }
    const std::vector<WaveEditorEntry>& waveEditors() const { return waveEditorList; }
    void addShortcut(KeyboardShortcut shortcut);
    void addWaveEditor(WaveEditorEntry entry);
    // Empties both lists (before the settings are read again).
    void forgetSettings();

    // ---- The editor ----
    // The pattern editor, made with the machine and again by slot 16 after
    // the host destroyed its window, or null. User-interface thread only.
    MachineEditor* editor() const { return patternEditor; }
    // Any thread: the editor repaints at its next timer tick. The flag is
    // the machine's, so it outlives any editor window.
    void requestRedraw() noexcept { redrawRequested.store(true, std::memory_order_relaxed); }
    // User-interface thread: whether a redraw was asked for since the last
    // call.
    bool takeRedrawRequest() noexcept {
        return redrawRequested.exchange(false, std::memory_order_relaxed);
    }
    // The editor's grid and snap as the song keeps them; they outlive any
    // editor window.
    GridSettings grid;
    // The editor tells its machine it is going.
    void editorGone(const MachineEditor* gone);

private:
    friend class miex;

    ~mi();
    // The work of the slots of the same names, inside their guards.
    void stop();
    void runMenuCommand(int code);
    void writeSubMenu(int index, CMachineDataOutput& out);
    void showAboutBox();
    void checkHostVersion();
    // The host's event handlers (user-interface thread): event 0 for this
    // machine, and event 3 (a machine appeared or changed).
    static bool onOwnMachineEvent(CMachineInterface* machine, void* data);
    static bool onMachineEvent(CMachineInterface* machine, void* data);
    // Lock held: one audio block.
    bool renderBlock(float* out, int n) noexcept;
    // Lock held, outside the audio thread: see prepareForAudio.
    void prepareAudioStorage();
    // Lock held: what released holds moves to retired, for the housekeeper
    // to free; only what does not fit stays in released.
    void retire(Released& released) noexcept;
    // Lock held: key's player starts walking pattern (none when even the
    // fallback allocation fails: the pattern stays silent).
    void startPatternPlayer(const void* key, Pattern& pattern, double start, double end) noexcept;
    std::vector<std::pair<const void*, std::shared_ptr<PatternPlayer>>>::iterator
    findPatternPlayer(const void* key) noexcept;
    // Lock held: a ready take object for a recording, or null.
    std::shared_ptr<Take> takeForRecording() noexcept;
    // Lock held: the sizes (in floats) of the sample buffers that recordings
    // of the patterns would need now, longest first, none when not armed.
    std::vector<size_t> recordingSizes() const;
    // Not the audio thread: makes a buffer ready for each of those sizes
    // (and lets go of those no longer wanted), outside the lock.
    void readyRecordingBuffers();
    // The same at once, on the user-interface side, when a start may come
    // before the housekeeper's next round (arming, a new or longer pattern).
    void readyForRecordings() noexcept;
    // Housekeeper: maps the stretch of the running recording's take that the
    // next second or so will write, so that the audio thread writes pages
    // that are there instead of taking a page fault for each.
    void mapRecordingAhead();
    // Lock held: the current take player fades out from its next block on.
    void stopPatternPlayer(PatternPlayer& player);
    // Lock held: removes every player of pattern at once, without a fade.
    void dropPlayersOf(const Pattern& pattern, Released& released);
    // Lock held, audio thread: queues a recording of pattern from offsetTicks
    // when hostRecording is set and the machine is armed with a record
    // source. The take's memory comes from the page mapper, the take object
    // and list room from prepareForAudio. False when the take could not be
    // made: the recording does not start and nothing else changed.
    bool startRecording(CSequence* sequence, Pattern& pattern, int offsetTicks,
                        bool hostRecording) noexcept;
    // Lock held: takes the record source's frames offset .. offset+count-1.
    void processRecording(int offset, int count) noexcept;
    // Lock held: no recording or queued command refers to pattern any more.
    void forgetRecordingOf(const Pattern& pattern, Released& released);
    // Lock held: the running recording and every queued command that
    // writes matches become stops; what they held goes to released.
    template <class Matches> void forgetRecordings(Matches matches, Released& released);
    // Lock held: the recording that just ended; the song and the views hear
    // of it from tellFinishedRecording.
    void finishRecording() noexcept;
    // Lock released: host services that may take the host's own lock are
    // never called under ours, so the two are never taken in both orders.
    void tellFinishedRecording() noexcept;
    // Lock held: frames frames of take from first on become its active take.
    void punchIn(Take& take, int64_t first, int64_t frames) noexcept;
    void replaceRecording(RecordCommand next) noexcept;
    // Takes input as the record source when its name is the one the song
    // named; true when it did.
    bool takeNamedSource(InputMachine::Fields* input);
    // Lock held: enters pattern under handle; a pattern already there loses
    // its players and is returned for destruction after the lock.
    std::unique_ptr<Pattern> installPattern(const CPattern* handle,
                                            std::unique_ptr<Pattern> pattern, Released& released);
    // Lock held: the pattern waiting under name, taken out of the waiting
    // list, or null.
    std::unique_ptr<Pattern> takeAwaitingPattern(const std::string& name);
    void stopSequence(const void* key, Released& released) noexcept;
    // The editor stops showing a pattern that is about to go.
    void forgetShown(const Pattern* pattern);

    CMachine* ownMachine = nullptr;
    // The pattern editor, made with the machine; it clears this pointer
    // when it goes (the machine's destruction destroys it).
    MachineEditor* patternEditor = nullptr;
    float fadeStep = 0.01f;
    InputMachine::Fields* source = nullptr;
    std::string pendingRecordSourceName;
    // Written by the menu and by stop, read by the audio thread.
    std::atomic<uint8_t> armed{0};
    uint32_t lastTempo = 0;
    uint32_t lastTicksPerBeat = 0;
    // From the settings file, in file order; fixed after initialisation.
    std::vector<KeyboardShortcut> shortcutList;
    std::vector<WaveEditorEntry> waveEditorList;

    // Patterns before players: players refer to patterns, so they go first.
    std::map<const CPattern*, std::unique_ptr<Pattern>> patternsByHandle;
    std::map<std::string, std::unique_ptr<Pattern>> patternsAwaitingHost;
    // One player per host sequence (or previewKey), ordered by key; room is
    // reserved ahead so that the audio thread inserts without allocating.
    std::vector<std::pair<const void*, std::shared_ptr<PatternPlayer>>> patternPlayers;
    std::vector<std::shared_ptr<TakePlayer>> takePlayers; // creation order
    // Players for the audio thread, made ready outside it.
    TakePlayerPool takePlayerPool;
    PatternPlayerPool patternPlayerPool;

    // Copies of every recording on disk while it records (none when the
    // plug-in installed no storage), and the fingerprint of the song data
    // last loaded or saved, which new recordings are made on top of.
    std::unique_ptr<RecoveryWriter> recoveryWriter;
    std::string songFingerprint = noSongData;

    // Recording: the running recording, and the commands waiting to start or
    // end one, in the order they arrived (room reserved at construction).
    RecordCommand recording;
    std::vector<RecordCommand> recordQueue;

    std::mutex audioLock;
    // Players the last block let go, freed once its lock is released. Only
    // renderStereo touches it, and the host never runs two blocks at once.
    Released releasedInBlock;
    // The same for onPatternPlay.
    Released releasedInPlay;
    // Take objects kept ready for recordings: enough for a start a second
    // while the user-interface side is busy with a long edit.
    static constexpr size_t readyTakes = 16;
    // What the audio thread may drop between two rounds of the housekeeper,
    // with room to spare.
    static constexpr size_t retiredRoom = 4096;
    // What the audio thread let go of, waiting for the housekeeper (room
    // reserved: moving into it never allocates).
    Released retired;
    // Take objects for recordings to come.
    std::vector<std::shared_ptr<Take>> spareTakes;
    // Fresh zero sample buffers of the sizes the patterns' recordings need,
    // made while the machine is armed: a start then makes no system call
    // (on some systems mapping an hour costs a millisecond, and waits while
    // another thread frees memory). Their pages take no memory until written,
    // though on Windows they count against the system's commit limit: at
    // most this many floats (1.5 GB) are kept ready.
    static constexpr size_t readyRecordingFloats = size_t{384} << 20;
    // What is mapped ahead of a recording: about 1.5 s at 44.1 kHz, more
    // than a housekeeper's round, and small enough for one quick call.
    static constexpr size_t recordingMappedAhead = size_t{128} << 10; // floats
    std::vector<Samples> readyRecordings;
    // Last made, first gone: its thread reaches into everything above.
    std::unique_ptr<Housekeeper> housekeeper;
    std::atomic<bool> redrawRequested{false};
    // A recording ended in the last block (audio thread only).
    bool finishedRecording = false;
    const Pattern* finishedPattern = nullptr;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(mi, ex) == 48, "host layout");
static_assert(offsetof(mi, values) == 64, "host layout");
static_assert(offsetof(mi, values) + offsetof(MachineValues, crossfadeLength) == 65, "host layout");
#pragma GCC diagnostic pop

} // namespace spoolex
