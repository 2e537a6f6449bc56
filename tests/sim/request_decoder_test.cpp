// The module-side decoder against every request the host builds, and the
// rows a noisy line produces: truncated frames, stray bytes, bad end bytes.
#include "sim/request_decoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "protocol/frames.h"
#include "sim/answer_builder.h"

using namespace qrv::sim;
using namespace qrv::protocol;

namespace {

Bytes ToBytes(const Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

std::array<std::uint8_t, kFirmwareBlockSize> Pattern() {
    std::array<std::uint8_t, kFirmwareBlockSize> data{};
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xAB ^ i);
    return data;
}

Frame Block(FirmwareRegion region) {
    std::uint8_t data[kFirmwareBlockSize];
    const auto pattern = Pattern();
    std::copy(pattern.begin(), pattern.end(), data);
    return BuildFirmwareBlock(0x0203, 0x1F40, data, region);
}

struct Row {
    const char* name;
    Frame frame;
    CommandKey command;
    std::function<void(const Request&)> check;
};

}  // namespace

TEST(RequestDecoder, DecodesEveryRequestTheHostBuilds) {
    ModuleProperty record{};
    record.LocalAddr = 0x0A0B;
    record.Channel = 26;
    const Row rows[] = {
        {"read base info", BuildReadBaseInfo(), {Family::Config, 0xD1}, [](const Request&) {}},
        {"read property",
         BuildReadProperty(0x1A2B, 0, 57),
         {Family::Config, 0xD2},
         [](const Request& r) {
             EXPECT_EQ(r.addr, 0x1A2B);
             EXPECT_EQ(r.offset, 0);
             EXPECT_EQ(r.count, 0x34);
         }},
        {"write property",
         BuildWriteProperty(0x0102, record),
         {Family::Config, 0xD3},
         [](const Request& r) {
             EXPECT_EQ(r.addr, 0x0102);
             EXPECT_EQ(r.count, 0x34);
             EXPECT_EQ(r.record[33], 26);
             EXPECT_EQ(r.record[36], 0x0A);  // LocalAddr high byte first
             EXPECT_EQ(r.record[37], 0x0B);
         }},
        {"tune",
         BuildTuneRadio(26, 2),
         {Family::Config, 0xD4},
         [](const Request& r) {
             EXPECT_EQ(r.channel, 26);
             EXPECT_EQ(r.rate, 2);
         }},
        {"search broadcast", BuildSearchBroadcast(), {Family::Config, 0xD5}, [](const Request&) {}},
        {"search by address",
         BuildSearchByAddr(0xBEEF),
         {Family::Config, 0xD6},
         [](const Request& r) { EXPECT_EQ(r.addr, 0xBEEF); }},
        {"reset",
         BuildResetModule(0x0102, 0x0012),
         {Family::Config, 0xD7},
         [](const Request& r) {
             EXPECT_EQ(r.addr, 0x0102);
             EXPECT_EQ(r.type, 0x0012);
         }},
        {"enter update",
         BuildEnterUpdate(0xFFEE, 0x0010),
         {Family::Config, 0xD8},
         [](const Request& r) { EXPECT_EQ(r.addr, 0xFFEE); }},
        {"finish update",
         BuildFinishUpdate(0x0001, 0),
         {Family::Config, 0xDA},
         [](const Request& r) { EXPECT_EQ(r.type, 0); }},
        {"factory reset",
         BuildFactoryReset(0x8001, 0x0011),
         {Family::Config, 0xDB},
         [](const Request& r) { EXPECT_EQ(r.type, 0x0011); }},
        {"block, second region",
         Block(FirmwareRegion::Second),
         {Family::Config, 0xD9},
         [](const Request& r) {
             EXPECT_EQ(r.blockOffset, 0x1F40);
             EXPECT_EQ(r.region, FirmwareRegion::Second);
             EXPECT_EQ(r.block, Pattern());
         }},
        {"io directions",
         BuildIoSetDirections(0x1234, 0x03),
         {Family::Io, 0xD4},
         [](const Request& r) { EXPECT_EQ(r.value, 0x03); }},
        {"io outputs",
         BuildIoSetOutputs(0x1234, 0xFF),
         {Family::Io, 0xD5},
         [](const Request& r) { EXPECT_EQ(r.value, 0xFF); }},
        {"io inputs",
         BuildIoReadInputs(0x1234),
         {Family::Io, 0xD6},
         [](const Request& r) { EXPECT_EQ(r.addr, 0x1234); }},
        {"io ad", BuildIoReadAd(0x1234), {Family::Io, 0xD7}, [](const Request& r) { EXPECT_EQ(r.addr, 0x1234); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes bytes = ToBytes(row.frame);
        const DecodeResult result = DecodeRequest(bytes, false);
        ASSERT_EQ(result.status, DecodeStatus::Frame);
        EXPECT_EQ(result.consumed, bytes.size());
        EXPECT_EQ(result.request.command, row.command);
        EXPECT_EQ(result.request.length, bytes.size());
        row.check(result.request);

        // Every proper prefix is incomplete, never a frame and never dropped.
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const DecodeResult part = DecodeRequest(std::span(bytes.data(), n), false);
            ASSERT_EQ(part.status, DecodeStatus::NeedMore) << "prefix of " << n;
        }
    }
}

TEST(RequestDecoder, FirstRegionBlockNeedsTheLineToGoQuiet) {
    const Bytes first = ToBytes(Block(FirmwareRegion::First));
    ASSERT_EQ(first.size(), 71u);
    // 71 bytes could still become a second-region block...
    EXPECT_EQ(DecodeRequest(first, false).status, DecodeStatus::NeedMore);
    // ...until the line is idle,
    DecodeResult idle = DecodeRequest(first, true);
    ASSERT_EQ(idle.status, DecodeStatus::Frame);
    EXPECT_EQ(idle.consumed, 71u);
    EXPECT_EQ(idle.request.region, FirmwareRegion::First);
    // or the next frame's start byte follows.
    Bytes followed = first;
    followed.push_back(0xAB);
    DecodeResult next = DecodeRequest(followed, false);
    ASSERT_EQ(next.status, DecodeStatus::Frame);
    EXPECT_EQ(next.consumed, 71u);
}

TEST(RequestDecoder, DropsWhatCannotStartAFrame) {
    struct GarbageRow {
        const char* name;
        Bytes bytes;
        DecodeStatus status;
        std::size_t consumed;
    };
    const GarbageRow rows[] = {
        {"noise up to the next start byte", {0x00, 0x13, 0xFF, 0xAB, 0xD1, 0xBA}, DecodeStatus::Skip, 3},
        {"noise without a start byte", {0x01, 0x02, 0x03}, DecodeStatus::Skip, 3},
        {"unknown command", {0xAB, 0xC0, 0xBA}, DecodeStatus::Skip, 1},
        {"unknown io command", {0xAA, 0xD1, 0x00, 0x01, 0x55}, DecodeStatus::Skip, 1},
        {"wrong end byte", {0xAB, 0xD1, 0x55}, DecodeStatus::Skip, 1},
        {"io frame with config end", {0xAA, 0xD6, 0x00, 0x01, 0xBA}, DecodeStatus::Skip, 1},
        {"block without marker",
         [] {
             Bytes b = ToBytes(Block(FirmwareRegion::Second));
             b[70] = 0x00;
             return b;
         }(),
         DecodeStatus::Skip, 1},
        {"lone start byte", {0xAA}, DecodeStatus::NeedMore, 0},
        {"empty", {}, DecodeStatus::NeedMore, 0},
    };
    for (const GarbageRow& row : rows) {
        SCOPED_TRACE(row.name);
        const DecodeResult result = DecodeRequest(row.bytes, true);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.consumed, row.consumed);
    }
}

TEST(RequestDecoder, TakesOneFrameAtATimeFromABurst) {
    Bytes burst = ToBytes(BuildTuneRadio(15, 1));
    const Bytes search = ToBytes(BuildSearchBroadcast());
    burst.insert(burst.end(), search.begin(), search.end());
    DecodeResult first = DecodeRequest(burst, false);
    ASSERT_EQ(first.status, DecodeStatus::Frame);
    EXPECT_EQ(first.consumed, 5u);
    DecodeResult second = DecodeRequest(std::span(burst).subspan(first.consumed), false);
    ASSERT_EQ(second.status, DecodeStatus::Frame);
    EXPECT_EQ(second.request.command, (CommandKey{Family::Config, 0xD5}));
}
