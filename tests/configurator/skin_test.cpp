#include <QApplication>

#include "app/skin.h"
#include "gui_fixture.h"

using Skin = GuiTest;

TEST_F(Skin, AStyleSheetBesideTheProgramIsApplied) {
    const QByteArray sheet = "QPushButton { color: #102030; }";
    WriteModuleFile(QStringLiteral("Styles/WinXP.Royale.cjstyles"), sheet);
    EXPECT_TRUE(LoadSkin(ModuleDir() + QStringLiteral("/Styles/WinXP.Royale.cjstyles")));
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(sheet));
}

TEST_F(Skin, MissingOrBinarySkinsAreIgnored) {
    EXPECT_FALSE(LoadSkin(ModuleDir() + QStringLiteral("/Styles/WinXP.Royale.cjstyles")));
    WriteModuleFile(QStringLiteral("Styles/WinXP.Royale.cjstyles"), QByteArray("MZ\x90\0\x03\0", 6));
    EXPECT_FALSE(LoadSkin(ModuleDir() + QStringLiteral("/Styles/WinXP.Royale.cjstyles")));
    EXPECT_EQ(qApp->styleSheet(), QString());
}
