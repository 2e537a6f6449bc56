// The adapter shapes: which pieces an answer reaches the host in, and when.
#include <gtest/gtest.h>

#include "sim/usb_adapter.h"

namespace qrv::sim {
namespace {

using namespace std::chrono;

TEST(UsbAdapter, PacketsAndTimerTicksCutAnswers) {
    const struct {
        const char* adapter;
        std::size_t length;
        microseconds startAfterTick;  // the answer's first byte starts this long after a tick
        std::vector<std::size_t> pieces;
    } rows[] = {
        {"ftdi", 13, microseconds(100), {13}},           // whole, at the next tick
        {"ftdi", 63, microseconds(100), {62, 1}},        // one byte over a packet waits a tick
        {"ftdi:16", 13, microseconds(15500), {5, 8}},    // straddles a tick (87 us a byte at 115200)
        {"ch340:16", 63, microseconds(100), {32, 31}},
        {"ch340", 63, microseconds(100), {10, 11, 12, 11, 12, 7}},  // a piece every 1 ms frame
        {"cp210x", 6, microseconds(100), {6}},
    };
    const Clock::time_point origin = Clock::now();
    const nanoseconds byteTime(86806);  // 115200 baud, 10 bits a byte
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.adapter) + " " + std::to_string(row.length));
        AdapterShape shape;
        std::string error;
        ASSERT_TRUE(ParseAdapter(row.adapter, shape, error)) << error;
        const Bytes answer(row.length, 0x5A);
        const auto pieces = DeliverThroughAdapter(answer, origin + row.startAfterTick, byteTime, shape, origin);
        std::vector<std::size_t> sizes;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            sizes.push_back(pieces[i].bytes.size());
            if (i > 0) {
                EXPECT_GT(pieces[i].at, pieces[i - 1].at);
            }
        }
        EXPECT_EQ(sizes, row.pieces);
        // Nothing reaches the host before its last byte came off the wire.
        EXPECT_GE(pieces.back().at, origin + row.startAfterTick + byteTime * static_cast<long long>(row.length));
    }
}

TEST(UsbAdapter, NamesAndSplits) {
    AdapterShape shape;
    std::string error;
    ASSERT_TRUE(ParseAdapter("ftdi:2", shape, error));
    EXPECT_EQ(shape.timer, milliseconds(2));
    EXPECT_EQ(shape.packetSize, 62u);
    for (const char* bad : {"ftdi:0", "ftdi:x", "usb", "ch340:"}) EXPECT_FALSE(ParseAdapter(bad, shape, error)) << bad;
    std::mt19937_64 random(1);
    const Bytes answer{1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 20; ++i) {
        const std::vector<Bytes> parts = SplitOnce(answer, random);
        ASSERT_EQ(parts.size(), 2u);
        EXPECT_FALSE(parts[0].empty() || parts[1].empty());
        Bytes joined = parts[0];
        joined.insert(joined.end(), parts[1].begin(), parts[1].end());
        EXPECT_EQ(joined, answer);
    }
    EXPECT_EQ(SplitOnce(Bytes{7}, random).size(), 1u);
}

}  // namespace
}  // namespace qrv::sim
