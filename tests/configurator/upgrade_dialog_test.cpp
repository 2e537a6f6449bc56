// The firmware upgrade dialog against the simulated network: a whole upgrade
// through the worker, the bar, the outcome messages, the SDK's own messages,
// the path limit, one upgrade at a time and the ways out of the dialog.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

#include "app/sdk_messages.h"
#include "dialogs/dlg_upgrade_frame.h"
#include "firmware_file.h"
#include "advice_texts.h"
#include "gui_fixture.h"
#include "protocol/protocol_constants.h"
#include "records/module_records.h"
#include "simulated_network.h"

namespace {

using namespace std::chrono_literals;
using qrv::protocol::kCmdEnterUpdate;
using qrv::protocol::kCmdFirmwareBlock;
using qrvtune::MessageIcon;

const CapturedMessage kSucceeded{QStringLiteral("固件升级成功"), MessageIcon::Information};
const CapturedMessage kFailed{QStringLiteral("固件升级失败"), MessageIcon::Information};
// After any frame reached the module: its prepare command may have been taken.
const QString kMayStayInBoot = QStringLiteral("模块可能停留在 BOOT 状态（只运行引导程序）。再次运行升级即可完成。");
// Generous: a loaded machine, and one test sends a block that costs a second.
constexpr int kUpgradeLimitMs = 60000;

class UpgradeDialog : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        std::string error;
        ASSERT_TRUE(net_.Open(&error)) << error;
        InstallSdkMessageHandler();
    }

    void TearDown() override {
        Q_SetMessageHandler(nullptr, nullptr);
        GuiTest::TearDown();
    }

    // The dialog for the local module, shown (not modal: the test is the user).
    std::unique_ptr<CDlgUpgradeFrame> OpenDialog() {
        const ModuleBase local = net_.Sim().Module(SimulatedNetwork::kLocal).config.Base();
        auto dialog = std::make_unique<CDlgUpgradeFrame>();
        dialog->SetDevType(local.DevType);
        dialog->SetAddress(local.NetAddr);
        dialog->SetRunState(local.RunState);
        dialog->SetTargetKind(kUpgradeThroughLocalCall);
        dialog->show();
        return dialog;
    }

    QString WriteImage(const FirmwareHeader& header) {
        const QString path = ModuleDir() + QStringLiteral("/image.bin");
        EXPECT_TRUE(WriteFile(path, FirmwareImage(header)));
        return path;
    }

    template <typename T>
    static T* Find(QWidget& dialog, const char* name) {
        T* child = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static int Bar(QWidget& dialog) { return Find<QProgressBar>(dialog, "progressBar")->value(); }

    // Types `path`, presses "升级" and waits (bounded) for the outcome; the
    // highest bar position seen on the way is returned.
    static int Upgrade(CDlgUpgradeFrame& dialog, const QString& path) {
        Find<QLineEdit>(dialog, "pathEdit")->setText(path);
        Find<QPushButton>(dialog, "upgradeButton")->click();
        int highest = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (dialog.Upgrading()) highest = std::max(highest, Bar(dialog));
                return !dialog.Upgrading();
            },
            kUpgradeLimitMs);
        EXPECT_TRUE(ended) << "the upgrade did not end";
        return highest;
    }

    qrv::sim::ModuleState Local() { return net_.Sim().Module(SimulatedNetwork::kLocal); }

    SimulatedNetwork net_;
};

}  // namespace

TEST_F(UpgradeDialog, AWholeUpgradeEndsAtOneHundredAndTheModuleRunsTheNewVersion) {
    const std::uint16_t before = Local().config.record.FwVersion;
    auto dialog = OpenDialog();
    Upgrade(*dialog, WriteImage({}));

    EXPECT_EQ(Bar(*dialog), 100);
    EXPECT_EQ(Find<QLabel>(*dialog, "blockLabel")->text(), QStringLiteral("第 4 / 4 块"));
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kSucceeded});
    EXPECT_EQ(Local().installedImage.size(), 4u);
    ModuleBase base{};
    ModuleProperty property{};
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &property), 1);
    EXPECT_EQ(std::uint16_t{base.FwVersion}, qrv::sim::NextBcdVersion(before));
    EXPECT_EQ(base.RunState, qrv::kRunStateUser);
}

TEST_F(UpgradeDialog, AFirstRegionBlockGoesFirstWhileTheBarSweeps) {
    FirmwareHeader header;
    header.firstStart = 0x0100;
    header.firstEnd = 0x0140;  // one block, a second on its own
    header.secondStart = 0x0400;
    header.secondEnd = 0x0440;
    auto dialog = OpenDialog();
    const int highest = Upgrade(*dialog, WriteImage(header));

    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kSucceeded});
    EXPECT_GT(highest, 0);  // the first of the two blocks moved the bar meanwhile
    EXPECT_LT(highest, 100);
    std::vector<std::uint16_t> offsets;
    for (const auto& [offset, block] : Local().installedImage) offsets.push_back(offset);
    EXPECT_EQ(offsets, (std::vector<std::uint16_t>{0x0100, 0x0400}));
}

TEST_F(UpgradeDialog, AModuleThatIgnoresThePrepareCommandEndsAtZero) {
    net_.Sim().AddFault({qrv::sim::FaultKind::Drop, ConfigCommand(kCmdEnterUpdate)});
    auto dialog = OpenDialog();
    Upgrade(*dialog, WriteImage({}));

    EXPECT_EQ(Bar(*dialog), 0);
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{kFailed.text, kFailed.icon,
                                             NoAnswerAdvice("enter-update", net_.Sim().SlavePath(),
                                                            SimulatedNetwork::kReadTimeoutMs) +
                                                 QLatin1Char('\n') + kMayStayInBoot}}));
    EXPECT_EQ(net_.RequestCount(ConfigCommand(kCmdFirmwareBlock)), 0u);
    EXPECT_TRUE(Find<QPushButton>(*dialog, "upgradeButton")->isEnabled());  // idle again
}

TEST_F(UpgradeDialog, AnImageOfVersionFifteenIsRefusedWithTheSdksMessage) {
    FirmwareHeader header;
    header.imageVersion = 15;
    auto dialog = OpenDialog();
    Upgrade(*dialog, WriteImage(header));

    const std::vector<CapturedMessage> expected{{QStringLiteral("固件版本不对"), MessageIcon::None}, kFailed};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(Bar(*dialog), 0);
    EXPECT_EQ(net_.RequestCount(ConfigCommand(kCmdFirmwareBlock)), 0u);
}

TEST_F(UpgradeDialog, EmptyAndOverlongPathsFail) {
    auto dialog = OpenDialog();
    net_.Sim().ClearLog();
    Upgrade(*dialog, QString());  // refused without a call, saying why
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{kFailed.text, kFailed.icon,
                                             QStringLiteral("没有选择固件文件：请按“浏览”选择一个固件文件（.bin）。")}}));

    // 259 characters still reach the SDK, which reports the missing file.
    const QString folder = ModuleDir() + QLatin1Char('/');
    const QString longest = folder + QString(259 - folder.size() - 4, QLatin1Char('f')) + QStringLiteral(".bin");
    ASSERT_EQ(longest.size(), 259);
    toolkit_.ClearMessages();
    Upgrade(*dialog, longest);
    const std::vector<CapturedMessage> reported = toolkit_.Messages();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported.back(), kFailed);

    // One more does not fit the worker's copy: refused without a call.
    toolkit_.ClearMessages();
    Upgrade(*dialog, longest + QLatin1Char('n'));
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{
                  {kFailed.text, kFailed.icon,
                   QStringLiteral("文件路径太长（最多 259 个字符）：请把固件文件放到路径较短的文件夹中。")}}));
    EXPECT_EQ(Bar(*dialog), 0);
    EXPECT_EQ(net_.AllRequestCount(), 0u);
}

TEST_F(UpgradeDialog, OneUpgradeAtATimeAndNoLeavingBeforeItEnds) {
    auto dialog = OpenDialog();
    auto* upgrade = Find<QPushButton>(*dialog, "upgradeButton");
    Find<QLineEdit>(*dialog, "pathEdit")->setText(WriteImage({}));
    upgrade->click();
    // The outcome is taken on this thread's timer, so the upgrade is
    // running here whatever the worker has done so far.
    ASSERT_TRUE(dialog->Upgrading());
    EXPECT_FALSE(upgrade->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*dialog, "browseButton")->isEnabled());
    upgrade->click();

    Find<QPushButton>(*dialog, "exitButton")->click();
    const std::vector<CapturedMessage> refused{
        {QStringLiteral("正在升级固件，请等待升级结束后再退出"), MessageIcon::Warning}};
    EXPECT_EQ(toolkit_.Messages(), refused);
    EXPECT_TRUE(dialog->isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->Upgrading(); }, kUpgradeLimitMs));
    EXPECT_EQ(toolkit_.Messages().back(), kSucceeded);
    EXPECT_EQ(net_.RequestCount(ConfigCommand(kCmdEnterUpdate)), 1u);
    EXPECT_TRUE(upgrade->isEnabled());

    Find<QPushButton>(*dialog, "exitButton")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(UpgradeDialog, EnterEscAndTheCloseBoxLeaveItOpen) {
    auto dialog = OpenDialog();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QTest::keyClick(dialog.get(), Qt::Key_Enter);
    EXPECT_FALSE(dialog->close());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(toolkit_.Messages().empty());
    EXPECT_EQ(net_.AllRequestCount(), 0u);
}

TEST_F(UpgradeDialog, BrowseOffersBinFilesAndCancelKeepsThePath) {
    auto dialog = OpenDialog();
    auto* path = Find<QLineEdit>(*dialog, "pathEdit");
    toolkit_.ScriptFileAnswer(QStringLiteral("/firmware/vlx-2.06.bin"));
    toolkit_.ScriptFileAnswer(std::nullopt);
    Find<QPushButton>(*dialog, "browseButton")->click();
    EXPECT_EQ(path->text(), QStringLiteral("/firmware/vlx-2.06.bin"));
    Find<QPushButton>(*dialog, "browseButton")->click();
    EXPECT_EQ(path->text(), QStringLiteral("/firmware/vlx-2.06.bin"));
    EXPECT_EQ(toolkit_.FileFilters(), QStringList(2, QStringLiteral("固件文件 (*.bin)|*.bin||")));
}
