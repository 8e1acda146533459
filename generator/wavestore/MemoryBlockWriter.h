// The encoder's output: a growable buffer that collects every block.
#pragma once

#include <cstdint>
#include <vector>

namespace spoolex {

struct MemoryBlockWriter {
    std::vector<uint8_t> bytes;

    // The library's block-output callback, with a MemoryBlockWriter as id.
    // Never fails, so the library never reports a failed write.
    static int write(void* id, void* data, int32_t count);
};

} // namespace spoolex
