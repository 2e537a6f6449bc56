#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/ini_file.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Write(const QByteArray& bytes) {
        QFile file(Path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return Path();
    }
    QString Path() const { return dir_.filePath(QStringLiteral("Meshcfg.ini")); }
    QByteArray Contents() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("BaseInfo"), QStringLiteral("Ver")), QString());
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("COM"), 7), 7);
    Write("[APP]\r\nCOM=2\r\n");
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("BaseInfo"), QStringLiteral("Ver")), QString());
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("Other"), 0), 0);
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("Search"), QStringLiteral("COM"), 5), 5);
}

TEST_F(IniFile, NamesIgnoreLetterCase) {
    Write("[baseinfo]\r\nVER=2.1\r\n[app]\r\ncom = 3\r\n");
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("BaseInfo"), QStringLiteral("Ver")), QStringLiteral("2.1"));
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("COM"), 0), 3);
}

TEST_F(IniFile, IntegersReadTheLeadingNumberLikeTheProfileCalls) {
    Write("[APP]\nA=12abc\nB=abc\nC=  -4\nD=\n");
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("A"), 9), 12);
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("B"), 9), 0);
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("C"), 9), -4);
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("D"), 9), 0);
}

TEST_F(IniFile, ValuesAreCutTo259CharactersAndUnquoted) {
    Write("[S]\nlong=" + QByteArray(300, 'x') + "\nquoted=\"a b\"\n");
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("S"), QStringLiteral("long")), QString(259, QLatin1Char('x')));
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("S"), QStringLiteral("quoted")), QStringLiteral("a b"));
}

TEST_F(IniFile, FilesThatAreNotUtf8AreReadAsGb18030) {
    Write("[desc]\r\n1=\xC9\xE8\xB1\xB8\xC3\xFB\xB3\xC6\r\n");  // 设备名称 in GBK
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("desc"), QStringLiteral("1")), QStringLiteral("设备名称"));
    Write("\xEF\xBB\xBF[desc]\n1=设备名称\n");  // UTF-8 with a byte-order mark
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("desc"), QStringLiteral("1")), QStringLiteral("设备名称"));
}

TEST_F(IniFile, WritingKeepsTheRestOfTheFile) {
    Write("[APP]\r\nCOM=2\r\n[desc]\r\n1=\xC9\xE8\xB1\xB8\r\n");
    ASSERT_TRUE(WriteIniString(Path(), QStringLiteral("search"), QStringLiteral("Rate"), QStringLiteral("001")));
    ASSERT_TRUE(WriteIniString(Path(), QStringLiteral("APP"), QStringLiteral("com"), QStringLiteral("4")));
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("Search"), QStringLiteral("Rate")), QStringLiteral("001"));
    EXPECT_EQ(ReadIniInt(Path(), QStringLiteral("APP"), QStringLiteral("COM"), 0), 4);
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("desc"), QStringLiteral("1")), QStringLiteral("设备"));
    EXPECT_EQ(Contents().count("COM"), 1) << Contents().toStdString();
}

TEST_F(IniFile, WritingCreatesAMissingFile) {
    ASSERT_TRUE(WriteIniString(Path(), QStringLiteral("Search"), QStringLiteral("Channel"), QStringLiteral("0101")));
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("Search"), QStringLiteral("Channel")), QStringLiteral("0101"));
}
