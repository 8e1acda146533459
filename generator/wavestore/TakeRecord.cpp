#include "generator/wavestore/TakeRecord.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include <wavpack/wavpack.h>

#include "generator/wavestore/FreshSamples.h"
#include "generator/wavestore/MemoryBlockWriter.h"
#include "generator/wavestore/MemoryReader.h"
#include "generator/wavestore/RecordBytes.h"
#include "generator/wavestore/StorableSampleRate.h"
#include "generator/wavestore/StreamCodec.h"
#include "hostsdk/ByteOrder.h"
#include "hostsdk/HostServices.h"

namespace spoolex {

namespace {

constexpr float toNormalised = 1.0f / hostSampleScale; // 3.0517578e-5, a power of two
constexpr int32_t fallbackSampleRate = 44100;

const char* const loadError =
    "An error occurred while loading pattern data for Korvane Spoolex.\n\n";

const char* const outOfMemoryForTake =
    "An error occurred while loading pattern data for Korvane Spoolex.\n\nThere is not enough "
    "memory for one of its takes, which is left empty; the rest of the song still loads.";

const char* const damagedStream =
    "The stream is damaged: some of its audio could not be restored and is silent.";

void report(TakeReports& reports, const std::string& detail) {
    reports.push_back(loadError + detail);
}

bool pack(const Samples& samples, int32_t sampleRate, MemoryBlockWriter& writer) {
    size_t frames = samples.size() / 2;
    if (frames >= std::numeric_limits<uint32_t>::max())
        return false;
    Context context(WavpackOpenFileOutput(MemoryBlockWriter::write, &writer, nullptr));
    if (!context)
        return false;

    WavpackConfig config{};
    config.num_channels = 2;
    config.channel_mask = 3;
    config.bits_per_sample = 32;
    config.bytes_per_sample = 4;
    config.float_norm_exp = normalisedFloatExponent;
    // A take always has a rate; were it ever lost, the audio still is not.
    config.sample_rate = sampleRate > 0 ? sampleRate : fallbackSampleRate;
    config.flags = CONFIG_OPTIMIZE_MONO;
    auto count = static_cast<uint32_t>(frames);
    // The 64-bit setter: the older one writes version 0x407 streams, which
    // leave out the mono optimisation.
    if (!WavpackSetConfiguration64(context.get(), &config, count, nullptr) ||
        !WavpackPackInit(context.get()))
        return false;

    // Scaled into a copy, a piece at a time: the take itself is never touched,
    // and a long take is not held twice. The library gathers whole blocks
    // across calls, so the stream is the same as from one call.
    writer.bytes.reserve(samples.size() * sizeof(float) * 3 / 4);
    std::vector<int32_t> piece(size_t{pieceFrames} * 2);
    for (size_t first = 0; first < frames; first += pieceFrames) {
        size_t n = std::min<size_t>(pieceFrames, frames - first);
        const float* source = samples.data() + first * 2;
        for (size_t i = 0; i < n * 2; ++i) {
            float value = source[i] * toNormalised;
            std::memcpy(&piece[i], &value, sizeof value);
        }
        if (!WavpackPackSamples(context.get(), piece.data(), static_cast<uint32_t>(n)))
            return false;
    }
    return WavpackFlushSamples(context.get());
}

// Appends count library values (float bit patterns) to samples, scaled to
// the host scale: one pass, while the piece is still in the cache.
void appendScaled(const int32_t* values, size_t count, Samples& samples) {
    scaleToHost(values, count, appendFreshSamples(samples, count));
}

// Unpacks up to count frames into samples, normalised by exponent and
// scaled to the host scale, and returns the number of frames unpacked. Each
// piece lands at its own frame: the library's frame index plus offset, with
// silence for frames it could not restore. The take grows only by what the
// library really delivers: the header's count reserves room only as far as
// the stream's size makes it plausible.
uint32_t unpack(WavpackContext* context, uint32_t count, uint32_t offset, int exponent,
                size_t streamBytes, Samples& samples) {
    samples.clear();
    samples.reserve(std::min<size_t>(size_t{offset} + count, streamBytes * plausibleFramesPerByte) *
                    2);
    std::vector<int32_t> piece(size_t{pieceFrames} * 2);
    uint32_t done = 0;
    while (done < count) {
        const int64_t index = WavpackGetSampleIndex64(context);
        if (index < 0 || index >= count)
            break;
        uint32_t wanted = std::min(count - static_cast<uint32_t>(index), pieceFrames);
        uint32_t got = WavpackUnpackSamples(context, piece.data(), wanted);
        auto values = static_cast<int32_t>(got * 2);
        if (exponent != normalisedFloatExponent)
            WavpackFloatNormalize(piece.data(), values, normalisedFloatExponent - exponent);
        samples.resize(2 * (size_t{offset} + static_cast<size_t>(index)), 0.0f);
        appendScaled(piece.data(), static_cast<size_t>(values), samples);
        done += got;
        if (got < wanted)
            break;
    }
    if (samples.capacity() - samples.size() > samples.size() / 8)
        samples.shrink_to_fit();
    return done;
}

// The frame at which the library's frame 0 belongs. It numbers frames from
// the first block it can read, so a lost first block would move the rest
// earlier. The last block's header, if it agrees with itself, gives the
// stream's true length, and a block must begin where the library's frames
// would then begin:
//
//   headers   | block 0 (lost) | block 1 | ... | last |
//   library                    0 ...            count
//   take      0 ... offset = total - count ...  total
struct BlockLayout {
    std::vector<uint32_t> starts; // each block's first frame, as its header says
    uint64_t total = 0;           // from the last header, when it agrees with itself

    BlockLayout(const uint8_t* bytes, size_t size) {
        for (size_t at = 0; at + 32 <= size && std::memcmp(&bytes[at], "wvpk", 4) == 0;) {
            const uint32_t index = byteorder::readLe32(&bytes[at + 16]);
            starts.push_back(index);
            total = uint64_t{index} + byteorder::readLe32(&bytes[at + 20]);
            if (byteorder::readLe32(&bytes[at + 12]) != total)
                total = 0;
            at += 8 + size_t{byteorder::readLe32(&bytes[at + 4])};
        }
    }

    uint32_t firstReadableFrame(uint32_t count) const {
        if (total <= count)
            return 0;
        const auto offset = static_cast<uint32_t>(total - count);
        return std::find(starts.begin(), starts.end(), offset) != starts.end() ? offset : 0;
    }
};

// The total frame count in the stream's first block header, as written by
// encodeTake; none when the stream does not open with a block.
bool firstBlockTotal(const uint8_t* bytes, size_t size, uint32_t& total) {
    if (size < 32 || std::memcmp(bytes, "wvpk", 4) != 0)
        return false;
    total = byteorder::readLe32(&bytes[12]);
    return true;
}

TakeLoad decodeStream(Take& take, const uint8_t* bytes, size_t size, TakeReports& reports,
                      bool& asStored) {
    uint32_t headerTotal = 0;
    bool headed = firstBlockTotal(bytes, size, headerTotal);
    const BlockLayout layout(bytes, size);
    MemoryReader reader(bytes, size);
    char error[80] = {};
    Context context(
        WavpackOpenFileInputEx(&MemoryReader::callbacks, &reader, nullptr, error, 0, 0));
    if (!context) {
        take.changeSamples().clear();
        report(reports, std::string("WavpackOpenFileInputEx error:\n") + error);
        return TakeLoad::Failed;
    }
    uint32_t count = WavpackGetNumSamples(context.get());
    if (count == std::numeric_limits<uint32_t>::max()) {
        take.changeSamples().clear();
        report(reports, "WavpackGetNumSamples returned -1.");
        return TakeLoad::Failed;
    }
    // Unpacking writes one value per channel per frame: anything but the
    // two-channel float layout we write would overrun the take.
    if (WavpackGetNumChannels(context.get()) != 2 ||
        !(WavpackGetMode(context.get()) & MODE_FLOAT)) {
        take.changeSamples().clear();
        report(reports, "The stream does not hold two channels of 32-bit float samples.");
        return TakeLoad::Failed;
    }

    uint32_t rate = WavpackGetSampleRate(context.get());
    // Stored rates outside the range are damage; the take keeps the host's.
    if (isStorableSampleRate(rate))
        take.sampleRate = static_cast<int32_t>(rate);
    asStored = isStorableSampleRate(rate);

    // A stream whose first block is unreadable opens at a later frame, and
    // the library then counts only the frames from there.
    bool lostStart = !headed || headerTotal != count || WavpackGetSampleIndex(context.get()) != 0;
    const uint32_t offset = lostStart ? layout.firstReadableFrame(count) : 0;
    uint32_t frames = unpack(context.get(), count, offset, WavpackGetFloatNormExp(context.get()),
                             reader.getLength(), take.changeSamples());

    if (frames < count) {
        report(reports, "WavpackUnpackSamples failed to read the requested number of samples.");
        return TakeLoad::Failed;
    }
    // The library mutes blocks that fail their checksum and carries on.
    if (lostStart || WavpackGetNumErrors(context.get()) > 0) {
        report(reports, damagedStream);
        return TakeLoad::Failed;
    }
    return TakeLoad::Loaded;
}

} // namespace

bool encodeTakeStream(const Samples& samples, int32_t sampleRate, std::vector<uint8_t>& stream) {
    MemoryBlockWriter writer;
    try {
        bool packed = pack(samples, sampleRate, writer);
        stream = std::move(writer.bytes);
        return packed;
    } catch (const std::bad_alloc&) {
        // The stream's bytes so far may not even fit: none are kept.
        stream.clear();
        stream.shrink_to_fit();
        return false;
    }
}

bool encodeTake(const Take& take, CMachineDataOutput& out) {
    if (take.frameCount() == 0) {
        writeU8(out, TakeFormatEmpty);
        return true;
    }
    writeU8(out, TakeFormatWavPack);
    std::vector<uint8_t> stream;
    bool encoded = encodeTakeStream(take.samples(), take.sampleRate, stream);
    if (!writableStream(stream))
        encoded = false;
    writeU32(out, static_cast<uint32_t>(stream.size()));
    writeByteRun(out, stream);
    return encoded;
}

bool writableStream(std::vector<uint8_t>& stream) {
    // Beyond what a reader can address the record would not parse again.
    if (stream.size() <= size_t{INT32_MAX})
        return true;
    stream.clear();
    return false;
}

namespace {

// The record's format byte and, for format 1, its stream's bytes; whole is
// false when the host's input ran dry inside them. For another format
// nothing more is read.
uint8_t readRecord(CMachineDataInput& in, std::vector<uint8_t>& bytes, bool& whole) {
    whole = true;
    const uint8_t format = readU8(in);
    if (format == TakeFormatWavPack) {
        uint32_t length = readU32(in);
        whole = readByteRun(in, length, bytes);
    }
    return format;
}

TakeLoad decodeGuarded(Take& take, const uint8_t* bytes, size_t size, TakeReports& reports,
                       bool& asStored) {
    try {
        return decodeStream(take, bytes, size, reports, asStored);
    } catch (const std::bad_alloc&) {
        // A small stream can hold hours of silence. The record was read
        // whole, so the song data after it still reads.
        Samples().swap(take.changeSamples());
        reports.push_back(outOfMemoryForTake);
        asStored = false;
        return TakeLoad::Failed;
    }
}

void tell(CMICallbacks& host, const TakeReports& reports) {
    for (const std::string& text : reports)
        host.hostMessage(text.c_str());
}

} // namespace

TakeRecordIn readTakeRecord(CMachineDataInput& in) {
    TakeRecordIn record;
    std::vector<uint8_t> bytes;
    record.format = readRecord(in, bytes, record.whole);
    if (record.format == TakeFormatWavPack)
        record.stream = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return record;
}

TakeLoad decodeRecordStream(Take& take, const Take::Stream& stream, TakeReports& reports) {
    bool asStored = false;
    TakeLoad load = decodeGuarded(take, stream->data(), stream->size(), reports, asStored);
    // Only a stream that holds exactly the take is written again as it
    // came; a damaged one is written anew from what could be restored.
    if (load == TakeLoad::Loaded && asStored)
        take.keepStoredStream(stream);
    return load;
}

TakeLoad decodeTake(Take& take, CMachineDataInput& in, CMICallbacks& host) {
    const TakeRecordIn record = readTakeRecord(in);
    if (record.format == TakeFormatEmpty) {
        take.changeSamples().clear();
        return TakeLoad::Loaded;
    }
    if (record.format != TakeFormatWavPack) {
        host.hostMessage(unrecognisedTakeFormat);
        return TakeLoad::Failed;
    }
    TakeReports reports;
    const TakeLoad load = decodeRecordStream(take, record.stream, reports);
    tell(host, reports);
    return record.whole ? load : TakeLoad::InputEnded;
}

TakeLoad readTakeStream(CMachineDataInput& in, TakeStream& stream, CMICallbacks& host) {
    stream = TakeStream{};
    bool whole = true;
    const uint8_t format = readRecord(in, stream.bytes, whole);
    if (format == TakeFormatEmpty)
        return TakeLoad::Loaded;
    if (format != TakeFormatWavPack) {
        host.hostMessage(unrecognisedTakeFormat);
        return TakeLoad::Failed;
    }
    // Opening reads the stream's headers only.
    MemoryReader reader(stream.bytes.data(), stream.bytes.size());
    char error[80] = {};
    Context context(
        WavpackOpenFileInputEx(&MemoryReader::callbacks, &reader, nullptr, error, 0, 0));
    if (context) {
        const uint32_t count = WavpackGetNumSamples(context.get());
        const uint32_t rate = WavpackGetSampleRate(context.get());
        stream.frames = count == std::numeric_limits<uint32_t>::max() ? 0 : count;
        if (isStorableSampleRate(rate))
            stream.sampleRate = static_cast<int32_t>(rate);
    }
    return whole ? TakeLoad::Loaded : TakeLoad::InputEnded;
}

TakeLoad decodeTakeStream(Take& take, const TakeStream& stream, CMICallbacks& host) {
    if (stream.bytes.empty()) {
        take.changeSamples().clear();
        return TakeLoad::Loaded;
    }
    TakeReports reports;
    bool asStored = false;
    const TakeLoad load =
        decodeGuarded(take, stream.bytes.data(), stream.bytes.size(), reports, asStored);
    tell(host, reports);
    return load;
}

} // namespace spoolex
