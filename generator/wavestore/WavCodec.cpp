#include "generator/wavestore/WavCodec.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "hostsdk/ByteOrder.h"

namespace spoolex::wav {

using byteorder::readLe16;
using byteorder::readLe32;

FormatRecord readFormatRecord(const uint8_t* bytes, size_t size) {
    uint8_t record[18] = {};
    std::memcpy(record, bytes, std::min<size_t>(size, sizeof record));
    FormatRecord format;
    format.formatTag = readLe16(record);
    format.channels = readLe16(record + 2);
    format.sampleRate = readLe32(record + 4);
    format.bytesPerSecond = readLe32(record + 8);
    format.blockAlign = readLe16(record + 12);
    format.bitsPerSample = readLe16(record + 14);
    format.extensionSize = readLe16(record + 16);
    return format;
}

bool isImportable(const FormatRecord& format) {
    bool pcm =
        format.formatTag == formatTagPcm &&
        (format.bitsPerSample == 16 || format.bitsPerSample == 24 || format.bitsPerSample == 32);
    bool ieeeFloat = format.formatTag == formatTagFloat && format.bitsPerSample == 32;
    return (pcm || ieeeFloat) && (format.channels == 1 || format.channels == 2);
}

size_t fileFrameBytes(const FormatRecord& format) {
    return isImportable(format) ? size_t{format.channels} * (format.bitsPerSample / 8u) : 0;
}

namespace {

// One sample of the file in the host scale.
struct Pcm16 {
    static constexpr size_t bytes = 2;
    static float read(const uint8_t* p) {
        return static_cast<float>(static_cast<int16_t>(readLe16(p)));
    }
};
struct Pcm24 {
    static constexpr size_t bytes = 3;
    static float read(const uint8_t* p) { return fromPcm24(p); }
};
struct Pcm32 {
    static constexpr size_t bytes = 4;
    static float read(const uint8_t* p) { return fromPcm32(static_cast<int32_t>(readLe32(p))); }
};
struct Float32 {
    static constexpr size_t bytes = 4;
    static float read(const uint8_t* p) {
        uint32_t bits = readLe32(p);
        float value;
        std::memcpy(&value, &bits, 4);
        return fromUnitFloat(value);
    }
};

template <typename Sample>
void decode(const uint8_t* data, size_t frames, bool stereoFile, float* out) {
    if (stereoFile) {
        for (size_t i = 0; i < 2 * frames; ++i)
            out[i] = Sample::read(data + i * Sample::bytes);
        return;
    }
    for (size_t f = 0; f < frames; ++f)
        out[2 * f] = out[2 * f + 1] = Sample::read(data + f * Sample::bytes);
}

} // namespace

void decodeFrames(const FormatRecord& format, const uint8_t* data, size_t frames, float* stereo) {
    bool stereoFile = format.channels == 2;
    if (format.formatTag == formatTagFloat)
        decode<Float32>(data, frames, stereoFile, stereo);
    else if (format.bitsPerSample == 16)
        decode<Pcm16>(data, frames, stereoFile, stereo);
    else if (format.bitsPerSample == 24)
        decode<Pcm24>(data, frames, stereoFile, stereo);
    else
        decode<Pcm32>(data, frames, stereoFile, stereo);
}

size_t MemorySource::readAt(uint64_t offset, void* out, size_t wanted) {
    if (offset >= count)
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(wanted, count - offset));
    std::memcpy(out, bytes + offset, n);
    return n;
}

bool findChunk(ByteSource& source, const char (&code)[5], uint64_t& sizeFieldAt) {
    uint64_t at = 12;
    uint8_t head[8];
    while (source.readAt(at, head, 8) == 8) {
        if (std::memcmp(head, code, 4) == 0) {
            sizeFieldAt = at + 4;
            return true;
        }
        uint32_t size = readLe32(head + 4);
        at += 8 + uint64_t{size} + (size & 1u);
    }
    return false;
}

bool readLayout(ByteSource& source, Layout& layout) {
    uint8_t riff[12];
    if (source.readAt(0, riff, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    uint64_t fmtAt = 0, dataAt = 0;
    if (!findChunk(source, "fmt ", fmtAt) || !findChunk(source, "data", dataAt))
        return false;
    uint8_t fmt[4 + 18] = {};
    size_t got = source.readAt(fmtAt, fmt, sizeof fmt);
    if (got < 4)
        return false;
    size_t fmtBytes = std::min<size_t>({readLe32(fmt), got - 4, 18});
    layout.format = readFormatRecord(fmt + 4, fmtBytes);
    size_t frameBytes = fileFrameBytes(layout.format);
    if (frameBytes == 0)
        return false;
    uint8_t sizeField[4];
    if (source.readAt(dataAt, sizeField, 4) != 4)
        return false;
    layout.dataStart = dataAt + 4;
    // A size field that promises more than the file holds gives the frames
    // present: a take is never sized from a number alone.
    uint64_t present = source.size() > layout.dataStart ? source.size() - layout.dataStart : 0;
    layout.frames = std::min<uint64_t>(readLe32(sizeField), present) / frameBytes;
    return true;
}

namespace {

// Stereo files of 4-byte samples have the take's own layout: read straight
// into the take and convert in place, sparing a pass through a block.
size_t decodeInPlace(ByteSource& source, const Layout& layout, float* out, size_t total) {
    constexpr size_t blockFrames = 1 << 16;
    const bool isFloat = layout.format.formatTag == formatTagFloat;
    size_t done = 0;
    while (done < total) {
        size_t want = std::min(blockFrames, total - done);
        float* block = out + 2 * done;
        size_t got = source.readAt(layout.dataStart + uint64_t{done} * 8, block, want * 8) / 8;
        for (size_t i = 0; i < 2 * got; ++i) {
            uint32_t bits;
            std::memcpy(&bits, block + i, 4);
            block[i] = isFloat ? Float32::read(reinterpret_cast<const uint8_t*>(&bits))
                               : Pcm32::read(reinterpret_cast<const uint8_t*>(&bits));
        }
        done += got;
        if (got < want) {
            // A partly read frame must not stay as raw bytes.
            std::fill(out + 2 * done, out + 2 * (done + want - got), 0.0f);
            break;
        }
    }
    return done;
}

} // namespace

bool decodeAll(ByteSource& source, const Layout& layout, std::vector<float>& stereo) {
    constexpr size_t blockFrames = 16384;
    const size_t frameBytes = fileFrameBytes(layout.format);
    try {
        if (layout.frames > stereo.max_size() / 2)
            return false;
        std::vector<float> out(static_cast<size_t>(layout.frames) * 2);
        const auto total = static_cast<size_t>(layout.frames);
        if (frameBytes == 8 && layout.format.channels == 2) {
            decodeInPlace(source, layout, out.data(), total);
            stereo.swap(out);
            return true;
        }
        std::vector<uint8_t> block(blockFrames * frameBytes);
        size_t done = 0;
        while (done < total) {
            size_t want = std::min(blockFrames, total - done);
            size_t got = source.readAt(layout.dataStart + uint64_t{done} * frameBytes, block.data(),
                                       want * frameBytes) /
                         frameBytes;
            decodeFrames(layout.format, block.data(), got, out.data() + 2 * done);
            done += got;
            if (got < want)
                break; // the file shrank since its size was taken: the rest stays silent
        }
        stereo.swap(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool isKnownFormat(WavSampleFormat format) {
    return format == WavSampleFormat::Int16 || format == WavSampleFormat::Float32 ||
           format == WavSampleFormat::Int32 || format == WavSampleFormat::Int24;
}

uint16_t bitsPerSample(WavSampleFormat format) {
    switch (format) {
    case WavSampleFormat::Int16:
        return 16;
    case WavSampleFormat::Int24:
        return 24;
    case WavSampleFormat::Float32:
    case WavSampleFormat::Int32:
        return 32;
    }
    return 0;
}

void writeHeader(WavSampleFormat format, uint32_t sampleRate, uint32_t frames, uint8_t* out) {
    using byteorder::writeLe16;
    using byteorder::writeLe32;
    const uint16_t blockAlign = static_cast<uint16_t>(bitsPerSample(format) * 2 / 8);
    const uint32_t dataBytes = blockAlign * frames;
    std::memcpy(out, "RIFF", 4);
    writeLe32(out + 4, static_cast<uint32_t>(headerSize - 8) + dataBytes);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    writeLe32(out + 16, 16);
    writeLe16(out + 20, format == WavSampleFormat::Float32 ? formatTagFloat : formatTagPcm);
    writeLe16(out + 22, 2);
    writeLe32(out + 24, sampleRate);
    writeLe32(out + 28, blockAlign * sampleRate);
    writeLe16(out + 32, blockAlign);
    writeLe16(out + 34, bitsPerSample(format));
    std::memcpy(out + 36, "data", 4);
    writeLe32(out + 40, dataBytes);
}

namespace {
// On a little-endian machine the bytes are already in file order: a plain
// copy lets the compiler keep the conversion loops vectorised.
inline void storeLe16(uint8_t* p, uint16_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(p, &v, 2);
#else
    byteorder::writeLe16(p, v);
#endif
}
inline void storeLe32(uint8_t* p, uint32_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(p, &v, 4);
#else
    byteorder::writeLe32(p, v);
#endif
}
} // namespace

int32_t truncateToInt32(float value) {
    // Converting a float outside the int32 range is undefined: such values
    // (and infinities) stop at the range's ends, NaN gives silence.
    if (value != value)
        return 0;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

void encodeSamples(WavSampleFormat format, const float* samples, size_t count, uint8_t* out) {
    switch (format) {
    case WavSampleFormat::Int16:
        for (size_t i = 0; i < count; ++i)
            storeLe16(out + 2 * i, static_cast<uint16_t>(lowInt16Bits(samples[i])));
        return;
    case WavSampleFormat::Float32:
        for (size_t i = 0; i < count; ++i) {
            float value = toUnitFloat(samples[i]);
            uint32_t bits;
            std::memcpy(&bits, &value, 4);
            storeLe32(out + 4 * i, bits);
        }
        return;
    case WavSampleFormat::Int32:
        for (size_t i = 0; i < count; ++i)
            storeLe32(out + 4 * i, static_cast<uint32_t>(truncateToInt32(samples[i] * 65536.0f)));
        return;
    case WavSampleFormat::Int24:
        for (size_t i = 0; i < count; ++i) {
            auto v = static_cast<uint32_t>(truncateToInt32(samples[i] * 65536.0f));
            out[3 * i] = static_cast<uint8_t>(v >> 8);
            out[3 * i + 1] = static_cast<uint8_t>(v >> 16);
            out[3 * i + 2] = static_cast<uint8_t>(v >> 24);
        }
        return;
    }
}

} // namespace spoolex::wav
