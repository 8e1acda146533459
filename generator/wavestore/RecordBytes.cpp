#include "generator/wavestore/RecordBytes.h"

#include <algorithm>

#include "generator/model/SampleBuffer.h"
#include "hostsdk/ByteOrder.h"

namespace spoolex {

uint8_t readU8(CMachineDataInput& in) {
    uint8_t value = 0;
    in.read(&value, 1);
    return value;
}

uint32_t readU32(CMachineDataInput& in) {
    uint8_t bytes[4] = {};
    in.read(bytes, 4);
    return byteorder::readLe32(bytes);
}

void writeU8(CMachineDataOutput& out, uint8_t value) {
    out.write(&value, 1);
}

void writeU32(CMachineDataOutput& out, uint32_t value) {
    uint8_t bytes[4];
    byteorder::writeLe32(bytes, value);
    out.write(bytes, 4);
}

bool readByteRun(CMachineDataInput& in, uint32_t count, std::vector<uint8_t>& bytes) {
    // Room for the whole run at once saves copying it as it grows. Bounded:
    // a damaged length then only reserves address space nothing touches.
    const size_t before = bytes.capacity();
    bytes.reserve(bytes.size() + std::min<size_t>(count, recordReserveBytes));
    if (bytes.capacity() != before)
        preferLargePages(bytes.data() + bytes.size(), bytes.capacity() - bytes.size());
    size_t left = count;
    while (left > 0) {
        size_t piece = std::min(left, recordPieceBytes);
        size_t start = bytes.size();
        // Mapped piece by piece as it is read: a damaged length never maps
        // more than the bytes that are there.
        if (bytes.capacity() - start >= piece)
            mapPagesNow(bytes.data() + start, piece);
        bytes.resize(start + piece, 0);
        in.read(bytes.data() + start, static_cast<int>(piece));
        left -= piece;
        if (piece == recordPieceBytes &&
            std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(),
                        [](uint8_t b) { return b == 0; })) {
            bytes.resize(start);
            return false;
        }
    }
    return true;
}

void writeByteRun(CMachineDataOutput& out, const std::vector<uint8_t>& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        size_t piece = std::min(bytes.size() - done, recordPieceBytes);
        out.write(bytes.data() + done, static_cast<int>(piece));
        done += piece;
    }
}

} // namespace spoolex
