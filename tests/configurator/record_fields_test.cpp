// The record <-> form rules without widgets: hexadecimal boxes, list
// positions, the status line, fixed text fields and the advanced values.
#include "common/record_fields.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(HexFieldText, IsLowerCaseWithoutPrefixOrLeadingZeros) {
    EXPECT_EQ(HexFieldText(0x00AB), QStringLiteral("ab"));
    EXPECT_EQ(HexFieldText(0), QStringLiteral("0"));
    EXPECT_EQ(HexFieldText(0xFFFF), QStringLiteral("ffff"));
}

TEST(ScanHexWord, ReadsLikeHexScanningAndKeepsTheLowSixteenBits) {
    const struct {
        const char16_t* text;
        std::optional<std::uint16_t> value;
    } cases[] = {
        {u"ab", 0xAB},
        {u"0x1F", 0x1F},
        {u"0X1f", 0x1F},
        {u" \t 7", 7},
        {u"12345", 0x2345},        // five digits: the low 16 bits
        {u"fffffffffff", 0xFFFF},  // longer than any integer: still the low bits
        {u"1fz9", 0x1F},           // digits up to the first non-digit
        {u"0x", 0},                // the 0 is a number; x is where it ends
        {u"0xg", 0},
        {u"", std::nullopt},
        {u"   ", std::nullopt},
        {u"xyz", std::nullopt},
        {u"-1", std::nullopt},
        {u"\uFF11\uFF12", std::nullopt},  // full-width digits are no hexadecimal digits
    };
    for (const auto& row : cases) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(ScanHexWord(text), row.value) << text.toStdString();
    }
}

TEST(RecordLists, PositionsFollowTheOffsetsAndOutOfRangeSelectsNothing) {
    EXPECT_EQ(ListPositionOf(30, kChannelList), 24);
    EXPECT_EQ(ListPositionOf(6, kChannelList), 0);
    EXPECT_EQ(ListPositionOf(5, kChannelList), -1);
    EXPECT_EQ(ListPositionOf(40, kChannelList), -1);
    EXPECT_EQ(ListPositionOf(0x12, kTxPowerList), 16);
    EXPECT_EQ(ListPositionOf(0x20, kTxPowerList), -1);
    EXPECT_EQ(ListPositionOf(2, kUartStopBitsList), 1);
    EXPECT_EQ(ListPositionOf(0, kUartStopBitsList), -1);
    EXPECT_EQ(ListPositionOf(8, kUartDataBitsList), 3);
    EXPECT_EQ(ListPositionOf(7, kWorkModeList), -1);
}

TEST(RecordLists, NoSelectionKeepsTheRecordedValue) {
    EXPECT_EQ(ListValueOf(24, kChannelList, 40), 30);
    EXPECT_EQ(ListValueOf(-1, kChannelList, 40), 40);
    EXPECT_EQ(ListValueOf(-1, kTxPowerList, 0x20), 0x20);
    EXPECT_EQ(ListValueOf(0, kUartDataBitsList, 0), 5);
    EXPECT_EQ(ListValueOf(25, kChannelList, 11), 11);  // beyond the list: no entry either
}

TEST(ModuleStatusLine, KindAndVersionFromThePropertyRunStateFromTheBase) {
    ModuleBase base{};
    ModuleProperty property{};
    property.FwVersion = 0x0123;
    property.RunState = 0xAA;
    base.RunState = 0xAA;
    property.DevType = 0x10;
    EXPECT_EQ(ModuleStatusLine(base, property), QStringLiteral("QVR-1 V1.23 USER"));
    property.DevType = 0x11;
    EXPECT_EQ(ModuleStatusLine(base, property), QStringLiteral("QVR-2 V1.23 USER"));
    property.DevType = 0x12;
    EXPECT_EQ(ModuleStatusLine(base, property), QStringLiteral("QVR-2 V1.23 USER"));
    property.DevType = 0;
    base.RunState = 0x55;
    EXPECT_EQ(ModuleStatusLine(base, property), QStringLiteral("BOOT V1.23 BOOT"));
    // The record's own run-state byte says USER; the base record wins.
    base.RunState = 0x00;
    EXPECT_EQ(ModuleStatusLine(base, property), QStringLiteral("BOOT V1.23 NOBOOT"));
}

TEST(StoreMbcsField, StoresFifteenBytesAndRefusesSixteenWithoutTouchingTheField) {
    char field[16];
    std::memset(field, 'Z', sizeof field);
    // 7 GBK characters (14 bytes) and one ASCII letter: 15 bytes plus terminator.
    EXPECT_TRUE(StoreMbcsField(QStringLiteral("一二三四五六七A"), field));
    EXPECT_EQ(std::string(field, 16), std::string("\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF"
                                                  "A\0",
                                                  16));

    char before[16];
    std::memcpy(before, field, sizeof field);
    EXPECT_FALSE(StoreMbcsField(QStringLiteral("一二三四五六七八"), field));  // 16 bytes
    EXPECT_EQ(std::memcmp(field, before, sizeof field), 0);
}

TEST(StoreMbcsField, CopiesTheTerminatorAndLeavesTheRestAsItWas) {
    char field[16];
    std::memset(field, 'Z', sizeof field);
    EXPECT_TRUE(StoreMbcsField(QStringLiteral("ab"), field));
    EXPECT_EQ(std::string(field, 16), std::string("ab\0ZZZZZZZZZZZZZ", 16));
    EXPECT_TRUE(StoreMbcsField(QString(), field));
    EXPECT_EQ(field[0], '\0');
}

TEST(AdvancedValues, GoIntoTheRecordCutToTheFieldWidths) {
    ModuleProperty property{};
    property.Spare51 = 0x5A;
    StoreAdvancedValues({20, 100, 3, 500}, property);
    EXPECT_EQ(AdvancedValuesOf(property), (AdvancedValues{20, 100, 3, 500}));

    StoreAdvancedValues({300, 256, 257, 70000}, property);
    EXPECT_EQ(property.FrameGap, 44);
    EXPECT_EQ(property.FrameLen, 0);
    EXPECT_EQ(property.RetryCount, 1);
    // Packed 16-bit fields are compared as values (+): gtest takes its arguments by reference.
    EXPECT_EQ(+property.RetryInterval, 4464);
    EXPECT_EQ(property.Spare51, 0x5A);

    property.RetryInterval = 0xFFFF;
    property.FrameGap = 0xFF;
    EXPECT_EQ(AdvancedValuesOf(property).RetryInterval, 65535);  // unsigned, never -1
    EXPECT_EQ(AdvancedValuesOf(property).FrameGap, 255);
}
