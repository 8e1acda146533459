#include "host/Wavetable.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "generator/model/Take.h"
#include "generator/wavestore/Exporter.h"
#include "generator/wavestore/FileSource.h"
#include "generator/wavestore/WavCodec.h"
#include "generator/wavestore/WaveLevel.h"
#include "host/FileChecks.h"
#include "host/SongDocument.h"

namespace host {

namespace {
constexpr size_t extendedHeaderBytes = 8;
constexpr uint16_t extendedFloat = 1;
} // namespace

Wavetable::Wave* Wavetable::wave(int slot) const {
    if (slot < 1 || slot > slotCount)
        return nullptr;
    return waves[static_cast<size_t>(slot - 1)].get();
}

const CWaveInfo* Wavetable::info(int slot) const {
    Wave* w = wave(slot);
    return w ? &w->info : nullptr;
}

const CWaveLevel* Wavetable::level(int slot, int levelIndex) const {
    Wave* w = wave(slot);
    return w && levelIndex == 0 ? &w->level : nullptr;
}

const char* Wavetable::name(int slot) const {
    Wave* w = wave(slot);
    return w ? w->name.c_str() : "";
}

bool Wavetable::allocate(int slot, int size, const std::string& waveName, int sampleRate) {
    if (slot < 1 || slot > slotCount || size < 0)
        return false;
    auto fresh = std::unique_ptr<Wave>(new (std::nothrow) Wave);
    if (!fresh)
        return false;
    try {
        fresh->samples.assign(static_cast<size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    fresh->name = waveName;
    fresh->level.numSamples = size;
    fresh->level.loopEnd = size;
    fresh->level.samplesPerSec = sampleRate;
    fresh->level.samples = fresh->samples.data();
    waves[static_cast<size_t>(slot - 1)] = std::move(fresh);
    return true;
}

void Wavetable::clear(int slot) {
    if (slot >= 1 && slot <= slotCount)
        waves[static_cast<size_t>(slot - 1)].reset();
}

bool Wavetable::select(int slot) {
    if (slot < 0 || slot > slotCount)
        return false;
    selectedSlot = slot;
    return true;
}

std::vector<uint8_t> Wavetable::data(int slot) const {
    Wave* w = wave(slot);
    if (!w)
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(w->samples.data());
    return std::vector<uint8_t>(bytes, bytes + w->samples.size() * sizeof(int16_t));
}

void Wavetable::saveInto(SongDocument& song) const {
    song.selectedWave = static_cast<uint32_t>(selectedSlot);
    song.waves.clear();
    for (int slot = 1; slot <= slotCount; ++slot) {
        Wave* w = wave(slot);
        if (!w)
            continue;
        song.waves.push_back({static_cast<uint32_t>(slot), w->name, w->info.flags,
                              w->level.numSamples, w->level.samplesPerSec, w->level.loopEnd,
                              data(slot)});
    }
}

bool Wavetable::loadFrom(const SongDocument& song, std::string& error) {
    for (auto& w : waves)
        w.reset();
    selectedSlot = static_cast<int>(song.selectedWave);
    for (const SongWave& saved : song.waves) {
        int slot = static_cast<int>(saved.slot);
        if (!allocate(slot, static_cast<int>(saved.data.size() / 2), saved.name,
                      saved.sampleRate)) {
            error = "wave " + std::to_string(slot) + " cannot be held";
            return false;
        }
        Wave& w = *wave(slot);
        std::memcpy(w.samples.data(), saved.data.data(), w.samples.size() * sizeof(int16_t));
        w.info.flags = saved.flags;
        w.level.numSamples = saved.sampleCount;
        w.level.loopEnd = saved.loopEnd;
        // A machine reads as many bytes as the records promise: never more
        // than the wave holds.
        int64_t channels = (saved.flags & WaveFlagStereo) ? 2 : 1;
        int64_t frames = (saved.flags & WaveFlagExtended) ? (int64_t{saved.sampleCount} - 8) / 2
                                                          : int64_t{saved.sampleCount};
        int64_t bytes =
            (saved.flags & WaveFlagExtended)
                ? (frames > 0 ? int64_t(extendedHeaderBytes) + frames * channels * 4 : 0)
                : frames * channels * 2;
        if (bytes > static_cast<int64_t>(w.samples.size() * sizeof(int16_t))) {
            error = "wave " + std::to_string(slot) + " is shorter than its sample count";
            return false;
        }
    }
    return true;
}

bool waveFromWavFile(Wavetable& table, int slot, const std::string& path, int sampleRateFallback,
                     std::string& error) {
    using namespace spoolex::wav;
    FileSource file(path);
    Layout layout;
    spoolex::Samples stereo;
    if (!file.isOpen() || !readLayout(file, layout)) {
        error = path + " is not a WAV file of 16-, 24-, 32-bit PCM or 32-bit float, mono or stereo";
        return false;
    }
    if (!decodeAll(file, layout, stereo)) {
        error = path + " is too long to hold";
        return false;
    }
    const bool stereoWave = layout.format.channels == 2;
    const bool int16 = layout.format.formatTag == formatTagPcm && layout.format.bitsPerSample == 16;
    const int64_t frames = static_cast<int64_t>(layout.frames);
    const int64_t values = frames * (stereoWave ? 2 : 1);
    // 16-bit waves hold their values; others are extended 32-bit float ones.
    const int64_t size = int16 ? values : (extendedHeaderBytes + 4 * values) / 2;
    const int64_t count = int16 ? frames : 2 * frames + 8;
    if (size > INT32_MAX || count > INT32_MAX ||
        !table.allocate(slot, static_cast<int>(size), path.substr(path.find_last_of("/\\") + 1),
                        layout.format.sampleRate ? static_cast<int>(layout.format.sampleRate)
                                                 : sampleRateFallback)) {
        error = "wave " + std::to_string(slot) + " cannot hold " + path;
        return false;
    }
    auto& info = const_cast<CWaveInfo&>(*table.info(slot));
    auto& level = const_cast<CWaveLevel&>(*table.level(slot, 0));
    info.flags = (stereoWave ? WaveFlagStereo : 0) | (int16 ? 0 : WaveFlagExtended);
    level.numSamples = level.loopEnd = static_cast<int32_t>(count);
    auto* out = reinterpret_cast<uint8_t*>(level.samples);
    if (!int16) {
        std::memcpy(out, &extendedFloat, 2);
        out += extendedHeaderBytes;
    }
    for (int64_t f = 0; f < frames; ++f)
        for (int c = 0; c < (stereoWave ? 2 : 1); ++c) {
            float x = stereo[static_cast<size_t>(2 * f + c)];
            size_t at = static_cast<size_t>(f * (stereoWave ? 2 : 1) + c);
            if (int16) {
                auto v = static_cast<int16_t>(x);
                std::memcpy(out + 2 * at, &v, 2);
            } else {
                float v = spoolex::wav::toUnitFloat(x);
                std::memcpy(out + 4 * at, &v, 4);
            }
        }
    return true;
}

bool waveToWavFile(const Wavetable& table, int slot, const std::string& path, std::string& error) {
    const CWaveInfo* info = table.info(slot);
    const CWaveLevel* level = table.level(slot, 0);
    if (!info || !level) {
        error = "wave " + std::to_string(slot) + " is empty";
        return false;
    }
    spoolex::Take take;
    take.sampleRate = level->samplesPerSec;
    if (!spoolex::decodeWaveLevel(info->flags, *level, take.changeSamples())) {
        error = "wave " + std::to_string(slot) + " is too long to convert";
        return false;
    }
    bool extended = (info->flags & WaveFlagExtended) != 0;
    spoolex::WavExporter exporter(extended ? spoolex::WavSampleFormat::Float32
                                           : spoolex::WavSampleFormat::Int16);
    errno = 0;
    if (!exporter.exportRange(take, path, 0, static_cast<uint32_t>(take.frameCount()))) {
        error = "cannot write " + path + (errno ? ": " + systemReason() : std::string());
        return false;
    }
    return true;
}

} // namespace host
