// Opening and saving a song that holds an hour of takes: 60 one-minute
// takes of music-like audio in six patterns, as the host loads and saves it.
// Each step is timed beside the same work done on one thread, on the same
// streams, in the same run:
//
//   open             against decoding every stream on one thread
//   save unchanged   against encoding every take on one thread
//   save after one take changed   against the same
//
// and a song of one 10-minute take (fewer minutes with fewer takes), opened,
// against decoding its stream on one thread. A summary of the ratios, their targets and the memory
// the kept streams cost follows the table.
//
//   song_io_benchmark [--takes N] [benchmark flags]
//   (--benchmark_repetitions=3 for medians)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/BenchmarkSong.h"
#include "benchmarks/MusicLikeAudio.h"
#include "generator/wavestore/TakeRecord.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int sampleRate = 44100;
constexpr size_t minuteFrames = size_t{sampleRate} * 60;
constexpr int takesPerPattern = 10;
int takeCount = 60;

// Every take is the same minute of music, turned by a different number of
// frames, so that no two streams are alike.
std::vector<float> minuteOfMusic(size_t turn) {
    static const std::vector<float> minute = benchmarks::musicLikeAudio(minuteFrames, sampleRate);
    const size_t at = 2 * (turn % minuteFrames);
    std::vector<float> samples(minute.begin() + static_cast<std::ptrdiff_t>(at), minute.end());
    samples.insert(samples.end(), minute.begin(), minute.begin() + static_cast<std::ptrdiff_t>(at));
    return samples;
}

std::string patternName(int index) {
    return "P" + std::to_string(index);
}

// A song saved by a machine holding the given takes (minutes each).
std::vector<uint8_t> songOf(host::Host& host, const std::vector<int>& takeMinutes) {
    host::HostMachine* placed = benchmarks::placeGenerator(host);
    auto& machine = *static_cast<spoolex::mi*>(placed->machine);
    for (size_t i = 0; i < takeMinutes.size(); ++i) {
        const int p = static_cast<int>(i) / takesPerPattern;
        if (!host.findPattern(patternName(p)))
            host.createPattern(*placed, patternName(p), 64);
        std::vector<float> samples;
        for (int m = 0; m < takeMinutes[i]; ++m) {
            std::vector<float> minute = minuteOfMusic(7919 * (i * 13 + m + 1));
            samples.insert(samples.end(), minute.begin(), minute.end());
        }
        spoolex::Pattern& pattern =
            *machine.findPattern(host.findPattern(patternName(p))->handle());
        auto hold = machine.lockAudio();
        spoolex::Take& take = pattern.addTake();
        take.sampleRate = sampleRate;
        take.changeSamples().assign(samples.begin(), samples.end());
    }
    std::vector<uint8_t> data = host.saveSongData(*placed);
    host.destroyMachine(placed);
    for (host::HostPattern* pattern : host.patternsInOrder())
        host.deletePattern(pattern);
    return data;
}

// The song of many takes, and the long one.
struct Songs {
    host::Host host;
    std::vector<uint8_t> manyTakes;
    std::vector<uint8_t> longTake;
    Songs() {
        manyTakes = songOf(host, std::vector<int>(static_cast<size_t>(takeCount), 1));
        longTake = songOf(host, {std::min(10, takeCount)});
    }
};
Songs& songs() {
    static Songs made;
    return made;
}

// A song opened in the host, its patterns announced.
struct OpenSong {
    host::HostMachine* placed = nullptr;

    void open(host::Host& host, const std::vector<uint8_t>& data) {
        close(host);
        placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Loaded", &data);
    }
    void announce(host::Host& host, int patterns) {
        for (int p = 0; p < patterns; ++p)
            host.createPattern(*placed, patternName(p), 64);
    }
    void close(host::Host& host) {
        if (!placed)
            return;
        host.destroyMachine(placed);
        placed = nullptr;
        for (host::HostPattern* pattern : host.patternsInOrder())
            host.deletePattern(pattern);
    }
    std::vector<spoolex::Take*> takes(host::Host& host) {
        auto& machine = *static_cast<spoolex::mi*>(placed->machine);
        std::vector<spoolex::Take*> all;
        for (host::HostPattern* hostPattern : host.patternsInOrder())
            for (const auto& take : machine.findPattern(hostPattern->handle())->takes)
                all.push_back(take.get());
        return all;
    }
};
OpenSong opened;

// Seconds of each run of each step, for the summary.
std::vector<double> openTimes, decodeTimes, encodeTimes, unchangedTimes, editedTimes;
std::vector<double> openLongTimes, decodeLongTimes;
size_t sampleBytes = 0, streamBytes = 0;
long residentGrowthKb = 0;

long residentKb() {
    long kb = 0;
    if (FILE* status = std::fopen("/proc/self/statm", "r")) {
        long pages = 0, resident = 0;
        if (std::fscanf(status, "%ld %ld", &pages, &resident) == 2)
            kb = resident * 4;
        std::fclose(status);
    }
    return kb;
}

template <typename Work> double timed(Work work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The host's side of a save: a buffer with room for the whole song, made
// once, so that a save costs what the machine does plus one copy of the
// song's bytes (a growing buffer would add the host's own reallocations).
class SongBuffer final : public CMachineDataOutput {
public:
    void write(const void* buffer, int size) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        if (size > 0 && used + static_cast<size_t>(size) <= bytes.size())
            std::memcpy(bytes.data() + used, p, static_cast<size_t>(size));
        used += static_cast<size_t>(std::max(size, 0));
    }
    void start(size_t room) {
        bytes.resize(std::max(bytes.size(), room), 1);
        used = 0;
    }
    size_t size() const { return used; }

private:
    std::vector<uint8_t> bytes;
    size_t used = 0;
};
SongBuffer saved;

double save() {
    saved.start(songs().manyTakes.size() + (size_t{1} << 20));
    return timed([] { opened.placed->machine->saveSongData(&saved); });
}

void record(benchmark::State& state, std::vector<double>& times, double seconds) {
    state.SetIterationTime(seconds);
    times.push_back(seconds);
}

int patternCount() {
    return (takeCount + takesPerPattern - 1) / takesPerPattern;
}

void openedMany() {
    if (opened.placed)
        return;
    opened.open(songs().host, songs().manyTakes);
    opened.announce(songs().host, patternCount());
}

// Decodes every stream of the opened song on this thread, one at a time,
// into takes that are all kept until the end, as opening the song keeps
// them (a take freed at once would hand its memory to the next one).
double decodeOneThread() {
    std::vector<spoolex::Take::Stream> streams;
    for (spoolex::Take* take : opened.takes(songs().host))
        streams.push_back(take->storedStream());
    std::vector<spoolex::Take> decoded(streams.size());
    return timed([&] {
        for (size_t i = 0; i < streams.size(); ++i) {
            spoolex::TakeReports reports;
            if (!streams[i] || spoolex::decodeRecordStream(decoded[i], streams[i], reports) !=
                                   spoolex::TakeLoad::Loaded)
                std::abort();
        }
    });
}

void OneThreadDecode(benchmark::State& state) {
    openedMany();
    for (auto _ : state)
        record(state, decodeTimes, decodeOneThread());
}

void OpenSongOfManyTakes(benchmark::State& state) {
    host::Host& host = songs().host;
    for (auto _ : state) {
        opened.close(host);
        const long before = residentKb();
        record(state, openTimes, timed([&] { opened.open(host, songs().manyTakes); }));
        residentGrowthKb = residentKb() - before;
        opened.announce(host, patternCount());
    }
    sampleBytes = streamBytes = 0;
    for (spoolex::Take* take : opened.takes(host)) {
        sampleBytes += take->samples().size() * sizeof(float);
        streamBytes += take->storedStream() ? take->storedStream()->size() : 0;
    }
    state.counters["takes"] = static_cast<double>(opened.takes(host).size());
}

void OneThreadEncode(benchmark::State& state) {
    openedMany();
    std::vector<spoolex::Take*> takes = opened.takes(songs().host);
    std::vector<std::vector<uint8_t>> streams(takes.size());
    for (auto _ : state)
        record(state, encodeTimes, timed([&] {
                   for (size_t i = 0; i < takes.size(); ++i)
                       spoolex::encodeTakeStream(takes[i]->samples(), takes[i]->sampleRate,
                                                 streams[i]);
               }));
    // What an unchanged save writes again is what encoding makes.
    for (size_t i = 0; i < takes.size(); ++i)
        if (!takes[i]->storedStream() || *takes[i]->storedStream() != streams[i])
            state.SkipWithError("a kept stream differs from a fresh encode");
}

void SaveUnchanged(benchmark::State& state) {
    openedMany();
    for (auto _ : state) {
        record(state, unchangedTimes, save());
        // The patterns come in the order of the host's handles, which need
        // not be the first save's: the same bytes, perhaps in another order.
        if (saved.size() != songs().manyTakes.size())
            state.SkipWithError("the unchanged song saved differently");
    }
}

void SaveAfterOneTakeChanged(benchmark::State& state) {
    openedMany();
    spoolex::Take& take = *opened.takes(songs().host)[static_cast<size_t>(takeCount / 2)];
    auto& machine = *static_cast<spoolex::mi*>(opened.placed->machine);
    for (auto _ : state) {
        {
            auto hold = machine.lockAudio();
            take.changeSamples()[0] += 1.0f;
        }
        record(state, editedTimes, save());
    }
}

void OneThreadDecodeLongTake(benchmark::State& state) {
    opened.open(songs().host, songs().longTake);
    opened.announce(songs().host, 1);
    for (auto _ : state)
        record(state, decodeLongTimes, decodeOneThread());
}

void OpenSongOfOneLongTake(benchmark::State& state) {
    for (auto _ : state) {
        opened.close(songs().host);
        record(state, openLongTimes, timed([&] { opened.open(songs().host, songs().longTake); }));
    }
    opened.close(songs().host);
}

BENCHMARK(OneThreadDecode)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSongOfManyTakes)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OneThreadEncode)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SaveUnchanged)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SaveAfterOneTakeChanged)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OneThreadDecodeLongTake)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSongOfOneLongTake)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void compare(const char* step, const std::vector<double>& ours, const char* reference,
             const std::vector<double>& theirs, double target) {
    if (ours.empty() || theirs.empty())
        return;
    const double ratio = median(ours) / median(theirs);
    std::printf("%-26s %8.3f s  %-22s %8.3f s  ratio %.3f  target <= %.3f  %s\n", step,
                median(ours), reference, median(theirs), ratio, target,
                ratio <= target ? "met" : "MISSED");
}

void summarise() {
    std::printf("\n%d takes of one minute; medians\n", takeCount);
    compare("open", openTimes, "one-thread decode", decodeTimes, 0.6);
    compare("save unchanged", unchangedTimes, "one-thread encode", encodeTimes, 0.05);
    compare("save, one take changed", editedTimes, "one-thread encode", encodeTimes,
            1.0 / takeCount + 0.05);
    compare("open, one long take", openLongTimes, "one-thread decode", decodeLongTimes, 0.6);
    if (sampleBytes > 0)
        std::printf("memory: samples %.1f MB, kept streams %.1f MB (%.2f of the samples); "
                    "resident growth on open %.1f MB\n",
                    sampleBytes / 1e6, streamBytes / 1e6,
                    static_cast<double>(streamBytes) / static_cast<double>(sampleBytes),
                    residentGrowthKb / 1e3);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--takes") == 0) {
            takeCount = std::max(1, std::atoi(argv[i + 1]));
            std::copy(argv + i + 2, argv + argc, argv + i);
            argc -= 2;
            break;
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    opened.close(songs().host);
    summarise();
    return 0;
}
