#include "generator/wavestore/MemoryBlockWriter.h"

namespace spoolex {

int MemoryBlockWriter::write(void* id, void* data, int32_t count) {
    auto& writer = *static_cast<MemoryBlockWriter*>(id);
    if (count > 0) {
        auto* first = static_cast<const uint8_t*>(data);
        writer.bytes.insert(writer.bytes.end(), first, first + count);
    }
    return count > 0 ? count : 1;
}

} // namespace spoolex
