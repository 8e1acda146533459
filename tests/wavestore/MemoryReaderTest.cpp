#include <gtest/gtest.h>

#include "generator/wavestore/MemoryBlockWriter.h"
#include "generator/wavestore/MemoryReader.h"

namespace {

using spoolex::MemoryReader;

MemoryReader readerOf(std::vector<uint8_t> bytes) {
    return MemoryReader(std::move(bytes));
}

TEST(MemoryReader, ReadsAreLimitedToWhatIsLeft) {
    MemoryReader reader = readerOf({1, 2, 3, 4, 5});
    uint8_t out[8] = {};
    EXPECT_EQ(reader.readBytes(out, 3), 3);
    EXPECT_EQ(reader.getPosition(), 3u);
    EXPECT_EQ(reader.readBytes(out, 8), 2);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(reader.readBytes(out, 8), 0);
    EXPECT_EQ(reader.getLength(), 5u);
    EXPECT_EQ(reader.canSeek(), 1);
    EXPECT_EQ(reader.writeBytes(out, 4), 0);
}

TEST(MemoryReader, PushBackAtTheStartIsRefused) {
    MemoryReader reader = readerOf({1, 2, 3});
    EXPECT_EQ(reader.pushBackByte('x'), -1);
    EXPECT_EQ(reader.getPosition(), 0u);
}

TEST(MemoryReader, PushedBackBytesComeAgainMostRecentFirst) {
    MemoryReader reader = readerOf({1, 2, 3, 4});
    uint8_t out[4] = {};
    ASSERT_EQ(reader.readBytes(out, 3), 3);
    EXPECT_EQ(reader.pushBackByte(30), 30);
    EXPECT_EQ(reader.pushBackByte(20), 20);
    EXPECT_EQ(reader.getPosition(), 1u);
    EXPECT_EQ(reader.readBytes(out, 4), 3);
    EXPECT_EQ(out[0], 20);
    EXPECT_EQ(out[1], 30);
    EXPECT_EQ(out[2], 4);
    EXPECT_EQ(reader.getPosition(), 4u);
}

TEST(MemoryReader, SeekingClearsPushedBackBytes) {
    MemoryReader reader = readerOf({1, 2, 3, 4});
    uint8_t out[4] = {};
    reader.readBytes(out, 2);
    reader.pushBackByte(99);
    EXPECT_EQ(reader.setPositionAbsolute(1), 0);
    EXPECT_EQ(reader.readBytes(out, 1), 1);
    EXPECT_EQ(out[0], 2);
}

TEST(MemoryReader, SeeksInsideTheDataSucceedAndOthersChangeNothing) {
    MemoryReader reader = readerOf({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(reader.setPositionRelative(-2, 2), 0);
    EXPECT_EQ(reader.getPosition(), 4u);
    EXPECT_EQ(reader.setPositionRelative(-3, 1), 0);
    EXPECT_EQ(reader.getPosition(), 1u);
    EXPECT_EQ(reader.setPositionRelative(6, 0), 0);
    EXPECT_EQ(reader.getPosition(), 6u);

    EXPECT_EQ(reader.setPositionRelative(1, 2), -1);
    EXPECT_EQ(reader.setPositionRelative(-7, 2), -1);
    EXPECT_EQ(reader.setPositionRelative(-1, 0), -1);
    EXPECT_EQ(reader.setPositionRelative(1, 1), -1);
    EXPECT_EQ(reader.setPositionRelative(0, 3), -1);
    EXPECT_EQ(reader.setPositionAbsolute(7), -1);
    EXPECT_EQ(reader.getPosition(), 6u);
}

TEST(MemoryReader, TheCallbackTableIsInTheLibrarysOrder) {
    MemoryReader reader = readerOf({7, 8, 9});
    WavpackStreamReader& table = MemoryReader::callbacks;
    uint8_t out[2] = {};
    EXPECT_EQ(table.read_bytes(&reader, out, 2), 2);
    EXPECT_EQ(table.get_pos(&reader), 2u);
    EXPECT_EQ(table.push_back_byte(&reader, 8), 8);
    EXPECT_EQ(table.set_pos_rel(&reader, -1, 2), 0);
    EXPECT_EQ(table.set_pos_abs(&reader, 4), -1);
    EXPECT_EQ(table.get_length(&reader), 3u);
    EXPECT_EQ(table.can_seek(&reader), 1);
    EXPECT_EQ(table.write_bytes(&reader, out, 2), 0);
    EXPECT_EQ(table.read_bytes(&reader, out, 2), 1);
    EXPECT_EQ(out[0], 9);
}

TEST(MemoryBlockWriter, AppendsEveryBlockAndNeverFails) {
    spoolex::MemoryBlockWriter writer;
    uint8_t a[] = {1, 2}, b[] = {3};
    EXPECT_EQ(spoolex::MemoryBlockWriter::write(&writer, a, 2), 2);
    EXPECT_EQ(spoolex::MemoryBlockWriter::write(&writer, b, 1), 1);
    EXPECT_EQ(writer.bytes, (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace
