#include "generator/machine/SongInput.h"

#include <cstring>

#include "hostsdk/ByteOrder.h"

namespace spoolex {

void SongInput::read(void* buffer, int size) {
    if (size <= 0)
        return;
    auto* bytes = static_cast<uint8_t*>(buffer);
    std::memset(bytes, 0, static_cast<size_t>(size));
    host.read(buffer, size);
    // Only the zeros at the end count, found from the end: a take's bytes
    // cost one look, not one per byte.
    const auto count = static_cast<size_t>(size);
    size_t trailing = 0;
    while (trailing < count && bytes[count - 1 - trailing] == 0)
        ++trailing;
    zeroRun = trailing == count ? zeroRun + count : trailing;
}

uint8_t SongInput::u8() {
    uint8_t value;
    read(&value, 1);
    return value;
}

uint32_t SongInput::u32() {
    uint8_t b[4];
    read(b, 4);
    return byteorder::readLe32(b);
}

double SongInput::f64() {
    uint8_t b[8];
    read(b, 8);
    const uint64_t bits = byteorder::readLe64(b);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool SongInput::text(std::string& out) {
    out.clear();
    for (;;) {
        char c = static_cast<char>(u8());
        if (c == 0)
            return true;
        if (out.size() >= longestText) {
            damaged = true;
            return false;
        }
        out.push_back(c);
    }
}

} // namespace spoolex
