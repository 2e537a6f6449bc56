#include "common/module_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "gui_fixture.h"

TEST(ModuleDir, IsTheProgramsDirectoryWithoutTrailingSeparator) {
    EXPECT_EQ(ModuleDirOf(QStringLiteral("/opt/qrv/Qrvtune")), QStringLiteral("/opt/qrv"));
    // In the root directory the result is empty, so appending "/Meshcfg.ini"
    // still names the file beside the program.
    EXPECT_EQ(ModuleDirOf(QStringLiteral("/Qrvtune")), QString());
    EXPECT_EQ(ModuleDirOf(QStringLiteral("/Qrvtune")) + QStringLiteral("/Meshcfg.ini"), QStringLiteral("/Meshcfg.ini"));
}

using ModuleDirOfRunningProgram = GuiTest;

TEST_F(ModuleDirOfRunningProgram, MatchesTheExecutablesDirectoryUnlessOverridden) {
    EXPECT_EQ(GetModuleDir(), ModuleDir());
    {
        const ShippedFilesStandIn own({});
        EXPECT_EQ(GetModuleDir(), QCoreApplication::applicationDirPath());
    }
    EXPECT_EQ(GetModuleDir(), ModuleDir());
}

TEST(ModuleDir, InstalledProgramFindsItsFilesInTheSharedDataFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString data = QDir::cleanPath(bin + QLatin1Char('/') + InstalledFilesFromProgramDir());
    ASSERT_TRUE(QDir().mkpath(bin));
    // The build tree: nothing installed, the files lie beside the program.
    ShippedFiles files = ShippedFilesFor(bin + QStringLiteral("/Qrvtune"));
    EXPECT_EQ(files.dir, bin);
    EXPECT_FALSE(files.installed);
    ASSERT_TRUE(QDir().mkpath(data));
    files = ShippedFilesFor(bin + QStringLiteral("/Qrvtune"));
    EXPECT_EQ(files.dir, data);
    EXPECT_TRUE(files.installed);
}
