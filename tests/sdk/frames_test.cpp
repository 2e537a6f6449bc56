// Every request frame byte for byte, and every answer check with its
// truncated, oversized and wrong-byte rows.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "protocol/frames.h"
#include "records/module_records.h"

using namespace qrv::protocol;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes ToBytes(const Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

Answer View(const Bytes& bytes) { return Answer{bytes.data(), bytes.size()}; }

struct RequestRow {
    const char* name;
    Frame frame;
    Bytes expected;
};

}  // namespace

TEST(RequestFrames, MatchTheCommandTable) {
    const RequestRow rows[] = {
        {"read base info", BuildReadBaseInfo(), {0xAB, 0xD1, 0xBA}},
        {"read property", BuildReadProperty(0x1A2B, 0, 57), {0xAB, 0xD2, 0x1A, 0x2B, 0x00, 0x34, 0xBA}},
        {"tune radio", BuildTuneRadio(26, 2), {0xAB, 0xD4, 26, 2, 0xBA}},
        {"search broadcast", BuildSearchBroadcast(), {0xAB, 0xD5, 0xBA}},
        {"search by address", BuildSearchByAddr(0x1A2B), {0xAB, 0xD6, 0x1A, 0x2B, 0xBA}},
        {"reset", BuildResetModule(0x0102, 0x0012), {0xAB, 0xD7, 0x01, 0x02, 0x00, 0x12, 0xBA}},
        {"enter update", BuildEnterUpdate(0xFFEE, 0x0010), {0xAB, 0xD8, 0xFF, 0xEE, 0x00, 0x10, 0xBA}},
        {"finish update", BuildFinishUpdate(0x0001, 0x0000), {0xAB, 0xDA, 0x00, 0x01, 0x00, 0x00, 0xBA}},
        {"factory reset", BuildFactoryReset(0x8001, 0x0011), {0xAB, 0xDB, 0x80, 0x01, 0x00, 0x11, 0xBA}},
        {"io directions", BuildIoSetDirections(0x1234, 0x03), {0xAA, 0xD4, 0x12, 0x34, 0x03, 0x55}},
        {"io outputs", BuildIoSetOutputs(0x1234, 0xFF), {0xAA, 0xD5, 0x12, 0x34, 0xFF, 0x55}},
        {"io inputs", BuildIoReadInputs(0x1234), {0xAA, 0xD6, 0x12, 0x34, 0x55}},
        {"io ad", BuildIoReadAd(0x0000), {0xAA, 0xD7, 0x00, 0x00, 0x55}},
    };
    for (const auto& row : rows) EXPECT_EQ(ToBytes(row.frame), row.expected) << row.name;
}

TEST(RequestFrames, WritePropertySendsBytes0To51BigEndian) {
    ModuleProperty record{};
    std::strcpy(record.DevName, "node-7");
    std::strcpy(record.Password, "1234");
    record.WorkMode = 3;
    record.Channel = 11;
    record.NetId = 0x1122;
    record.LocalAddr = 0x3344;
    record.DestAddr = 0x5566;
    record.AirRate = 1;
    record.TxPower = 0x0A;
    record.RetryCount = 5;
    record.RetryInterval = 0x7788;
    record.UartBaud = 7;
    record.UartDataBits = 8;
    record.UartStopBits = 1;
    record.UartParity = 2;
    record.FrameGap = 9;
    record.FrameLen = 200;
    record.Spare51 = 0x5A;
    record.RunState = 0xAA;  // bytes 52..56 never travel
    record.DevType = 0x0012;
    record.FwVersion = 0x0123;

    const Bytes frame = ToBytes(BuildWriteProperty(0xABCD, record));
    ASSERT_EQ(frame.size(), kLenWriteProperty);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 6), (Bytes{0xAB, 0xD3, 0xAB, 0xCD, 0x00, 0x34}));
    EXPECT_EQ(frame.back(), 0xBA);
    const std::uint8_t* body = frame.data() + 6;
    EXPECT_EQ(std::memcmp(body, "node-7", 7), 0);
    EXPECT_EQ(std::memcmp(body + 16, "1234", 5), 0);
    EXPECT_EQ(Bytes(body + 32, body + 52),
              (Bytes{3, 11, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 1, 0x0A, 5, 0x77, 0x88, 7, 8, 1, 2, 9, 200, 0x5A}));
}

TEST(RequestFrames, FirmwareBlocksEndPerRegion) {
    std::uint8_t data[kFirmwareBlockSize];
    for (std::size_t i = 0; i < kFirmwareBlockSize; ++i) data[i] = static_cast<std::uint8_t>(i);

    const Bytes first = ToBytes(BuildFirmwareBlock(0x0102, 0x0140, data, FirmwareRegion::First));
    ASSERT_EQ(first.size(), kLenBlockFirstRegion);
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 6), (Bytes{0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40}));
    EXPECT_EQ(std::memcmp(first.data() + 6, data, kFirmwareBlockSize), 0);
    EXPECT_EQ(first.back(), 0xA5);

    const Bytes second = ToBytes(BuildFirmwareBlock(0x0102, 0xFFC0, data, FirmwareRegion::Second));
    ASSERT_EQ(second.size(), kLenBlockSecondRegion);
    EXPECT_EQ(second[70], 0xA5);
    EXPECT_EQ(second[71], 0xBA);
    EXPECT_EQ(second[4], 0xFF);
    EXPECT_EQ(second[5], 0xC0);
}

// One row per answer check and per way it refuses: the verdict says why,
// and what the check wanted and found.
struct VerdictRow {
    const char* name;
    Bytes rx;
    std::function<Verdict(Answer)> check;
    Refusal why;
    std::uint32_t expected = 0;
    std::uint32_t found = 0;
    bool atLeast = false;
};

TEST(Answers, EveryCheckSaysWhyItRefuses) {
    ModuleBase base{};
    ModuleProperty record{};
    std::uint8_t lines = 0;
    std::uint8_t block[kAdBlockSize] = {};
    const auto baseInfo = [&](Answer rx) { return ParseBaseInfoAnswer(rx, base); };
    const auto property = [&](Answer rx) { return ParsePropertyAnswer(rx, record); };
    const auto search = [&](Answer rx) { return ParseSearchAnswer(rx, kCmdSearchBroadcast, base); };
    const auto block0140 = [](Answer rx) { return CheckFirmwareBlockAnswer(rx, 0x0102, 0x0140); };
    const auto inputs = [&](Answer rx) { return ParseIoInputsAnswer(rx, lines); };
    const auto ad = [&](Answer rx) { return ParseAdAnswer(rx, block); };
    const auto dirsFar = [](Answer rx) { return CheckIoSetDirectionsAnswer(rx, true); };
    const auto dirsLocal = [](Answer rx) { return CheckIoSetDirectionsAnswer(rx, false); };
    Bytes record63(kAnswerLenProperty, 0);
    record63[0] = 0xAB;
    record63[1] = 0xD2;
    Bytes record64 = record63;
    record64.push_back(0xBA);
    const Bytes ad13{0xAA, 0xD7, 0, 0, 0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF, 0x55};

    const VerdictRow rows[] = {
        {"base info", {0xAB, 0xD1, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA}, baseInfo, Refusal::None},
        {"base info, nothing", {}, baseInfo, Refusal::NoAnswer},
        {"base info, 9 bytes", {0xAB, 0xD1, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23}, baseInfo,
         Refusal::WrongLength, 10, 9},
        {"base info, 11 bytes", {0xAB, 0xD1, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA, 0}, baseInfo,
         Refusal::WrongLength, 10, 11},
        {"base info, echo D2", {0xAB, 0xD2, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA}, baseInfo,
         Refusal::WrongEcho, 0xD1, 0xD2},
        {"record, 63 bytes", record63, property, Refusal::None},
        {"record, longer", record64, property, Refusal::None},
        {"record, 62 bytes", Bytes(record63.begin(), record63.end() - 1), property, Refusal::WrongLength, 63, 62, true},
        {"write", {0xAB, 0xD3, 0, 0, 0, 0xBA}, CheckWritePropertyAnswer, Refusal::None},
        {"write, status 1", {0xAB, 0xD3, 0, 0, 1, 0xBA}, CheckWritePropertyAnswer, Refusal::Status, 0, 1},
        {"write, 5 bytes", {0xAB, 0xD3, 0, 0, 0}, CheckWritePropertyAnswer, Refusal::WrongLength, 6, 5},
        {"tune, 3 bytes", {0xAB, 0xD4, 0}, CheckTuneAnswer, Refusal::None},
        {"tune, trailing bytes", {0xAB, 0xD4, 0, 0xBA, 1, 2, 3}, CheckTuneAnswer, Refusal::None},
        {"tune, status 1", {0xAB, 0xD4, 1, 0xBA}, CheckTuneAnswer, Refusal::Status, 0, 1},
        {"tune, 2 bytes", {0xAB, 0xD4}, CheckTuneAnswer, Refusal::WrongLength, 3, 2, true},
        {"tune, echo D5", {0xAB, 0xD5, 0, 0xBA}, CheckTuneAnswer, Refusal::WrongEcho, 0xD4, 0xD5},
        {"search", {0xAB, 0xD5, 0x1A, 0x2B, 0x00, 0x11, 0x55, 0xBA}, search, Refusal::None},
        {"search, echo D6", {0xAB, 0xD6, 0x1A, 0x2B, 0x00, 0x11, 0x55, 0xBA}, search, Refusal::WrongEcho, 0xD5, 0xD6},
        {"search, 7 bytes", {0xAB, 0xD5, 0x1A, 0x2B, 0x00, 0x11, 0x55}, search, Refusal::WrongLength, 8, 7},
        {"update step, echo not examined", {0, 0, 0, 0, 0, 0, 0, 0}, CheckUpdateStepAnswer, Refusal::None},
        {"update step, status 1", {0, 0, 0, 0, 0, 0, 1, 0}, CheckUpdateStepAnswer, Refusal::Status, 0, 1},
        {"update step, 7 bytes", {0, 0, 0, 0, 0, 0, 0}, CheckUpdateStepAnswer, Refusal::WrongLength, 8, 7},
        {"factory reset", {0xAB, 0xDB, 0, 0, 0, 0, 0, 0xBA}, CheckFactoryResetAnswer, Refusal::None},
        {"factory reset, echo DA", {0xAB, 0xDA, 0, 0, 0, 0, 0, 0xBA}, CheckFactoryResetAnswer, Refusal::WrongEcho,
         0xDB, 0xDA},
        {"factory reset, status 2", {0xAB, 0xDB, 0, 0, 0, 0, 2, 0xBA}, CheckFactoryResetAnswer, Refusal::Status, 0, 2},
        {"block", {0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40, 0x00}, block0140, Refusal::None},
        {"block, other offset", {0xAB, 0xD9, 0x01, 0x02, 0x01, 0x80, 0x00}, block0140, Refusal::WrongOffset, 0x0140,
         0x0180},
        {"block, other address", {0xAB, 0xD9, 0x01, 0x03, 0x01, 0x40, 0x00}, block0140, Refusal::WrongAddress, 0x0102,
         0x0103},
        {"block, status 1", {0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40, 0x01}, block0140, Refusal::Status, 0, 1},
        {"block, 6 bytes", {0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40}, block0140, Refusal::WrongLength, 7, 6, true},
        // A zeroed buffer never passes, even for address 0 offset 0.
        {"block, zeros", Bytes(7, 0), [](Answer rx) { return CheckFirmwareBlockAnswer(rx, 0, 0); },
         Refusal::WrongEcho, 0xD9, 0},
        {"io directions, local", {0xAA, 0xD4, 0, 0, 7, 0x55}, dirsLocal, Refusal::None},
        {"io directions, far", {0xAA, 0xD4, 0, 0, 7, 0x55}, dirsFar, Refusal::Status, 0, 7},
        {"io directions, 5 bytes", {0xAA, 0xD4, 0, 0, 0}, dirsLocal, Refusal::WrongLength, 6, 5},
        {"io outputs", {0xAA, 0xD5, 0, 0, 0, 0x55}, CheckIoSetOutputsAnswer, Refusal::None},
        {"io outputs, status 1", {0xAA, 0xD5, 0, 0, 1, 0x55}, CheckIoSetOutputsAnswer, Refusal::Status, 0, 1},
        {"io inputs", {0xAA, 0xD6, 0, 0, 0x05, 0x55}, inputs, Refusal::None},
        {"io inputs, end 54", {0xAA, 0xD6, 0, 0, 0x05, 0x54}, inputs, Refusal::WrongFraming, 0xAA55, 0xAA54},
        {"io inputs, start AB", {0xAB, 0xD6, 0, 0, 0x05, 0x55}, inputs, Refusal::WrongFraming, 0xAA55, 0xAB55},
        {"io inputs, echo D5", {0xAA, 0xD5, 0, 0, 0x05, 0x55}, inputs, Refusal::WrongEcho, 0xD6, 0xD5},
        {"io inputs, 7 bytes", {0xAA, 0xD6, 0, 0, 0x05, 0x55, 0}, inputs, Refusal::WrongLength, 6, 7},
        {"ad", ad13, ad, Refusal::None},
        {"ad, 12 bytes", Bytes(ad13.begin(), ad13.end() - 1), ad, Refusal::WrongLength, 13, 12},
    };
    for (const VerdictRow& row : rows) {
        const Verdict verdict = row.check(View(row.rx));
        EXPECT_EQ(verdict.why, row.why) << row.name;
        EXPECT_EQ(verdict.length, row.rx.size()) << row.name;
        if (row.why == Refusal::None || row.why == Refusal::NoAnswer) continue;
        EXPECT_EQ(verdict.expected, row.expected) << row.name;
        EXPECT_EQ(verdict.found, row.found) << row.name;
        EXPECT_EQ(verdict.atLeast, row.atLeast) << row.name;
    }
}

TEST(Answers, AcceptedAnswersAreReadFromTheirLayout) {
    ModuleBase base{};
    ASSERT_TRUE(ParseBaseInfoAnswer(View({0xAB, 0xD1, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA}), base).Ok());
    EXPECT_EQ(std::uint16_t(base.NetAddr), 0x1234);
    EXPECT_EQ(std::uint16_t(base.DevType), 0x0012);
    EXPECT_EQ(base.RunState, 0xAA);
    EXPECT_EQ(std::uint16_t(base.FwVersion), 0x0123);

    ASSERT_TRUE(ParseSearchAnswer(View({0xAB, 0xD5, 0x1A, 0x2B, 0x00, 0x11, 0x55, 0xBA}), kCmdSearchBroadcast, base).Ok());
    EXPECT_EQ(std::uint16_t(base.NetAddr), 0x1A2B);
    EXPECT_EQ(std::uint16_t(base.DevType), 0x0011);
    EXPECT_EQ(base.RunState, 0x55);
    EXPECT_EQ(std::uint16_t(base.FwVersion), 0);

    Bytes answer(kAnswerLenProperty, 0);
    answer[0] = 0xAB;
    answer[1] = 0xD2;
    answer[6] = 'A';
    answer[6 + 34] = 0x12;  // NetId high byte first
    answer[6 + 35] = 0x34;
    answer[6 + 54] = 0x12;  // DevType
    answer[6 + 55] = 0x01;  // FwVersion
    answer[6 + 56] = 0x05;
    ModuleProperty record{};
    ASSERT_TRUE(ParsePropertyAnswer(View(answer), record).Ok());
    EXPECT_EQ(record.DevName[0], 'A');
    EXPECT_EQ(std::uint16_t(record.NetId), 0x1234);
    EXPECT_EQ(std::uint16_t(record.DevType), 0x0012);
    EXPECT_EQ(std::uint16_t(record.FwVersion), 0x0105);

    std::uint8_t lines = 0;
    ASSERT_TRUE(ParseIoInputsAnswer(View({0xAA, 0xD6, 0, 0, 0x05, 0x55}), lines).Ok());
    EXPECT_EQ(lines, 0x05);
    std::uint8_t block[kAdBlockSize] = {};
    const Bytes ad{0xAA, 0xD7, 0, 0, 0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF, 0x55};
    ASSERT_TRUE(ParseAdAnswer(View(ad), block).Ok());
    EXPECT_EQ(Bytes(block, block + 8), (Bytes{0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF}));
    // A refused answer leaves the outputs as they were.
    std::uint8_t untouched[kAdBlockSize] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(ParseAdAnswer(View(Bytes(ad.begin(), ad.end() - 1)), untouched).Ok());
    EXPECT_EQ(untouched[0], 9);
    lines = 0x77;
    EXPECT_FALSE(ParseIoInputsAnswer(View({0xAA, 0xD6, 0, 0, 0x05, 0x54}), lines).Ok());
    EXPECT_EQ(lines, 0x77);
}
