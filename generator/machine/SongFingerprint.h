// A fingerprint of a machine's song data: the hash of every byte it read or
// wrote. A recording notes the fingerprint of the song data it was made on
// top of, so that loading that same data again finds it.
#pragma once

#include <cstdint>
#include <string>

#include "hostsdk/DataStreams.h"

namespace spoolex {

class SongFingerprint {
public:
    void add(const void* data, size_t size);
    // The hash of the bytes added so far, as 16 hexadecimal digits.
    std::string text() const;

private:
    uint64_t hash = 0x9E3779B97F4A7C15ull;
    uint64_t pending = 0; // bytes not yet a whole word, low first
    unsigned pendingBytes = 0;
    uint64_t length = 0;
};

// The host's streams, passed through while the fingerprint hears every byte.
class FingerprintedInput final : public CMachineDataInput {
public:
    explicit FingerprintedInput(CMachineDataInput& in) : in(in) {}
    void read(void* buffer, int size) override;
    SongFingerprint fingerprint;

private:
    CMachineDataInput& in;
};

class FingerprintedOutput final : public CMachineDataOutput {
public:
    explicit FingerprintedOutput(CMachineDataOutput& out) : out(out) {}
    void write(const void* buffer, int size) override;
    SongFingerprint fingerprint;

private:
    CMachineDataOutput& out;
};

// The fingerprint of a machine that loaded no song data.
constexpr const char* noSongData = "none";

} // namespace spoolex
