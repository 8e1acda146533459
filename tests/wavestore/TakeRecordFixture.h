// Take records written and read through the stand-in host's memory streams,
// with the host's messages collected.
#pragma once

#include <algorithm>
#include <cstring>
#include <random>

#include "generator/wavestore/TakeRecord.h"
#include "host/DataStreams.h"
#include "host/HostMachine.h"
#include "host/MachineServices.h"
#include "tests/core/GeneratorFixture.h"

// The fields of one WavPack block header that the tests look at.
struct BlockHeader {
    uint32_t size = 0; // whole block, header included
    uint16_t version = 0;
    uint32_t totalSamples = 0;
    uint32_t blockSamples = 0;
    uint32_t flags = 0;
};

class TakeRecordTest : public GeneratorTest {
protected:
    // Block header flags.
    static constexpr uint32_t monoFlag = 4;
    static constexpr uint32_t floatData = 0x80;
    static constexpr uint32_t falseStereo = 0x40000000;

    void SetUp() override {
        GeneratorTest::SetUp();
        placed = placeGenerator();
    }

    CMICallbacks& services() { return *placed->services; }

    static spoolex::Take randomTake(size_t frames, unsigned seed, int32_t rate = 44100) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> value(-32768.0f, 32768.0f);
        spoolex::Take take;
        take.sampleRate = rate;
        take.changeSamples().resize(frames * 2);
        for (float& sample : take.changeSamples())
            sample = value(random);
        return take;
    }

    static std::vector<uint8_t> recordOf(const spoolex::Take& take) {
        host::MemoryOutput out;
        EXPECT_TRUE(spoolex::encodeTake(take, out));
        return out.data();
    }

    // The stream inside a format-1 record.
    static std::vector<uint8_t> streamOf(const std::vector<uint8_t>& record) {
        return std::vector<uint8_t>(record.begin() + 5, record.end());
    }

    static std::vector<uint8_t> recordWith(const std::vector<uint8_t>& stream, uint32_t length) {
        std::vector<uint8_t> record(5 + stream.size());
        record[0] = 1;
        for (int i = 0; i < 4; ++i)
            record[1 + static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
        std::copy(stream.begin(), stream.end(), record.begin() + 5);
        return record;
    }

    static uint32_t u32At(const std::vector<uint8_t>& bytes, size_t at) {
        uint32_t value;
        std::memcpy(&value, bytes.data() + at, 4);
        return value;
    }

    static std::vector<BlockHeader> blocksOf(const std::vector<uint8_t>& stream) {
        std::vector<BlockHeader> blocks;
        for (size_t at = 0; at + 32 <= stream.size();) {
            EXPECT_EQ(std::memcmp(stream.data() + at, "wvpk", 4), 0) << "at " << at;
            BlockHeader block;
            block.size = u32At(stream, at + 4) + 8;
            block.version = static_cast<uint16_t>(stream[at + 8] | stream[at + 9] << 8);
            block.totalSamples = u32At(stream, at + 12);
            block.blockSamples = u32At(stream, at + 20);
            block.flags = u32At(stream, at + 24);
            blocks.push_back(block);
            at += block.size;
        }
        return blocks;
    }

    spoolex::TakeLoad load(const std::vector<uint8_t>& bytes, spoolex::Take& take,
                           size_t* consumed = nullptr) {
        host::MemoryInput in(bytes);
        spoolex::TakeLoad result = spoolex::decodeTake(take, in, services());
        if (consumed)
            *consumed = in.position();
        return result;
    }

    template <typename A, typename B> static bool sameBits(const A& a, const B& b) {
        return a.size() == b.size() &&
               (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
    }

    host::HostMachine* placed = nullptr;
};

inline const char* const loadErrorPrefix =
    "An error occurred while loading pattern data for Korvane Spoolex.\n\n";
