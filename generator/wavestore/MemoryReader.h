// The decoder's input: one take's stream bytes, read through the library's
// stream-reader callbacks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <wavpack/wavpack.h>

namespace spoolex {

class MemoryReader {
public:
    explicit MemoryReader(std::vector<uint8_t> bytes)
        : owned(std::move(bytes)), data(owned.data()), length(owned.size()) {}
    // Reads bytes held elsewhere, which outlive the reader: a whole stream
    // kept for saving, or one stretch of its blocks.
    MemoryReader(const uint8_t* bytes, size_t count) : data(bytes), length(count) {}
    MemoryReader(const MemoryReader&) = delete;
    MemoryReader& operator=(const MemoryReader&) = delete;

    // The callbacks, in the order of the library's table.
    int32_t readBytes(void* destination, int32_t count);
    uint32_t getPosition() const;
    int setPositionAbsolute(int64_t target);
    int setPositionRelative(int32_t delta, int mode);
    int pushBackByte(int c);
    uint32_t getLength() const;
    int canSeek() const { return 1; }
    int32_t writeBytes(const void* source, int32_t count);

    // The table to hand to WavpackOpenFileInputEx with this object as its id.
    static WavpackStreamReader callbacks;

private:
    // Positions are 32-bit in this table; bytes beyond its reach are not offered.
    int64_t size() const { return static_cast<int64_t>(std::min<size_t>(length, INT32_MAX)); }

    std::vector<uint8_t> owned;
    const uint8_t* data;
    size_t length;
    std::vector<uint8_t> pushedBack; // most recent at the back
    int32_t position = 0;
};

} // namespace spoolex
