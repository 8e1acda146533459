#include "host/DataStreams.h"

#include <algorithm>
#include <cstring>

namespace host {

void MemoryInput::read(void* buffer, int size) {
    if (size <= 0)
        return;
    auto wanted = static_cast<size_t>(size);
    size_t available = bytes.size() - offset;
    size_t n = std::min(wanted, available);
    if (n > 0)
        std::memcpy(buffer, bytes.data() + offset, n);
    std::memset(static_cast<uint8_t*>(buffer) + n, 0, wanted - n);
    offset += n;
    if (n < wanted)
        overrun = true;
}

void MemoryOutput::write(const void* buffer, int size) {
    if (size <= 0)
        return;
    auto* p = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.end(), p, p + size);
}

} // namespace host
