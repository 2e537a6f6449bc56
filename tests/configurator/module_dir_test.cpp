#include <QCoreApplication>

#include "common/module_dir.h"
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
    qrvtune::detail::OverrideModuleDir(QString());
    EXPECT_EQ(GetModuleDir(), QCoreApplication::applicationDirPath());
}
