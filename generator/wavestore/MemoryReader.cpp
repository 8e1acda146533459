#include "generator/wavestore/MemoryReader.h"

#include <algorithm>
#include <cstring>

namespace spoolex {

int32_t MemoryReader::readBytes(void* destination, int32_t count) {
    if (count <= 0)
        return 0;
    auto wanted = std::min<int64_t>(count, size() - position);
    auto* out = static_cast<uint8_t*>(destination);
    int32_t delivered = 0;
    while (delivered < wanted && !pushedBack.empty()) {
        out[delivered++] = pushedBack.back();
        pushedBack.pop_back();
        ++position;
    }
    auto rest = static_cast<int32_t>(wanted - delivered);
    if (rest > 0)
        std::memcpy(out + delivered, data + position, static_cast<size_t>(rest));
    position += rest;
    return delivered + rest;
}

uint32_t MemoryReader::getPosition() const {
    return static_cast<uint32_t>(position);
}

int MemoryReader::setPositionAbsolute(int64_t target) {
    if (target < 0 || target > size())
        return -1;
    position = static_cast<int32_t>(target);
    pushedBack.clear();
    return 0;
}

// The modes of the C library's fseek, which the library passes on.
enum SeekMode { FromStart = 0, FromPosition = 1, FromEnd = 2 };

int MemoryReader::setPositionRelative(int32_t delta, int mode) {
    switch (mode) {
    case FromStart:
        return setPositionAbsolute(delta);
    case FromPosition:
        return setPositionAbsolute(int64_t{position} + delta);
    case FromEnd:
        return setPositionAbsolute(size() + delta);
    default:
        return -1;
    }
}

int MemoryReader::pushBackByte(int c) {
    if (position == 0)
        return -1;
    pushedBack.push_back(static_cast<uint8_t>(c));
    --position;
    return c;
}

uint32_t MemoryReader::getLength() const {
    return static_cast<uint32_t>(size());
}

int32_t MemoryReader::writeBytes(const void*, int32_t) {
    return 0;
}

namespace {

MemoryReader& self(void* id) {
    return *static_cast<MemoryReader*>(id);
}

} // namespace

WavpackStreamReader MemoryReader::callbacks = {
    [](void* id, void* data, int32_t count) { return self(id).readBytes(data, count); },
    [](void* id) { return self(id).getPosition(); },
    [](void* id, uint32_t target) { return self(id).setPositionAbsolute(target); },
    [](void* id, int32_t delta, int mode) { return self(id).setPositionRelative(delta, mode); },
    [](void* id, int c) { return self(id).pushBackByte(c); },
    [](void* id) { return self(id).getLength(); },
    [](void* id) { return self(id).canSeek(); },
    [](void* id, void* data, int32_t count) { return self(id).writeBytes(data, count); },
};

} // namespace spoolex
