// Encoding and decoding a 60-second stereo take, entirely in memory.
//
//   wavestore_benchmark [benchmark flags]   runs the benchmarks
//   wavestore_benchmark --write-wav PATH     writes the same audio as a 32-bit
//                                            float WAV file for the tools
//   wavestore_benchmark --write-stream PATH  writes our stream of it
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "benchmarks/MusicLikeAudio.h"
#include "generator/wavestore/TakeRecord.h"
#include "host/DataStreams.h"
#include "hostsdk/HostServices.h"

namespace {

constexpr int sampleRate = 44100;
constexpr size_t takeFrames = size_t{sampleRate} * 60;

const spoolex::Take& musicTake() {
    static const spoolex::Take take = [] {
        spoolex::Take made;
        made.sampleRate = sampleRate;
        const std::vector<float> music = benchmarks::musicLikeAudio(takeFrames, sampleRate);
        made.changeSamples().assign(music.begin(), music.end());
        return made;
    }();
    return take;
}

// Host services for decoding: every message is printed.
class PrintingHost final : public CMICallbacks {
public:
    const CWaveInfo* waveInfo(int) override { return nullptr; }
    const CWaveLevel* waveLevel(int, int) override { return nullptr; }
    void hostMessage(const char* text) override { std::fprintf(stderr, "%s\n", text); }
    bool allocateWave(int, int, const char*) override { return false; }
    void* probeExtendedHost(int, int) override { return nullptr; }
    const char* patternNameOf(CPattern*) override { return ""; }
    void registerExtension(CMachineInterfaceEx*) override {}
    CMachine* ownMachine() override { return nullptr; }
    void setParameterFromControl(CMachine*, int, int, int, int) override {}
    int hostStateFlags() override { return 0; }
    void subscribeEvent(CMachine*, int, EventHandler, void*) override {}
    const char* waveName(int) override { return ""; }
    const CMachineInfo* machineInfoOf(CMachine*) override { return nullptr; }
    const char* machineNameOf(CMachine*) override { return ""; }
    int hostVersion() override { return 0; }
    void markSongModified() override {}
    int themeColour(const char*) override { return 0; }
    int selectedWave() override { return 0; }
    void onOwnMachineEvent(CMachine*, bool) override {}
    int sequenceRank(CSequence*) override { return 0; }
};

std::vector<uint8_t> encodedRecord() {
    host::MemoryOutput out;
    spoolex::encodeTake(musicTake(), out);
    return out.data();
}

void EncodeTake60s(benchmark::State& state) {
    const spoolex::Take& take = musicTake();
    size_t recordBytes = 0;
    for (auto _ : state) {
        host::MemoryOutput out;
        spoolex::encodeTake(take, out);
        recordBytes = out.data().size();
        benchmark::DoNotOptimize(recordBytes);
    }
    state.counters["stream_bytes"] = static_cast<double>(recordBytes - 5);
    state.SetBytesProcessed(state.iterations() * take.samples().size() * sizeof(float));
}
BENCHMARK(EncodeTake60s)->Unit(benchmark::kMillisecond)->UseRealTime();

void DecodeTake60s(benchmark::State& state) {
    std::vector<uint8_t> record = encodedRecord();
    PrintingHost host;
    for (auto _ : state) {
        // The host holds the song data before it hands it over.
        state.PauseTiming();
        host::MemoryInput in(record);
        state.ResumeTiming();
        spoolex::Take take;
        if (spoolex::decodeTake(take, in, host) != spoolex::TakeLoad::Loaded)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(take.samples().data());
    }
    state.SetBytesProcessed(state.iterations() * musicTake().samples().size() * sizeof(float));
}
BENCHMARK(DecodeTake60s)->Unit(benchmark::kMillisecond)->UseRealTime();

void put16(std::ofstream& out, uint16_t value) {
    out.write(reinterpret_cast<char*>(&value), 2);
}
void put32(std::ofstream& out, uint32_t value) {
    out.write(reinterpret_cast<char*>(&value), 4);
}

// The take as a 32-bit float WAV file, normalised to ±1.0.
bool writeWav(const char* path) {
    const spoolex::Samples& samples = musicTake().samples();
    std::ofstream out(path, std::ios::binary);
    auto dataBytes = static_cast<uint32_t>(samples.size() * sizeof(float));
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 3); // IEEE float
    put16(out, 2);
    put32(out, sampleRate);
    put32(out, sampleRate * 8);
    put16(out, 8);
    put16(out, 32);
    out.write("data", 4);
    put32(out, dataBytes);
    for (float sample : samples) {
        float normalised = sample / 32768.0f;
        out.write(reinterpret_cast<char*>(&normalised), 4);
    }
    return static_cast<bool>(out);
}

bool writeStream(const char* path) {
    std::vector<uint8_t> stream;
    spoolex::encodeTakeStream(musicTake().samples(), sampleRate, stream);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.data()),
              static_cast<std::streamsize>(stream.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-wav") == 0)
        return writeWav(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--write-stream") == 0)
        return writeStream(argv[2]) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
