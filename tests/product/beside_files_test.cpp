// The files Qrvtune reads beside itself, as the build lays them out beside
// the program: every field has its hint, the title carries the shipped
// version, the banner decodes and fits its pane, the icon is built in.
#include <QComboBox>
#include <QImageReader>
#include <QRegularExpression>

#include <optional>

#include <gtest/gtest.h>

#include "app/qrvtune_dlg.h"
#include "common/field_hint.h"
#include "common/interface_language.h"
#include "common/ini_file.h"
#include "common/module_dir.h"
#include "gui_fixture.h"
#include "widgets/gdiplus_wnd.h"

namespace {

constexpr int kFieldCount = 17;

class BesideFiles : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        built_.emplace(ShippedFiles{QStringLiteral(QRVTUNE_DIR)});
    }
    void TearDown() override {
        built_.reset();  // before the fixture's own stand-in goes
        GuiTest::TearDown();
    }
    std::optional<ShippedFilesStandIn> built_;
    static QString Settings() { return QStringLiteral(QRVTUNE_DIR "/Meshcfg.ini"); }
};

TEST_F(BesideFiles, EveryFieldHasAHintOfAtMostOneProfileValue) {
    for (int number = 1; number <= kFieldCount; ++number) {
        const QString hint = ReadFieldHint(number);
        EXPECT_FALSE(hint.isEmpty()) << "field " << number;
        // Written line breaks all became real ones; none was cut off.
        EXPECT_FALSE(hint.contains(QStringLiteral("\\r"))) << "field " << number;
        EXPECT_FALSE(hint.contains(QStringLiteral("\\n"))) << "field " << number;
        EXPECT_LT(ReadIniString(GetModuleDir() + QStringLiteral("/desc.ini"), QStringLiteral("desc"),
                                QString::number(number))
                      .size(),
                  kIniValueMaxChars)
            << "field " << number;
    }
    EXPECT_TRUE(ReadFieldHint(kFieldCount + 1).isEmpty());
}

TEST_F(BesideFiles, TheEnglishTranslationAndHintsLieBesideTheProgram) {
    ASSERT_TRUE(ApplyUiLanguage(UiLanguage::English, GetModuleDir()));
    for (int number = 1; number <= kFieldCount; ++number)
        EXPECT_TRUE(IniHasKey(GetModuleDir() + QStringLiteral("/desc.ini"), QStringLiteral("desc_en"),
                              QString::number(number)))
            << "field " << number;
    EXPECT_EQ(ReadFieldHint(kHintDevName).left(12), QStringLiteral("Device name:"));
    // The banner's words in English, of the Chinese banner's size.
    EXPECT_EQ(BannerPath(), GetModuleDir() + QStringLiteral("/dadar_en.gxd"));
    EXPECT_EQ(QImageReader(BannerPath()).size(), QImageReader(GetModuleDir() + QStringLiteral("/dadar.gxd")).size());
    ApplyUiLanguage(UiLanguage::Chinese, QString());
}

TEST_F(BesideFiles, SettingsAreWellFormed) {
    EXPECT_EQ(ReadIniString(Settings(), QStringLiteral("BaseInfo"), QStringLiteral("Ver")),
              QStringLiteral(QRV_PROJECT_VERSION));
    EXPECT_EQ(ReadIniInt(Settings(), QStringLiteral("APP"), QStringLiteral("COM"), -1), 0);
    const QRegularExpression flags25(QStringLiteral("^[01]{25}$"));
    const QRegularExpression flags3(QStringLiteral("^[01]{3}$"));
    EXPECT_TRUE(flags25.match(ReadIniString(Settings(), QStringLiteral("Search"), QStringLiteral("Channel"))).hasMatch());
    EXPECT_TRUE(flags3.match(ReadIniString(Settings(), QStringLiteral("Search"), QStringLiteral("Rate"))).hasMatch());
}

TEST_F(BesideFiles, MainWindowShowsVersionIconAndBanner) {
    CQrvtuneDlg window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Qrvtune V" QRV_PROJECT_VERSION));
    EXPECT_FALSE(window.windowIcon().isNull());

    // The pane finds the format in the bytes, whatever the file is called.
    QImageReader reader(GetModuleDir() + QStringLiteral("/dadar.gxd"));
    reader.setDecideFormatFromContent(true);
    const QImage banner = reader.read();
    ASSERT_FALSE(banner.isNull()) << reader.errorString().toStdString();
    const auto* pane = window.findChild<CGDIPlusWnd*>(QStringLiteral("imagePane"));
    ASSERT_NE(pane, nullptr);
    // Drawn unscaled, it must not be cut off by the pane at its smallest.
    EXPECT_LE(banner.width(), pane->minimumWidth());
    EXPECT_LE(banner.height(), pane->minimumHeight());
}

}  // namespace
