#include <gtest/gtest.h>

#include <cstring>

#include "records/module_records.h"

using namespace qrv;

namespace {
ModuleProperty Sample() {
    ModuleProperty record{};
    std::memcpy(record.DevName, "ABCDEFGHIJKLMNO", 16);  // 15 bytes and the NUL
    std::strcpy(record.Password, "pw");
    record.NetId = 0x1234;
    record.LocalAddr = 0x0042;
    record.RetryInterval = 0x0102;
    record.UartStopBits = 2;
    record.UartParity = 4;
    record.Spare51 = 0x77;
    return record;
}
}  // namespace

TEST(NumberedProperty, TextNeedsRoomForTheTerminator) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPropertyByNumber(Sample(), 1, buffer, 15), kPropertyTextTooLong);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetPropertyByNumber(Sample(), 1, buffer, 16), kPropertyOk);
    EXPECT_STREQ(buffer, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(GetPropertyByNumber(Sample(), 2, buffer, 3), kPropertyOk);
    EXPECT_STREQ(buffer, "pw");
    EXPECT_EQ(GetPropertyByNumber(Sample(), 2, buffer, 2), kPropertyTextTooLong);
}

TEST(NumberedProperty, FieldWithoutTerminatorIsReadBounded) {
    ModuleProperty record{};
    std::memset(record.DevName, 'x', 16);
    std::memset(record.Password, 'y', 16);
    char buffer[40];
    EXPECT_EQ(GetPropertyByNumber(record, 1, buffer, 16), kPropertyTextTooLong);
    EXPECT_EQ(GetPropertyByNumber(record, 1, buffer, 17), kPropertyOk);
    EXPECT_EQ(std::strlen(buffer), 16u);
}

TEST(NumberedProperty, NumbersOutOfRangeAndSwappedParity) {
    std::uint8_t byte = 0;
    EXPECT_EQ(GetPropertyByNumber(Sample(), 0, &byte, 1), kPropertyNoSuchNumber);
    EXPECT_EQ(GetPropertyByNumber(Sample(), 19, &byte, 1), kPropertyNoSuchNumber);
    EXPECT_EQ(GetPropertyByNumber(Sample(), 14, &byte, 1), kPropertyOk);
    EXPECT_EQ(byte, 4);  // parity, offset 48
    EXPECT_EQ(GetPropertyByNumber(Sample(), 15, &byte, 1), kPropertyOk);
    EXPECT_EQ(byte, 2);  // stop bits, offset 47
    EXPECT_EQ(GetPropertyByNumber(Sample(), 18, &byte, 1), kPropertyOk);
    EXPECT_EQ(byte, 0x77);
}

TEST(NumberedProperty, WordsInHostOrderWhateverTheSize) {
    std::uint16_t word = 0;
    EXPECT_EQ(GetPropertyByNumber(Sample(), 11, &word, 0), kPropertyOk);
    EXPECT_EQ(word, 0x0102);
    EXPECT_EQ(GetPropertyByNumber(Sample(), 5, &word, 1), kPropertyOk);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(GetPropertyByNumber(Sample(), 6, &word, 2), kPropertyOk);
    EXPECT_EQ(word, 0x0042);
}

TEST(NumberedProperty, WriteIsAcceptedAndChangesNothing) {
    ModuleProperty record = Sample();
    const std::uint8_t value = 9;
    const ModuleProperty before = record;
    EXPECT_EQ(SetPropertyByNumber(4, &value, 1, record), kPropertyOk);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(WireImage, RoundTripsAndSwapsEveryWord) {
    ModuleProperty record = Sample();
    record.DevType = 0x0012;
    record.FwVersion = 0x1234;
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    EXPECT_EQ(wire[34], 0x12);
    EXPECT_EQ(wire[35], 0x34);
    EXPECT_EQ(wire[43], 0x01);
    EXPECT_EQ(wire[44], 0x02);
    EXPECT_EQ(wire[55], 0x12);
    EXPECT_EQ(wire[56], 0x34);
    const ModuleProperty back = PropertyFromWire(wire);
    EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0);
}
