// Where the search settings are read and written: the shipped Meshcfg.ini
// beside the program while that folder can be written, the user's own file
// once it cannot (an installed program) and from then on.
#include "common/user_settings.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <utility>

#include "common/ini_file.h"
#include "common/module_dir.h"

namespace {

const QString kSearch = QStringLiteral("Search");
const QString kChannel = QStringLiteral("Channel");
const QString kRate = QStringLiteral("Rate");

class UserSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        saved_ = {qgetenv("XDG_CONFIG_HOME"), qgetenv("HOME")};
        qputenv("XDG_CONFIG_HOME", root_.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("HOME", root_.filePath(QStringLiteral("home")).toLocal8Bit());
        ASSERT_TRUE(QDir().mkpath(ProgramDir()));
        StandIn({ProgramDir()});
    }
    void TearDown() override {
        place_.reset();
        Restore("XDG_CONFIG_HOME", saved_.first);
        Restore("HOME", saved_.second);
    }
    static void Restore(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QString ProgramDir() const { return root_.filePath(QStringLiteral("program")); }
    QString UserFile() const { return root_.filePath(QStringLiteral("config/qrvtune/Meshcfg.ini")); }
    // A folder nobody can write, root included: its parent is a plain file.
    void MakeProgramDirUnwritable() {
        QFile blocker(root_.filePath(QStringLiteral("blocker")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        StandIn({root_.filePath(QStringLiteral("blocker/program"))});
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void StandIn(ShippedFiles files) {
        place_.reset();
        place_.emplace(std::move(files));
    }

    QTemporaryDir root_;
    std::pair<QByteArray, QByteArray> saved_;
    std::optional<ShippedFilesStandIn> place_;
};

TEST_F(UserSettings, WritableProgramFolderKeepsTheSettingsBesideTheProgram) {
    ASSERT_TRUE(WriteUserSetting(kSearch, kChannel, QStringLiteral("0101")));
    EXPECT_EQ(ReadIniString(ProgramSettingsPath(), kSearch, kChannel), QStringLiteral("0101"));
    EXPECT_FALSE(QFile::exists(UserFile()));
    EXPECT_EQ(ReadUserSetting(kSearch, kChannel), QStringLiteral("0101"));
}

TEST_F(UserSettings, UnwritableProgramFolderSendsTheChangeToTheUsersFile) {
    MakeProgramDirUnwritable();
    ASSERT_TRUE(WriteUserSetting(kSearch, kRate, QStringLiteral("001")));
    EXPECT_EQ(ReadIniString(UserFile(), kSearch, kRate), QStringLiteral("001"));
    EXPECT_EQ(ReadUserSetting(kSearch, kRate), QStringLiteral("001"));
}

// A package owns the installed file: whoever runs the program, root
// included, changes go to the user's file.
TEST_F(UserSettings, InstalledProgramNeverWritesItsShippedFile) {
    Write(ProgramSettingsPath(), "[Search]\nRate=111\n");
    StandIn({ProgramDir(), /*installed=*/true});
    ASSERT_TRUE(WriteUserSetting(kSearch, kRate, QStringLiteral("001")));
    EXPECT_EQ(ReadIniString(ProgramSettingsPath(), kSearch, kRate), QStringLiteral("111"));
    EXPECT_EQ(ReadIniString(UserFile(), kSearch, kRate), QStringLiteral("001"));
    EXPECT_EQ(ReadUserSetting(kSearch, kRate), QStringLiteral("001"));
}

// A shipped file that cannot be rewritten faithfully is kept as it is.
TEST_F(UserSettings, AShippedFileThatCannotBeRewrittenSendsTheChangeToTheUsersFile) {
    static constexpr char kWithNul[] = "[APP]\nCOM=0\n\0[Search]\nRate=111\n";
    const QByteArray shipped(kWithNul, sizeof kWithNul - 1);
    Write(ProgramSettingsPath(), shipped);
    ASSERT_TRUE(WriteUserSetting(kSearch, kRate, QStringLiteral("001")));
    QFile file(ProgramSettingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), shipped);
    EXPECT_EQ(ReadUserSetting(kSearch, kRate), QStringLiteral("001"));
}

TEST_F(UserSettings, UsersFileWinsForTheKeysItHoldsAndKeepsGettingTheirChanges) {
    Write(ProgramSettingsPath(), "[Search]\nChannel=1111\nRate=111\n");
    Write(UserFile(), "[Search]\nChannel=0001\n");
    EXPECT_EQ(ReadUserSetting(kSearch, kChannel), QStringLiteral("0001"));
    EXPECT_EQ(ReadUserSetting(kSearch, kRate), QStringLiteral("111"));  // shipped default

    // Written where it is read, though the program's folder is writable.
    ASSERT_TRUE(WriteUserSetting(kSearch, kChannel, QStringLiteral("0011")));
    EXPECT_EQ(ReadIniString(UserFile(), kSearch, kChannel), QStringLiteral("0011"));
    EXPECT_EQ(ReadIniString(ProgramSettingsPath(), kSearch, kChannel), QStringLiteral("1111"));
    EXPECT_EQ(ReadUserSetting(kSearch, kChannel), QStringLiteral("0011"));
}

TEST_F(UserSettings, AnEmptyValueInTheUsersFileStillCounts) {
    Write(ProgramSettingsPath(), "[Search]\nRate=111\n");
    Write(UserFile(), "[Search]\nRate=\n");
    EXPECT_EQ(ReadUserSetting(kSearch, kRate), QString());
}

TEST_F(UserSettings, UsersFolderFollowsXdgConfigHomeElseHomeConfig) {
    EXPECT_EQ(UserSettingsPath(), UserFile());
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(UserSettingsPath(), root_.filePath(QStringLiteral("home/.config/qrvtune/Meshcfg.ini")));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserSettingsPath(), root_.filePath(QStringLiteral("home/.config/qrvtune/Meshcfg.ini")));
}

TEST_F(UserSettings, NothingWritableIsReportedNotHidden) {
    MakeProgramDirUnwritable();
    qputenv("XDG_CONFIG_HOME", root_.filePath(QStringLiteral("blocker/config")).toLocal8Bit());
    EXPECT_FALSE(WriteUserSetting(kSearch, kChannel, QStringLiteral("1")));
    EXPECT_EQ(ReadUserSetting(kSearch, kChannel), QString());
}

}  // namespace
