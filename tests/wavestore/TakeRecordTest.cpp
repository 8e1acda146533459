#include "tests/wavestore/TakeRecordFixture.h"

namespace {

using spoolex::Take;
using spoolex::TakeLoad;

TEST_F(TakeRecordTest, RandomStereoTakesRoundTripBitExactly) {
    // One frame, a partial block, and several blocks' worth with a ragged end.
    for (size_t frames : {size_t{1}, size_t{2}, size_t{1000}, size_t{11025}, size_t{132317}}) {
        Take take = randomTake(frames, static_cast<unsigned>(frames));
        // Full scale, the smallest normal values and zeros of both signs.
        take.changeSamples()[0] = -32768.0f;
        if (frames > 1) {
            take.changeSamples()[1] = 1.0e-30f;
            take.changeSamples()[2] = -0.0f;
            take.changeSamples()[3] = 32767.99f;
        }
        std::vector<uint8_t> record = recordOf(take);
        ASSERT_EQ(record[0], spoolex::TakeFormatWavPack);
        EXPECT_EQ(u32At(record, 1), record.size() - 5);

        Take loaded;
        size_t consumed = 0;
        EXPECT_EQ(load(record, loaded, &consumed), TakeLoad::Loaded) << frames;
        EXPECT_EQ(consumed, record.size());
        EXPECT_TRUE(sameBits(loaded.samples(), take.samples())) << frames << " frames";
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(TakeRecordTest, TheStreamCarriesTheWrittenSettings) {
    Take take = randomTake(30000, 7, 48000);
    std::vector<uint8_t> stream = streamOf(recordOf(take));
    std::vector<BlockHeader> blocks = blocksOf(stream);
    ASSERT_GT(blocks.size(), 1u);
    uint32_t frames = 0;
    for (const BlockHeader& block : blocks) {
        EXPECT_EQ(block.version, 0x410);
        EXPECT_EQ(block.totalSamples, 30000u);
        EXPECT_TRUE(block.flags & floatData);
        EXPECT_FALSE(block.flags & (monoFlag | falseStereo));
        frames += block.blockSamples;
    }
    EXPECT_EQ(frames, 30000u);
}

TEST_F(TakeRecordTest, EqualChannelsAreStoredAsMonoAndLoadAsTwoEqualChannels) {
    Take take = randomTake(50000, 3);
    for (size_t i = 0; i < take.samples().size(); i += 2)
        take.changeSamples()[i + 1] = take.samples()[i];
    std::vector<uint8_t> record = recordOf(take);
    for (const BlockHeader& block : blocksOf(streamOf(record)))
        EXPECT_TRUE(block.flags & falseStereo) << std::hex << block.flags;

    Take stereo = randomTake(50000, 3);
    EXPECT_LT(record.size(), recordOf(stereo).size() * 6 / 10);

    Take loaded;
    EXPECT_EQ(load(record, loaded), TakeLoad::Loaded);
    EXPECT_TRUE(sameBits(loaded.samples(), take.samples()));
}

TEST_F(TakeRecordTest, AnEmptyTakeIsTheSingleByteZero) {
    Take empty;
    EXPECT_EQ(recordOf(empty), std::vector<uint8_t>{0});

    Take loaded = randomTake(10, 1);
    size_t consumed = 0;
    EXPECT_EQ(load({0, 0xAB}, loaded, &consumed), TakeLoad::Loaded);
    EXPECT_TRUE(loaded.samples().empty());
    EXPECT_EQ(consumed, 1u);
}

TEST_F(TakeRecordTest, ALoadedTakeKeepsTheRateOfItsStream) {
    // Recorded at 48000 Hz (and at a rate of no standard); the host now runs
    // at 44100 Hz, which addTake gave the fresh take.
    for (int32_t rate : {48000, 22222}) {
        Take recorded = randomTake(4800, 5, rate);
        Take loaded;
        loaded.sampleRate = 44100;
        EXPECT_EQ(load(recordOf(recorded), loaded), TakeLoad::Loaded);
        EXPECT_EQ(loaded.sampleRate, rate);
        EXPECT_EQ(loaded.frameCount(), 4800u);
    }
}

TEST_F(TakeRecordTest, AnEmptyStreamGivesTheOpenErrorWithTheLibraryText) {
    Take loaded = randomTake(10, 1);
    size_t consumed = 0;
    EXPECT_EQ(load({1, 0, 0, 0, 0, 0x55}, loaded, &consumed), TakeLoad::Failed);
    EXPECT_TRUE(loaded.samples().empty());
    EXPECT_EQ(consumed, 5u);
    ASSERT_EQ(host.messages.size(), 1u);
    std::string expected = std::string(loadErrorPrefix) + "WavpackOpenFileInputEx error:\n";
    EXPECT_EQ(host.messages[0].substr(0, expected.size()), expected);
    EXPECT_GT(host.messages[0].size(), expected.size()) << "the library's text follows";
}

TEST_F(TakeRecordTest, AnUnknownFormatByteConsumesNothingMore) {
    Take loaded = randomTake(10, 1);
    spoolex::Samples before = loaded.samples();
    size_t consumed = 0;
    EXPECT_EQ(load({2, 1, 2, 3, 4}, loaded, &consumed), TakeLoad::Failed);
    EXPECT_EQ(consumed, 1u);
    EXPECT_TRUE(sameBits(loaded.samples(), before));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Unrecognised data format"});
}

TEST_F(TakeRecordTest, ADamagedBlockIsReportedAndTheNextRecordStillReads) {
    Take take = randomTake(60000, 9);
    std::vector<uint8_t> record = recordOf(take);
    record[record.size() / 2] ^= 0x55; // inside a block's audio
    Take next = randomTake(100, 10);
    std::vector<uint8_t> nextRecord = recordOf(next);
    std::vector<uint8_t> both = record;
    both.insert(both.end(), nextRecord.begin(), nextRecord.end());

    host::MemoryInput in(both);
    Take damaged, following;
    EXPECT_EQ(spoolex::decodeTake(damaged, in, services()), TakeLoad::Failed);
    EXPECT_EQ(damaged.frameCount(), 60000u);
    // Only the damaged block is lost: the first block comes back exactly.
    EXPECT_EQ(std::memcmp(damaged.samples().data(), take.samples().data(), 1000 * sizeof(float)),
              0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], std::string(loadErrorPrefix) +
                                    "The stream is damaged: some of its audio could not be "
                                    "restored and is silent.");

    EXPECT_EQ(spoolex::decodeTake(following, in, services()), TakeLoad::Loaded);
    EXPECT_TRUE(sameBits(following.samples(), next.samples()));
}

TEST_F(TakeRecordTest, ADamagedFirstBlockIsReportedNotSilentlyDropped) {
    std::vector<uint8_t> stream = streamOf(recordOf(randomTake(30000, 4)));
    for (size_t field : {size_t{12}, size_t{20}}) { // total samples, block samples
        std::vector<uint8_t> damaged = stream;
        damaged[field + 3] ^= 0x40;
        Take loaded;
        host.messages.clear();
        EXPECT_EQ(load(recordWith(damaged, static_cast<uint32_t>(damaged.size())), loaded),
                  TakeLoad::Failed)
            << "field " << field;
        EXPECT_EQ(host.messages.size(), 1u) << "field " << field;
        EXPECT_LE(loaded.frameCount(), 30000u);
    }
}

TEST_F(TakeRecordTest, ADamagedFirstBlockLeavesSilenceAndTheRestInPlace) {
    Take take = randomTake(60000, 14);
    std::vector<uint8_t> stream = streamOf(recordOf(take));
    std::vector<BlockHeader> blocks = blocksOf(stream);
    ASSERT_GE(blocks.size(), 2u);
    const size_t lost = blocks[0].blockSamples;
    stream[blocks[0].size / 2] ^= 0x55; // inside the first block's audio
    Take loaded;
    EXPECT_EQ(load(recordWith(stream, static_cast<uint32_t>(stream.size())), loaded),
              TakeLoad::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("is silent"), std::string::npos);
    // Every frame at its own index: the lost block is silence, the rest is
    // where it was recorded.
    ASSERT_EQ(loaded.frameCount(), 60000u);
    for (size_t i = 0; i < 2 * lost; ++i)
        ASSERT_EQ(loaded.samples()[i], 0.0f) << i;
    EXPECT_EQ(std::memcmp(loaded.samples().data() + 2 * lost, take.samples().data() + 2 * lost,
                          (60000 - lost) * 2 * sizeof(float)),
              0);
}

TEST_F(TakeRecordTest, AStreamCutShortKeepsWhatItHolds) {
    Take take = randomTake(40000, 12);
    std::vector<uint8_t> stream = streamOf(recordOf(take));
    stream.resize(stream.size() - 100);
    Take loaded;
    EXPECT_EQ(load(recordWith(stream, static_cast<uint32_t>(stream.size())), loaded),
              TakeLoad::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], std::string(loadErrorPrefix) +
                                    "WavpackUnpackSamples failed to read the requested number "
                                    "of samples.");
    // The frames of the whole blocks come back in the host scale.
    ASSERT_GT(loaded.frameCount(), 30000u);
    EXPECT_LT(loaded.frameCount(), 40000u);
    EXPECT_EQ(std::memcmp(loaded.samples().data(), take.samples().data(), 60000 * sizeof(float)),
              0);
}

TEST_F(TakeRecordTest, AHostileLengthOnADryStreamAllocatesLittleAndSaysTheInputEnded) {
    Take take = randomTake(2000, 13);
    std::vector<uint8_t> stream = streamOf(recordOf(take));
    // The record claims 4 GiB; the song ends after the real stream.
    std::vector<uint8_t> record = recordWith(stream, 0xFFFFFFFFu);
    Take loaded;
    host::MemoryInput in(record);
    EXPECT_EQ(spoolex::decodeTake(loaded, in, services()), TakeLoad::InputEnded);
    EXPECT_TRUE(in.ranShort());
    // What the stream held was still decoded.
    EXPECT_TRUE(sameBits(loaded.samples(), take.samples()));
}

TEST_F(TakeRecordTest, AHostileLengthWithNothingBehindItIsHarmless) {
    Take loaded;
    const std::vector<uint8_t> record{1, 0xFF, 0xFF, 0xFF, 0x7F};
    host::MemoryInput in(record);
    EXPECT_EQ(spoolex::decodeTake(loaded, in, services()), TakeLoad::InputEnded);
    EXPECT_TRUE(loaded.samples().empty());
    ASSERT_EQ(host.messages.size(), 1u);
}

} // namespace
