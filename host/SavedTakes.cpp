#include "host/SavedTakes.h"

#include <cstring>

#include "generator/wavestore/RecordBytes.h"
#include "generator/wavestore/TakeRecord.h"
#include "host/DataStreams.h"
#include "hostsdk/ByteOrder.h"

namespace host {

namespace {

// The layouts this reader knows; a newer one is refused rather than misread.
constexpr int newestLayout = 4;
constexpr size_t longestText = size_t{64} << 10;

bool readText(MemoryInput& in, std::string& text) {
    text.clear();
    for (char c = 0; text.size() < longestText;) {
        in.read(&c, 1);
        if (c == '\0')
            return !in.ranShort();
        text += c;
    }
    return false;
}

double readF64(MemoryInput& in) {
    uint8_t b[8];
    in.read(b, 8);
    const uint64_t bits = byteorder::readLe64(b);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t readI32(MemoryInput& in) {
    return static_cast<int32_t>(spoolex::readU32(in));
}

} // namespace

bool readSavedPatterns(const std::vector<uint8_t>& songData, CMICallbacks& services,
                       std::vector<SavedPattern>& patterns, std::string& error) {
    MemoryInput in(songData);
    patterns.clear();
    spoolex::readU8(in);
    const int layout = spoolex::readU8(in);
    std::string text;
    if (in.ranShort() || layout < 1 || layout > newestLayout) {
        error = "the generator's song data has a layout this host does not read";
        return false;
    }
    readText(in, text); // the record source
    if (layout >= 3)
        readText(in, text); // the project folder
    if (layout >= 2)
        for (int i = 0; i < 3; ++i)
            spoolex::readU32(in); // grid and snap
    const int32_t count = readI32(in);
    for (int32_t p = 0; p < count && !in.ranShort(); ++p) {
        SavedPattern pattern;
        if (!readText(in, pattern.name))
            break;
        pattern.length = readI32(in);
        if (layout < 4)
            spoolex::readU32(in);
        const int32_t takes = readI32(in);
        for (int32_t t = 0; t < takes && !in.ranShort(); ++t) {
            spoolex::TakeStream take;
            if (spoolex::readTakeStream(in, take, services) == spoolex::TakeLoad::InputEnded)
                break;
            pattern.takes.push_back(std::move(take));
        }
        const int32_t entries = readI32(in);
        for (int32_t e = 0; e < entries && !in.ranShort(); ++e) {
            SavedActiveEntry entry;
            entry.startTick = readF64(in);
            entry.take = readI32(in);
            pattern.active.push_back(entry);
        }
        if (in.ranShort())
            break;
        patterns.push_back(std::move(pattern));
    }
    if (in.ranShort()) {
        error = "the generator's song data ends early";
        return false;
    }
    return true;
}

bool decodeSavedTake(const spoolex::TakeStream& stream, spoolex::Take& take,
                     CMICallbacks& services) {
    if (stream.sampleRate > 0)
        take.sampleRate = stream.sampleRate;
    return spoolex::decodeTakeStream(take, stream, services) == spoolex::TakeLoad::Loaded;
}

} // namespace host
