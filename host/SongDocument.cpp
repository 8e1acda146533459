#include "host/SongDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "hostsdk/ByteOrder.h"

namespace host {

namespace {

const char magic[8] = {'S', 'P', 'O', 'O', 'L', 'E', 'X', '1'};
// Version 2 added the wavetable; version 1 files load with an empty one.
constexpr uint32_t formatVersion = 2;
constexpr uint32_t slotCount = 200;

// Timing the host can play: samples per tick and its tick clock stay finite
// and their products fit the timing record's integers.
struct TimingLimit {
    const char* what;
    uint32_t lowest;
    uint32_t highest;
};
constexpr TimingLimit sampleRateLimit{"sample rate (Hz)", 1000, 768000};
constexpr TimingLimit tempoLimit{"tempo (beats per minute)", 1, 1000};
constexpr TimingLimit ticksPerBeatLimit{"ticks per beat", 1, 256};

class Writer {
public:
    void u32(uint32_t v) {
        uint8_t b[4];
        byteorder::writeLe32(b, v);
        bytes.insert(bytes.end(), b, b + 4);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void blob(const uint8_t* data, size_t size) {
        u32(static_cast<uint32_t>(size));
        bytes.insert(bytes.end(), data, data + size);
    }
    void text(const std::string& s) { blob(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
    std::vector<uint8_t> bytes;
};

// Every read is checked against what is left, so a damaged or hostile file
// can neither crash the reader nor make it allocate more than the file holds.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& data) : bytes(data) {}

    bool u32(uint32_t& v) {
        if (left() < 4)
            return fail("the file ends early");
        v = byteorder::readLe32(&bytes[at]);
        at += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u;
        if (!u32(u))
            return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool blob(std::vector<uint8_t>& out) {
        uint32_t size;
        if (!u32(size))
            return false;
        if (size > left())
            return fail("a length runs past the end of the file");
        out.assign(bytes.begin() + at, bytes.begin() + at + size);
        at += size;
        return true;
    }
    bool text(std::string& out) {
        std::vector<uint8_t> raw;
        if (!blob(raw))
            return false;
        out.assign(raw.begin(), raw.end());
        return true;
    }
    // A count of items that each take at least minSize bytes.
    bool count(uint32_t& n, size_t minSize) {
        if (!u32(n))
            return false;
        if (n > left() / minSize)
            return fail("a count promises more than the file holds");
        return true;
    }
    bool timing(uint32_t value, const TimingLimit& limit) {
        if (value < limit.lowest || value > limit.highest)
            return fail("the song's " + std::string(limit.what) + " is " + std::to_string(value) +
                        ", outside " + std::to_string(limit.lowest) + " to " +
                        std::to_string(limit.highest));
        return true;
    }
    bool skipMagic() {
        if (left() < sizeof magic || std::memcmp(&bytes[0], magic, sizeof magic) != 0)
            return fail("not a Spoolex song file");
        at += sizeof magic;
        return true;
    }
    bool fail(const std::string& why) {
        if (error.empty())
            error = why;
        return false;
    }
    size_t left() const { return bytes.size() - at; }

    std::string error;

private:
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
};

} // namespace

uint32_t SongDocument::endTick() const {
    uint32_t end = 0;
    for (const SongSequence& sequence : sequences)
        for (const SongEvent& event : sequence.events)
            if (event.pattern >= 0 && static_cast<size_t>(event.pattern) < patterns.size())
                end = std::max(end, event.tick + static_cast<uint32_t>(
                                                     std::max(patterns[event.pattern].length, 0)));
    return end;
}

std::vector<uint8_t> encodeSong(const SongDocument& song) {
    Writer w;
    w.bytes.assign(magic, magic + sizeof magic);
    w.u32(formatVersion);
    w.u32(song.sampleRate);
    w.u32(song.beatsPerMinute);
    w.u32(song.ticksPerBeat);
    w.u32(static_cast<uint32_t>(song.machines.size()));
    for (const SongMachine& m : song.machines) {
        w.text(m.plugin);
        w.u32(m.kind);
        w.text(m.name);
        w.u32(static_cast<uint32_t>(m.attributes.size()));
        for (int32_t a : m.attributes)
            w.i32(a);
        w.blob(m.songData.data(), m.songData.size());
    }
    w.u32(static_cast<uint32_t>(song.patterns.size()));
    for (const SongPattern& p : song.patterns) {
        w.u32(p.machine);
        w.text(p.name);
        w.i32(p.length);
    }
    w.u32(static_cast<uint32_t>(song.sequences.size()));
    for (const SongSequence& s : song.sequences) {
        w.u32(s.machine);
        w.u32(static_cast<uint32_t>(s.events.size()));
        for (const SongEvent& e : s.events) {
            w.u32(e.tick);
            w.i32(e.pattern);
        }
    }
    w.u32(song.selectedWave);
    w.u32(static_cast<uint32_t>(song.waves.size()));
    for (const SongWave& wave : song.waves) {
        w.u32(wave.slot);
        w.text(wave.name);
        w.i32(wave.flags);
        w.i32(wave.sampleCount);
        w.i32(wave.sampleRate);
        w.i32(wave.loopEnd);
        w.blob(wave.data.data(), wave.data.size());
    }
    return w.bytes;
}

bool decodeSong(const std::vector<uint8_t>& bytes, SongDocument& song, std::string& error) {
    Reader r(bytes);
    SongDocument read;
    uint32_t version = 0, machines = 0, patterns = 0, sequences = 0;
    bool ok =
        r.skipMagic() && r.u32(version) &&
        ((version >= 1 && version <= formatVersion) ||
         r.fail("song file version " + std::to_string(version) + " is newer than this host")) &&
        r.u32(read.sampleRate) && r.u32(read.beatsPerMinute) && r.u32(read.ticksPerBeat) &&
        r.timing(read.sampleRate, sampleRateLimit) && r.timing(read.beatsPerMinute, tempoLimit) &&
        r.timing(read.ticksPerBeat, ticksPerBeatLimit) && r.count(machines, 16);
    for (uint32_t i = 0; ok && i < machines; ++i) {
        SongMachine m;
        uint32_t attributes = 0;
        ok = r.text(m.plugin) && r.u32(m.kind) && r.text(m.name) && r.count(attributes, 4);
        for (uint32_t a = 0; ok && a < attributes; ++a) {
            int32_t value;
            ok = r.i32(value);
            m.attributes.push_back(value);
        }
        ok = ok && r.blob(m.songData);
        read.machines.push_back(std::move(m));
    }
    ok = ok && r.count(patterns, 12);
    for (uint32_t i = 0; ok && i < patterns; ++i) {
        SongPattern p;
        ok = r.u32(p.machine) && r.text(p.name) && r.i32(p.length) &&
             (p.machine < read.machines.size() || r.fail("a pattern names a missing machine"));
        read.patterns.push_back(std::move(p));
    }
    ok = ok && r.count(sequences, 8);
    for (uint32_t i = 0; ok && i < sequences; ++i) {
        SongSequence s;
        uint32_t events = 0;
        ok = r.u32(s.machine) &&
             (s.machine < read.machines.size() || r.fail("a sequence names a missing machine")) &&
             r.count(events, 8);
        for (uint32_t e = 0; ok && e < events; ++e) {
            SongEvent event;
            ok = r.u32(event.tick) && r.i32(event.pattern);
            if (ok && event.pattern >= 0 &&
                (static_cast<size_t>(event.pattern) >= read.patterns.size() ||
                 read.patterns[event.pattern].machine != s.machine))
                ok = r.fail("a sequence plays a pattern of another machine or none");
            s.events.push_back(event);
        }
        read.sequences.push_back(std::move(s));
    }
    uint32_t waves = 0;
    if (ok && version >= 2)
        ok = r.u32(read.selectedWave) &&
             (read.selectedWave <= slotCount || r.fail("the selected wave is not a slot")) &&
             r.count(waves, 24);
    for (uint32_t i = 0; ok && i < waves; ++i) {
        SongWave wave;
        ok = r.u32(wave.slot) && r.text(wave.name) && r.i32(wave.flags) &&
             r.i32(wave.sampleCount) && r.i32(wave.sampleRate) && r.i32(wave.loopEnd) &&
             r.blob(wave.data) &&
             ((wave.slot >= 1 && wave.slot <= slotCount &&
               (read.waves.empty() || read.waves.back().slot < wave.slot)) ||
              r.fail("a wave's slot is out of order or not 1 to 200"));
        read.waves.push_back(std::move(wave));
    }
    if (!ok) {
        error = r.error;
        return false;
    }
    song = std::move(read);
    return true;
}

bool saveSongFile(const std::string& path, const SongDocument& song, std::string& error) {
    std::vector<uint8_t> bytes = encodeSong(song);
    // Write beside the file, then rename: a failed save never destroys the
    // song that was there.
    std::string temporary = path + ".saving";
    errno = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    const std::string reason = std::strerror(errno);
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + temporary + ": " + reason;
        std::remove(temporary.c_str());
        return false;
    }
#if defined(_WIN32)
    // The C runtime here does not replace an existing file on rename.
    std::remove(path.c_str());
#endif
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool loadSongFile(const std::string& path, SongDocument& song, std::string& error) {
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        error = "cannot read " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    // Read straight into room for the whole file: a song holds its takes,
    // and growing the buffer piece by piece would copy them over and over.
    // The size is only a hint; a file that changes meanwhile is read to its
    // end all the same.
    std::vector<uint8_t> bytes(static_cast<size_t>(std::filesystem::file_size(path, status)) + 1);
    if (status)
        bytes.resize(size_t{1} << 16);
    size_t used = 0;
    for (size_t n = 0; (n = std::fread(bytes.data() + used, 1, bytes.size() - used, file)) > 0;) {
        used += n;
        if (used == bytes.size())
            bytes.resize(2 * used);
    }
    bytes.resize(used);
    const bool failed = std::ferror(file) != 0;
    const std::string reason = std::strerror(errno);
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path + ": " + reason;
        return false;
    }
    if (!decodeSong(bytes, song, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool holdsSong(const std::string& path) {
    std::error_code status;
    if (std::filesystem::is_directory(path, status))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char start[sizeof magic] = {};
    const bool song = std::fread(start, 1, sizeof start, file) == sizeof start &&
                      std::memcmp(start, magic, sizeof magic) == 0;
    std::fclose(file);
    return song;
}

} // namespace host
