// Every request frame byte for byte, and every answer check with its
// truncated, oversized and wrong-byte rows.
#include <gtest/gtest.h>

#include <cstring>
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

TEST(Answers, BaseInfoNeedsExactlyTenBytes) {
    const Bytes good{0xAB, 0xD1, 0x12, 0x34, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA};
    auto base = ParseBaseInfoAnswer(View(good));
    ASSERT_TRUE(base);
    EXPECT_EQ(std::uint16_t(base->NetAddr), 0x1234);
    EXPECT_EQ(std::uint16_t(base->DevType), 0x0012);
    EXPECT_EQ(base->RunState, 0xAA);
    EXPECT_EQ(std::uint16_t(base->FwVersion), 0x0123);

    Bytes nine(good.begin(), good.end() - 1), eleven = good;
    eleven.push_back(0);
    Bytes wrongEcho = good;
    wrongEcho[1] = 0xD2;
    EXPECT_FALSE(ParseBaseInfoAnswer(View(nine)));
    EXPECT_FALSE(ParseBaseInfoAnswer(View(eleven)));
    EXPECT_FALSE(ParseBaseInfoAnswer(View(wrongEcho)));
    EXPECT_FALSE(ParseBaseInfoAnswer(View(Bytes{})));
}

TEST(Answers, PropertyRecordComesFromByteSixAndMustBeComplete) {
    Bytes answer(kAnswerLenProperty, 0);
    answer[0] = 0xAB;
    answer[1] = 0xD2;
    answer[6] = 'A';
    answer[6 + 34] = 0x12;  // NetId high byte first
    answer[6 + 35] = 0x34;
    answer[6 + 53] = 0x00;  // DevType
    answer[6 + 54] = 0x12;
    answer[6 + 55] = 0x01;  // FwVersion
    answer[6 + 56] = 0x05;
    auto record = ParsePropertyAnswer(View(answer));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->DevName[0], 'A');
    EXPECT_EQ(std::uint16_t(record->NetId), 0x1234);
    EXPECT_EQ(std::uint16_t(record->DevType), 0x0012);
    EXPECT_EQ(std::uint16_t(record->FwVersion), 0x0105);

    Bytes longer = answer;
    longer.push_back(0xBA);
    EXPECT_TRUE(ParsePropertyAnswer(View(longer)));
    Bytes shorter(answer.begin(), answer.end() - 1);
    EXPECT_FALSE(ParsePropertyAnswer(View(shorter)));
    Bytes wrongEcho = answer;
    wrongEcho[1] = 0xD1;
    EXPECT_FALSE(ParsePropertyAnswer(View(wrongEcho)));
}

TEST(Answers, StatusBytesAndLengths) {
    EXPECT_TRUE(CheckWritePropertyAnswer(View({0xAB, 0xD3, 0, 0, 0, 0xBA})));
    EXPECT_FALSE(CheckWritePropertyAnswer(View({0xAB, 0xD3, 0, 0, 1, 0xBA})));
    EXPECT_FALSE(CheckWritePropertyAnswer(View({0xAB, 0xD3, 0, 0, 0})));

    EXPECT_TRUE(CheckTuneAnswer(View({0xAB, 0xD4, 0})));
    EXPECT_TRUE(CheckTuneAnswer(View({0xAB, 0xD4, 0, 0xBA, 1, 2, 3})));
    EXPECT_FALSE(CheckTuneAnswer(View({0xAB, 0xD4, 1, 0xBA})));
    EXPECT_FALSE(CheckTuneAnswer(View({0xAB, 0xD4})));

    EXPECT_TRUE(CheckUpdateStepAnswer(View({0, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_FALSE(CheckUpdateStepAnswer(View({0, 0, 0, 0, 0, 0, 1, 0})));
    EXPECT_FALSE(CheckUpdateStepAnswer(View({0, 0, 0, 0, 0, 0, 0})));

    EXPECT_TRUE(CheckFactoryResetAnswer(View({0xAB, 0xDB, 0, 0, 0, 0, 0, 0xBA})));
    EXPECT_FALSE(CheckFactoryResetAnswer(View({0xAB, 0xDA, 0, 0, 0, 0, 0, 0xBA})));
    EXPECT_FALSE(CheckFactoryResetAnswer(View({0xAB, 0xDB, 0, 0, 0, 0, 2, 0xBA})));
}

TEST(Answers, FirmwareBlockEchoesAddressAndOffset) {
    const Bytes good{0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40, 0x00};
    EXPECT_TRUE(CheckFirmwareBlockAnswer(View(good), 0x0102, 0x0140));
    EXPECT_FALSE(CheckFirmwareBlockAnswer(View(good), 0x0102, 0x0180));
    EXPECT_FALSE(CheckFirmwareBlockAnswer(View(good), 0x0103, 0x0140));
    EXPECT_FALSE(CheckFirmwareBlockAnswer(View({0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40, 0x01}), 0x0102, 0x0140));
    EXPECT_FALSE(CheckFirmwareBlockAnswer(View({0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40}), 0x0102, 0x0140));
    // A zeroed buffer (no answer at all) never passes, even for address 0 offset 0.
    EXPECT_FALSE(CheckFirmwareBlockAnswer(View(Bytes(7, 0)), 0, 0));
}

TEST(Answers, SearchAnswersAreEightBytesWithTheirEcho) {
    const Bytes answer{0xAB, 0xD5, 0x1A, 0x2B, 0x00, 0x11, 0x55, 0xBA};
    auto base = ParseSearchAnswer(View(answer), kCmdSearchBroadcast);
    ASSERT_TRUE(base);
    EXPECT_EQ(std::uint16_t(base->NetAddr), 0x1A2B);
    EXPECT_EQ(std::uint16_t(base->DevType), 0x0011);
    EXPECT_EQ(base->RunState, 0x55);
    EXPECT_EQ(std::uint16_t(base->FwVersion), 0);
    EXPECT_FALSE(ParseSearchAnswer(View(answer), kCmdSearchByAddr));
    EXPECT_FALSE(ParseSearchAnswer(View(Bytes(answer.begin(), answer.end() - 1)), kCmdSearchBroadcast));
}

TEST(Answers, IoFamily) {
    EXPECT_TRUE(CheckIoSetDirectionsAnswer(View({0xAA, 0xD4, 0, 0, 7, 0x55}), false));
    EXPECT_FALSE(CheckIoSetDirectionsAnswer(View({0xAA, 0xD4, 0, 0, 7, 0x55}), true));
    EXPECT_TRUE(CheckIoSetDirectionsAnswer(View({0xAA, 0xD4, 0, 0, 0, 0x55}), true));
    EXPECT_FALSE(CheckIoSetDirectionsAnswer(View({0xAA, 0xD4, 0, 0, 0}), false));

    EXPECT_TRUE(CheckIoSetOutputsAnswer(View({0xAA, 0xD5, 0, 0, 0, 0x55})));
    EXPECT_FALSE(CheckIoSetOutputsAnswer(View({0xAA, 0xD5, 0, 0, 1, 0x55})));

    auto lines = ParseIoInputsAnswer(View({0xAA, 0xD6, 0, 0, 0x05, 0x55}));
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, 0x05);
    EXPECT_FALSE(ParseIoInputsAnswer(View({0xAA, 0xD6, 0, 0, 0x05, 0x54})));
    EXPECT_FALSE(ParseIoInputsAnswer(View({0xAB, 0xD6, 0, 0, 0x05, 0x55})));
    EXPECT_FALSE(ParseIoInputsAnswer(View({0xAA, 0xD6, 0, 0, 0x05, 0x55, 0})));

    std::uint8_t block[kAdBlockSize] = {};
    const Bytes ad{0xAA, 0xD7, 0, 0, 0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF, 0x55};
    ASSERT_TRUE(ParseAdAnswer(View(ad), block));
    EXPECT_EQ(Bytes(block, block + 8), (Bytes{0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF}));
    std::uint8_t untouched[kAdBlockSize] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(ParseAdAnswer(View(Bytes(ad.begin(), ad.end() - 1)), untouched));
    EXPECT_EQ(untouched[0], 9);
}
