#include <gtest/gtest.h>

#include <cstring>

#include "common/text_codec.h"

namespace {
const QString kReplacement(QChar(0xFFFD));
}

TEST(ModuleText, ChineseNamesTravelAsGbkBothWays) {
    const std::string gbk = "\xC4\xE3\xBA\xC3QRV";  // 你好QRV
    EXPECT_EQ(MbcsToText(gbk), QStringLiteral("你好QRV"));
    EXPECT_EQ(TextToMbcs(QStringLiteral("你好QRV")), gbk);
    // Code page 936 has the euro sign at 0x80, which plain GBK lacks.
    EXPECT_EQ(TextToMbcs(QStringLiteral("€")), std::string("\x80"));
    EXPECT_EQ(MbcsToText("\x80"), QStringLiteral("€"));
}

TEST(ModuleText, NullAndEmptyGiveEmptyText) {
    EXPECT_EQ(MbcsToText(nullptr, 0), QString());
    EXPECT_EQ(MbcsToText(""), QString());
    EXPECT_EQ(TextToMbcs(QString()), std::string());
    EXPECT_EQ(TextToMbcs(QStringLiteral("")), std::string());
}

TEST(ModuleText, UndecodableBytesShowAsReplacementCharactersNotDropped) {
    // 0xFF is never valid; every bad byte gets its own mark.
    EXPECT_EQ(MbcsToText("A\xFF\xFF" "B"), QStringLiteral("A") + kReplacement + kReplacement + QStringLiteral("B"));
    // A lead byte cut off at the end of the text.
    EXPECT_EQ(MbcsToText("A\xC4"), QStringLiteral("A") + kReplacement);
    // A lead byte followed by a byte that cannot trail it: the trailing byte survives.
    EXPECT_EQ(MbcsToText("\x81\x20Z"), kReplacement + QStringLiteral(" Z"));
}

TEST(ModuleText, FullFieldWithoutTerminatorIsReadOnlyToItsEnd) {
    struct {
        char name[16];
        char next[16];
    } record;
    std::memset(record.name, 'a', sizeof record.name);
    std::memset(record.next, 'b', sizeof record.next);
    record.next[15] = '\0';
    EXPECT_EQ(MbcsToText(record.name), QString(16, QLatin1Char('a')));
    const auto& frozen = record;  // a const record must stay bounded too
    EXPECT_EQ(MbcsToText(frozen.name), QString(16, QLatin1Char('a')));
}

TEST(ModuleText, CharactersGbkLacksBecomeQuestionMarks) {
    EXPECT_EQ(TextToMbcs(QStringLiteral("a\U0001F600b")), std::string("a?b"));
    EXPECT_EQ(TextToMbcs(QStringLiteral("é")), std::string("\xA8\xA6"));  // GBK has it
}

TEST(ModuleText, TextEndsAtItsFirstNul) {
    EXPECT_EQ(TextToMbcs(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")), std::string("ab"));
}

TEST(ModuleText, FieldFitCountsGbkBytesAndTheTerminator) {
    EXPECT_TRUE(FitsMbcsField(QStringLiteral("一二三四五六七"), 16));     // 14 bytes + NUL
    EXPECT_FALSE(FitsMbcsField(QStringLiteral("一二三四五六七八"), 16));  // 16 bytes + NUL
    EXPECT_TRUE(FitsMbcsField(QString(15, QLatin1Char('x')), 16));
    EXPECT_FALSE(FitsMbcsField(QString(16, QLatin1Char('x')), 16));
}
