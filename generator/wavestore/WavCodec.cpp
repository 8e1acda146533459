#include "generator/wavestore/WavCodec.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "hostsdk/ByteOrder.h"

namespace spoolex::wav {

using byteorder::readLe16;
using byteorder::readLe32;
using byteorder::readLe64;
using byteorder::writeLe16;
using byteorder::writeLe32;
using byteorder::writeLe64;

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

void resolveExtensible(FormatRecord& format, const uint8_t* bytes, size_t size) {
    // After the 18 common bytes: valid bits (16), channel mask (32), and the
    // sub-format GUID, whose first two bytes are the plain tag it stands for.
    static const uint8_t guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    constexpr size_t extensibleBytes = 40;
    if (format.formatTag != formatTagExtensible || size < extensibleBytes ||
        format.extensionSize < extensibleBytes - 18)
        return;
    const uint16_t validBits = readLe16(bytes + 18);
    const uint16_t subFormat = readLe16(bytes + 24);
    if (std::memcmp(bytes + 26, guidTail, sizeof guidTail) != 0 ||
        validBits != format.bitsPerSample)
        return;
    if (subFormat == formatTagPcm || subFormat == formatTagFloat)
        format.formatTag = subFormat;
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
// Decoded two samples at a time: see decode<Pcm24> below.
struct Pcm24 {};
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

// 24-bit samples move two at a time through one 8-byte load or store, which
// reaches two bytes past the pair; the last pairs, where that would leave
// the buffer, go byte by byte. In memory a sample sits in bits 8 to 31 of an
// int32, so its sign comes with it.
//
//   bytes   | s0 s0 s0 | s1 s1 s1 | next pair...
//   8 bytes [----------------------------]   read or written per pair
constexpr size_t int24PairBytes = 6;

size_t pairsWithinReach(size_t samples) {
    const size_t bytes = 3 * samples;
    return bytes >= 8 ? std::min(samples / 2, (bytes - 8) / int24PairBytes + 1) : 0;
}

void unpackInt24(const uint8_t* data, size_t samples, int32_t* shifted) {
    const size_t pairs = pairsWithinReach(samples);
    for (size_t k = 0; k < pairs; ++k, data += int24PairBytes) {
        const uint64_t w = readLe64(data);
        shifted[2 * k] = static_cast<int32_t>(static_cast<uint32_t>(w) << 8);
        shifted[2 * k + 1] = static_cast<int32_t>(static_cast<uint32_t>(w >> 24) << 8);
    }
    for (size_t k = 2 * pairs; k < samples; ++k, data += 3)
        shifted[k] = static_cast<int32_t>(uint32_t{data[0]} << 8 | uint32_t{data[1]} << 16 |
                                          uint32_t{data[2]} << 24);
}

// values: 32-bit integers whose top 24 bits are written.
void packInt24(const int32_t* values, size_t samples, uint8_t* out) {
    auto bits = [values](size_t k) { return uint64_t{static_cast<uint32_t>(values[k]) >> 8}; };
    const size_t pairs = pairsWithinReach(samples);
    for (size_t k = 0; k < pairs; ++k, out += int24PairBytes)
        writeLe64(out, bits(2 * k) | bits(2 * k + 1) << 24);
    for (size_t k = 2 * pairs; k < samples; ++k, out += 3) {
        const uint64_t v = bits(k);
        out[0] = static_cast<uint8_t>(v);
        out[1] = static_cast<uint8_t>(v >> 8);
        out[2] = static_cast<uint8_t>(v >> 16);
    }
}

// Through a chunk of integers on the stack: unpacking is one pass, and the
// conversion to floats, with nothing aliasing the chunk, vectorises.
template <> void decode<Pcm24>(const uint8_t* data, size_t frames, bool stereoFile, float* out) {
    constexpr size_t chunk = 1024;
    constexpr float scale = 0.00390625f * 0.00390625f;
    int32_t shifted[chunk];
    const size_t samples = stereoFile ? 2 * frames : frames;
    for (size_t done = 0; done < samples; done += chunk) {
        const size_t n = std::min(chunk, samples - done);
        unpackInt24(data + 3 * done, n, shifted);
        if (stereoFile) {
            for (size_t k = 0; k < n; ++k)
                out[done + k] = static_cast<float>(shifted[k]) * scale;
        } else {
            for (size_t k = 0; k < n; ++k)
                out[2 * (done + k)] = out[2 * (done + k) + 1] =
                    static_cast<float>(shifted[k]) * scale;
        }
    }
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
    uint8_t fmt[4 + 40] = {};
    size_t got = source.readAt(fmtAt, fmt, sizeof fmt);
    if (got < 4)
        return false;
    size_t fmtBytes = std::min<size_t>(readLe32(fmt), got - 4);
    layout.format = readFormatRecord(fmt + 4, fmtBytes);
    resolveExtensible(layout.format, fmt + 4, fmtBytes);
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

bool decodeAll(ByteSource& source, const Layout& layout, Samples& stereo) {
    // Small enough that a block's samples are still in the cache when they
    // are converted. The take is sized once, without a fill (its frame count
    // never exceeds what the file holds): each page is first touched as its
    // block is written, and a file that shrank meanwhile leaves silence.
    constexpr size_t blockFrames = 32768;
    const size_t frameBytes = fileFrameBytes(layout.format);
    try {
        if (layout.frames > stereo.max_size() / 2)
            return false;
        const auto total = static_cast<size_t>(layout.frames);
        Samples out = bulkSamples(total * 2);
        std::vector<uint8_t> block(blockFrames * frameBytes);
        size_t done = 0;
        while (done < total) {
            const size_t want = std::min(blockFrames, total - done);
            const uint64_t offset = layout.dataStart + uint64_t{done} * frameBytes;
            const size_t got = source.readAt(offset, block.data(), want * frameBytes) / frameBytes;
            decodeFrames(layout.format, block.data(), got, out.data() + 2 * done);
            done += got;
            if (got < want)
                break;
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

int32_t truncateToInt32(float value) {
    // Converting a float outside the int32 range is undefined: such values
    // (and infinities) stop at the range's ends, NaN gives silence. Selects,
    // not branches, so that the export loops vectorise.
    const float atLeastMin = value > -2147483648.0f ? value : -2147483648.0f; // NaN: the minimum
    const float convertible = atLeastMin < 2147483648.0f ? atLeastMin : 0.0f;
    int32_t result = static_cast<int32_t>(convertible);
    result = value >= 2147483648.0f ? INT32_MAX : result;
    return value == value ? result : 0;
}

namespace {

// The integer formats go through a chunk of 32-bit integers on the stack:
// with nothing aliasing it, the conversion loop vectorises, and packing the
// integers into the file's bytes is a second, cheap pass.
template <typename Pack>
void encodeIntegers(const float* samples, size_t count, float scale, Pack pack) {
    constexpr size_t chunk = 1024;
    int32_t values[chunk];
    for (size_t done = 0; done < count; done += chunk) {
        const size_t n = std::min(chunk, count - done);
        for (size_t k = 0; k < n; ++k)
            values[k] = truncateToInt32(samples[done + k] * scale);
        pack(values, n, done);
    }
}

} // namespace

void encodeSamples(WavSampleFormat format, const float* samples, size_t count, uint8_t* out) {
    switch (format) {
    case WavSampleFormat::Int16:
        encodeIntegers(samples, count, 1.0f, [out](const int32_t* values, size_t n, size_t at) {
            for (size_t k = 0; k < n; ++k)
                writeLe16(out + 2 * (at + k), static_cast<uint16_t>(saturateInt16(values[k])));
        });
        return;
    case WavSampleFormat::Float32:
        for (size_t i = 0; i < count; ++i) {
            float value = toUnitFloat(samples[i]);
            uint32_t bits;
            std::memcpy(&bits, &value, 4);
            writeLe32(out + 4 * i, bits);
        }
        return;
    case WavSampleFormat::Int32:
        encodeIntegers(samples, count, 65536.0f, [out](const int32_t* values, size_t n, size_t at) {
            for (size_t k = 0; k < n; ++k)
                writeLe32(out + 4 * (at + k), static_cast<uint32_t>(values[k]));
        });
        return;
    case WavSampleFormat::Int24:
        encodeIntegers(samples, count, 65536.0f, [out](const int32_t* values, size_t n, size_t at) {
            packInt24(values, n, out + 3 * at);
        });
        return;
    }
}

} // namespace spoolex::wav
