#include <gtest/gtest.h>

#include "common/record_text.h"

TEST(FormatFwVersion, PrintsFourNibblesAsDecimalDigits) {
    EXPECT_EQ(FormatFwVersion(0x0123), QStringLiteral("V1.23"));
    EXPECT_EQ(FormatFwVersion(0x1234), QStringLiteral("V12.34"));
    EXPECT_EQ(FormatFwVersion(0x0A05), QStringLiteral("V10.05"));
    EXPECT_EQ(FormatFwVersion(0x0000), QStringLiteral("V0.00"));
    EXPECT_EQ(FormatFwVersion(0x0105), QStringLiteral("V1.05"));
    // Nibbles above 9 print as two-digit numbers, not hex letters.
    EXPECT_EQ(FormatFwVersion(0xFFFF), QStringLiteral("V1515.1515"));
}

TEST(RunStateText, NamesBootAndUserAndEverythingElseNoBoot) {
    EXPECT_EQ(RunStateText(0x55), QStringLiteral("BOOT"));
    EXPECT_EQ(RunStateText(0xAA), QStringLiteral("USER"));
    EXPECT_EQ(RunStateText(0x00), QStringLiteral("NOBOOT"));
    EXPECT_EQ(RunStateText(0x20), QStringLiteral("NOBOOT"));
}

TEST(GetDevTypeName, NamesTheThreeFamiliesAndTheBootLoader) {
    EXPECT_EQ(GetDevTypeName(0x00), QStringLiteral("BOOT"));
    EXPECT_EQ(GetDevTypeName(0x10), QStringLiteral("QRV设备(点对点设备)"));
    EXPECT_EQ(GetDevTypeName(0x11), QStringLiteral("KORVANET设备"));
    EXPECT_EQ(GetDevTypeName(0x12), QStringLiteral("VLX设备(无线IO设备)"));
    EXPECT_EQ(GetDevTypeName(0x13), QString());
    // The whole code counts: 0x110 is no KORVANET module.
    EXPECT_EQ(GetDevTypeName(0x110), QString());
}
