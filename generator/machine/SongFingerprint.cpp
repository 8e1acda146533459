#include "generator/machine/SongFingerprint.h"

#include <cstdio>
#include <cstring>

namespace spoolex {

namespace {

// One word into the hash: a multiply and a rotation mix it across all bits.
uint64_t mix(uint64_t hash, uint64_t word) {
    hash ^= word * 0xFF51AFD7ED558CCDull;
    hash = (hash << 27) | (hash >> 37);
    return hash * 0xC4CEB9FE1A85EC53ull + 0x52DCE729ull;
}

} // namespace

void SongFingerprint::add(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    length += size;
    // Whole words go straight in; the same bytes give the same hash however
    // the stream cuts them.
    while (size > 0 && pendingBytes != 0) {
        pending |= static_cast<uint64_t>(*bytes++) << (8 * pendingBytes);
        --size;
        if (++pendingBytes == 8) {
            hash = mix(hash, pending);
            pending = 0;
            pendingBytes = 0;
        }
    }
    for (; size >= 8; size -= 8, bytes += 8) {
        uint64_t word = 0;
        for (unsigned i = 0; i < 8; ++i)
            word |= static_cast<uint64_t>(bytes[i]) << (8 * i);
        hash = mix(hash, word);
    }
    for (; size > 0; --size)
        pending |= static_cast<uint64_t>(*bytes++) << (8 * pendingBytes++);
}

std::string SongFingerprint::text() const {
    uint64_t h = mix(mix(hash, pending), length);
    h ^= h >> 33;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(h));
    return digits;
}

void FingerprintedInput::read(void* buffer, int size) {
    in.read(buffer, size);
    if (size > 0)
        fingerprint.add(buffer, static_cast<size_t>(size));
}

void FingerprintedOutput::write(const void* buffer, int size) {
    out.write(buffer, size);
    if (size > 0)
        fingerprint.add(buffer, static_cast<size_t>(size));
}

} // namespace spoolex
