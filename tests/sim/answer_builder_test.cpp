// Answers byte for byte, and each one accepted by the host's own checks.
#include "sim/answer_builder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "protocol/frames.h"
#include "sim/scenario.h"

using namespace qrv::sim;
using namespace qrv::protocol;

namespace {

Answer View(const Bytes& bytes) { return Answer{bytes.data(), bytes.size()}; }

ModuleBase Base(std::uint16_t addr, std::uint16_t type, std::uint8_t run, std::uint16_t fw) {
    ModuleBase b{};
    b.NetAddr = addr;
    b.DevType = type;
    b.RunState = run;
    b.FwVersion = fw;
    return b;
}

}  // namespace

TEST(AnswerBuilder, MatchesTheCommandTableByteForByte) {
    struct Row {
        const char* name;
        Bytes actual;
        Bytes expected;
    };
    const Row rows[] = {
        {"base info",
         BuildBaseInfoAnswer(Base(0x0102, 0x0012, 0xAA, 0x0123)),
         {0xAB, 0xD1, 0x01, 0x02, 0x00, 0x12, 0xAA, 0x01, 0x23, 0xBA}},
        {"write ack", BuildWritePropertyAnswer(0x0A0B, 0), {0xAB, 0xD3, 0x0A, 0x0B, 0x00, 0xBA}},
        {"tune", BuildTuneAnswer(0), {0xAB, 0xD4, 0x00, 0xBA}},
        {"search",
         BuildSearchAnswer(0xD5, Base(0x0506, 0, 0x55, 0x0100)),
         {0xAB, 0xD5, 0x05, 0x06, 0x00, 0x00, 0x55, 0xBA}},
        {"search by address",
         BuildSearchAnswer(0xD6, Base(0x0304, 0x11, 0xAA, 0)),
         {0xAB, 0xD6, 0x03, 0x04, 0x00, 0x11, 0xAA, 0xBA}},
        {"enter update",
         BuildAddrTypeAnswer(0xD8, 0x0102, 0x0010, 0),
         {0xAB, 0xD8, 0x01, 0x02, 0x00, 0x10, 0x00, 0xBA}},
        {"factory reset refused",
         BuildAddrTypeAnswer(0xDB, 0x0102, 0x0010, 1),
         {0xAB, 0xDB, 0x01, 0x02, 0x00, 0x10, 0x01, 0xBA}},
        {"block", BuildFirmwareBlockAnswer(0x0203, 0x1F40, 0), {0xAB, 0xD9, 0x02, 0x03, 0x1F, 0x40, 0x00, 0xBA}},
        {"io directions", BuildIoStatusAnswer(0xD4, 0x1234, 0), {0xAA, 0xD4, 0x12, 0x34, 0x00, 0x55}},
        {"io outputs", BuildIoStatusAnswer(0xD5, 0x1234, 0), {0xAA, 0xD5, 0x12, 0x34, 0x00, 0x55}},
        {"io inputs", BuildIoInputsAnswer(0x1234, 0x0A), {0xAA, 0xD6, 0x12, 0x34, 0x0A, 0x55}},
        {"ad",
         BuildAdAnswer(0x1234, {1650, 3300, 0, 0x0102}),
         {0xAA, 0xD7, 0x12, 0x34, 0x06, 0x72, 0x0C, 0xE4, 0x00, 0x00, 0x01, 0x02, 0x55}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.actual, row.expected);
    }
}

TEST(AnswerBuilder, PropertyAnswerCarriesTheRecordFromByteSix) {
    ModuleProperty record = TypicalRecord(0x0A0B, 0x0012, 26, 2);
    SetTextField(record.DevName, "Pump-IO");
    record.RetryInterval = 0x0140;
    const Bytes answer = BuildPropertyAnswer(0x0A0B, 0, 0x34, record);
    ASSERT_EQ(answer.size(), kAnswerLenProperty);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 6), (Bytes{0xAB, 0xD2, 0x0A, 0x0B, 0x00, 0x34}));
    EXPECT_EQ(answer[6], 'P');
    EXPECT_EQ(answer[6 + 36], 0x0A);  // LocalAddr, high byte first
    EXPECT_EQ(answer[6 + 43], 0x01);  // RetryInterval, high byte first
    EXPECT_EQ(answer[6 + 44], 0x40);
    EXPECT_EQ(answer[6 + 53], 0x00);  // DevType
    EXPECT_EQ(answer[6 + 54], 0x12);

    ModuleProperty parsed{};
    ASSERT_TRUE(ParsePropertyAnswer(View(answer), parsed).Ok());
    EXPECT_EQ(std::memcmp(&parsed, &record, sizeof record), 0);
}

TEST(AnswerBuilder, HostChecksAcceptEveryAnswer) {
    const ModuleBase base = Base(0x0102, 0x0010, 0xAA, 0x0123);
    ModuleBase info{};
    ASSERT_TRUE(ParseBaseInfoAnswer(View(BuildBaseInfoAnswer(base)), info).Ok());
    EXPECT_EQ(+info.NetAddr, 0x0102);
    EXPECT_EQ(+info.FwVersion, 0x0123);
    EXPECT_TRUE(CheckWritePropertyAnswer(View(BuildWritePropertyAnswer(0x0102, 0))).Ok());
    EXPECT_FALSE(CheckWritePropertyAnswer(View(BuildWritePropertyAnswer(0x0102, 1))).Ok());
    EXPECT_TRUE(CheckTuneAnswer(View(BuildTuneAnswer(0))).Ok());
    ModuleBase found{};
    EXPECT_TRUE(ParseSearchAnswer(View(BuildSearchAnswer(0xD5, base)), 0xD5, found).Ok());
    EXPECT_TRUE(CheckUpdateStepAnswer(View(BuildAddrTypeAnswer(0xD8, 0x0102, 0x10, 0))).Ok());
    EXPECT_TRUE(CheckFactoryResetAnswer(View(BuildAddrTypeAnswer(0xDB, 0x0102, 0x10, 0))).Ok());
    EXPECT_TRUE(CheckFirmwareBlockAnswer(View(BuildFirmwareBlockAnswer(0x0102, 0x0140, 0)), 0x0102, 0x0140).Ok());
    EXPECT_TRUE(CheckIoSetDirectionsAnswer(View(BuildIoStatusAnswer(0xD4, 0x0102, 0)), true).Ok());
    EXPECT_TRUE(CheckIoSetOutputsAnswer(View(BuildIoStatusAnswer(0xD5, 0x0102, 0))).Ok());
    std::uint8_t lines = 0;
    EXPECT_TRUE(ParseIoInputsAnswer(View(BuildIoInputsAnswer(0x0102, 0x05)), lines).Ok());
    EXPECT_EQ(lines, 0x05);
    std::uint8_t block[kAdBlockSize];
    EXPECT_TRUE(ParseAdAnswer(View(BuildAdAnswer(0x0102, {1, 2, 3, 4})), block).Ok());
}

TEST(AnswerBuilder, StatusPositionsFollowTheTable) {
    EXPECT_EQ(StatusPosition({Family::Config, 0xD3}), std::optional<std::size_t>(4));
    EXPECT_EQ(StatusPosition({Family::Config, 0xD4}), std::optional<std::size_t>(2));
    EXPECT_EQ(StatusPosition({Family::Config, 0xD9}), std::optional<std::size_t>(6));
    EXPECT_EQ(StatusPosition({Family::Config, 0xDB}), std::optional<std::size_t>(6));
    EXPECT_EQ(StatusPosition({Family::Io, 0xD5}), std::optional<std::size_t>(4));
    EXPECT_FALSE(StatusPosition({Family::Config, 0xD1}));
    EXPECT_FALSE(StatusPosition({Family::Io, 0xD7}));
}
