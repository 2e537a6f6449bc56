#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

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

// One stray byte spoils its own value only, which shows the byte as U+FFFD;
// every other line reads as it was written (UTF-8 or GB18030).
TEST_F(IniFile, AStrayByteSpoilsOnlyItsOwnValue) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString one, two;
    } cases[] = {
        {"UTF-8 hint file", "[desc]\n1=\xE8\xAE\xBE\xE5\xA4\x87\n2=\xE5\xBC\xA0\xFF\n", QStringLiteral("设备"),
         QStringLiteral("张\uFFFD")},
        {"UTF-8 name after the bad line", "[U]\n2=a\xFF\n1=\xE5\xBC\xA0\xE4\xB8\x89\n", QStringLiteral("张三"),
         QStringLiteral("a\uFFFD")},
        {"GB18030 settings", "[U]\n1=\xD5\xC5\xC8\xFD\n2=\xC9\xE8\xFF\n", QStringLiteral("张三"),
         QStringLiteral("设\uFFFD")},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        const QString section = QString::fromLatin1(c.bytes.mid(1, c.bytes.indexOf(']') - 1));
        EXPECT_EQ(ReadIniString(Path(), section, QStringLiteral("1")), c.one) << c.name;
        EXPECT_EQ(ReadIniString(Path(), section, QStringLiteral("2")), c.two) << c.name;
    }
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

namespace {

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

struct EditCase {
    const char* name;
    QByteArray before;
    QByteArray after;  // the whole file after setting [Search] Rate=001
};

}  // namespace

// Only the key's line changes (or one line is added): encoding, byte-order
// mark, line endings, spacing, comments and everything else stay as found.
TEST_F(IniFile, WritingChangesOnlyTheKeysLine) {
    const QString utf16 = QStringLiteral("[desc]\r\n1=设备名称\r\n[Search]\r\nRate=100\r\n");
    const QString utf16After = QStringLiteral("[desc]\r\n1=设备名称\r\n[Search]\r\nRate=001\r\n");
    const EditCase cases[] = {
        {"in place", "; note\r\n[search]\r\n  rate = 100 \r\n\r\n[APP]\r\nCOM=1\r\n",
         "; note\r\n[search]\r\n  rate = 001\r\n\r\n[APP]\r\nCOM=1\r\n"},
        {"added to its section", "[Search]\nChannel=1\n; next\n\n[APP]\nCOM=1",
         "[Search]\nChannel=1\nRate=001\n; next\n\n[APP]\nCOM=1"},
        {"section appended", "[APP]\r\nCOM=1", "[APP]\r\nCOM=1\r\n[Search]\r\nRate=001\r\n"},
        {"every duplicate", "[Search]\nRate=1\n[x]\n[SEARCH]\nRate=2\n",
         "[Search]\nRate=001\n[x]\n[SEARCH]\nRate=001\n"},
        {"GB18030 stays GB18030", "[desc]\n1=\xC9\xE8\xB1\xB8\n", "[desc]\n1=\xC9\xE8\xB1\xB8\n[Search]\nRate=001\n"},
        {"UTF-8 mark kept", "\xEF\xBB\xBF[Search]\nRate=\n", "\xEF\xBB\xBF[Search]\nRate=001\n"},
        {"UTF-16LE", Utf16(utf16, QStringConverter::Utf16LE), Utf16(utf16After, QStringConverter::Utf16LE)},
        {"UTF-16BE", Utf16(utf16, QStringConverter::Utf16BE), Utf16(utf16After, QStringConverter::Utf16BE)},
    };
    for (const EditCase& c : cases) {
        Write(c.before);
        EXPECT_TRUE(WriteIniString(Path(), QStringLiteral("Search"), QStringLiteral("Rate"), QStringLiteral("001")))
            << c.name;
        EXPECT_EQ(Contents(), c.after) << c.name;
    }
    // And a UTF-16 file reads like any other.
    Write(Utf16(utf16, QStringConverter::Utf16BE));
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("desc"), QStringLiteral("1")), QStringLiteral("设备名称"));
}

// A file that cannot be read whole and faithfully is never rewritten: the
// write fails (the caller writes elsewhere) and the file keeps every byte.
TEST_F(IniFile, WritingRefusesFilesItCannotReadWhole) {
    const QByteArray large = "[Search]\nRate=100\n;" + QByteArray(1024 * 1024, 'x') + "\n";
    const std::pair<const char*, QByteArray> cases[] = {
        {"NUL byte", QByteArray("[APP]\nCOM=1\n\0[Search]\nRate=100\n", 31)},
        {"stray invalid byte", "[desc]\n1=\xE8\xAE\xBE\xFF\n[Search]\nRate=100\n"},
        {"UTF-16 cut in a character", Utf16(QStringLiteral("[Search]\nRate=100\n"), QStringConverter::Utf16LE) + 'x'},
        {"larger than 1 MiB", large},
    };
    for (const auto& [name, bytes] : cases) {
        Write(bytes);
        EXPECT_FALSE(WriteIniString(Path(), QStringLiteral("Search"), QStringLiteral("Rate"), QStringLiteral("001")))
            << name;
        EXPECT_EQ(Contents(), bytes) << name;
    }
    // Too large to be a settings file: not parsed at all.
    Write(large);
    EXPECT_EQ(ReadIniString(Path(), QStringLiteral("Search"), QStringLiteral("Rate")), QString());
}

TEST_F(IniFile, WritingKeepsPermissionsAndFollowsALink) {
    Write("[Search]\nRate=100\n");
    ASSERT_TRUE(QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(Path());
    const QString link = Path() + QStringLiteral(".link");
    ASSERT_TRUE(QFile::link(Path(), link));
    ASSERT_TRUE(WriteIniString(link, QStringLiteral("Search"), QStringLiteral("Rate"), QStringLiteral("001")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Contents(), "[Search]\nRate=001\n");
    EXPECT_EQ(QFile::permissions(Path()), permissions);
}

// A file its user may write but not read (mode 0200). Root reads anything,
// so as root the write is made by an unprivileged child process.
TEST_F(IniFile, WritingRefusesAFileItCannotRead) {
    const QByteArray bytes = "[APP]\nCOM=1\n[Search]\nRate=100\n";
    Write(bytes);
    constexpr uid_t kNobody = 65534;
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(QFileInfo(Path()).path()).constData(), kNobody, kNobody), 0);
        ASSERT_EQ(chown(QFile::encodeName(Path()).constData(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(chmod(QFile::encodeName(Path()).constData(), S_IWUSR), 0);
    const auto write = [this] {
        return WriteIniString(Path(), QStringLiteral("Search"), QStringLiteral("Rate"), QStringLiteral("001"));
    };
    if (root) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(setgid(kNobody) == 0 && setuid(kNobody) == 0 && !write() ? 0 : 1);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        EXPECT_FALSE(write());
    }
    EXPECT_EQ(Contents(), bytes);
}
