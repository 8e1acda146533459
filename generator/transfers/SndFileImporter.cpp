#include "generator/transfers/SndFileImporter.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>
#include <new>

#include "generator/wavestore/FreshSamples.h"
#include "generator/wavestore/StorableSampleRate.h"
#include "generator/wavestore/WavCodec.h"

namespace spoolex {

namespace {

struct FileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, FileCloser>;

SoundFile openAccepted(const std::string& path, const std::vector<int>& majors, SF_INFO& info) {
    info = SF_INFO{};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        return nullptr;
    const bool known =
        std::find(majors.begin(), majors.end(), info.format & SF_FORMAT_TYPEMASK) != majors.end();
    if (!known || (info.channels != 1 && info.channels != 2) ||
        !isStorableSampleRate(info.samplerate))
        return nullptr;
    return file;
}

// The file's frames as interleaved stereo in the host scale. The frame
// count in the header is not trusted: the take grows as frames arrive.
bool decodeAll(SNDFILE* file, const SF_INFO& info, Samples& stereo) {
    constexpr sf_count_t blockFrames = 32768;
    // Integer samples as fractions of full scale: exact for 16 and 24 bits.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    const auto channels = static_cast<size_t>(info.channels);
    try {
        Samples out;
        // Room for the frames the header promises, when the system grants it;
        // a header that promises too much only costs growing as we go.
        if (info.frames > 0 && static_cast<uint64_t>(info.frames) < out.max_size() / 4) {
            try {
                out.reserve(2 * static_cast<size_t>(info.frames));
            } catch (const std::bad_alloc&) {
            }
        }
        std::vector<float> block(static_cast<size_t>(blockFrames) * channels);
        for (;;) {
            const sf_count_t got = sf_readf_float(file, block.data(), blockFrames);
            if (got <= 0)
                break;
            const auto n = static_cast<size_t>(got);
            float* to = appendFreshSamples(out, 2 * n);
            for (size_t f = 0; f < n; ++f) {
                to[2 * f] = wav::fromUnitFloat(block[f * channels]);
                to[2 * f + 1] = wav::fromUnitFloat(block[f * channels + channels - 1]);
            }
        }
        // A stream that stops with an error is damaged, not short.
        if (sf_error(file) != SF_ERR_NO_ERROR)
            return false;
        stereo.swap(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool SndFileImporter::canImport(const std::string& path) {
    SF_INFO info;
    return openAccepted(path, majors, info) != nullptr;
}

bool SndFileImporter::importInto(Take& take, const std::string& path) {
    SF_INFO info;
    SoundFile file = openAccepted(path, majors, info);
    Samples samples;
    if (!file || !decodeAll(file.get(), info, samples))
        return false;
    replaceTakeSamples(take, std::move(samples), info.samplerate);
    return true;
}

std::vector<std::unique_ptr<Importer>> sndFileImporters() {
    std::vector<std::unique_ptr<Importer>> importers;
    importers.push_back(std::make_unique<SndFileImporter>(
        "FLAC format", "*.flac", std::initializer_list<int>{SF_FORMAT_FLAC}));
    importers.push_back(std::make_unique<SndFileImporter>(
        "AIFF format", "*.aif;*.aiff;*.aifc", std::initializer_list<int>{SF_FORMAT_AIFF}));
    importers.push_back(
        std::make_unique<SndFileImporter>("CAF and AU formats", "*.caf;*.au;*.snd",
                                          std::initializer_list<int>{SF_FORMAT_CAF, SF_FORMAT_AU}));
    return importers;
}

} // namespace spoolex
