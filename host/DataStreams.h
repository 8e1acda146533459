// The host's byte streams over memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hostsdk/DataStreams.h"

namespace host {

// Reads song data. Past the end it delivers zeros, as a host that has no
// more data would, and remembers that it ran short. It reads the caller's
// bytes where they are, as a host reads the song it holds: a copy would
// cost as much as a song's takes.
class MemoryInput final : public CMachineDataInput {
public:
    explicit MemoryInput(const std::vector<uint8_t>& data) : bytes(data) {}
    explicit MemoryInput(std::vector<uint8_t>&&) = delete;
    void read(void* buffer, int size) override;
    bool ranShort() const { return overrun; }
    size_t position() const { return offset; }

private:
    const std::vector<uint8_t>& bytes;
    size_t offset = 0;
    bool overrun = false;
};

class MemoryOutput final : public CMachineDataOutput {
public:
    void write(const void* buffer, int size) override;
    const std::vector<uint8_t>& data() const { return bytes; }

private:
    std::vector<uint8_t> bytes;
};

} // namespace host
