// The advanced page's "升级": its three refusals, the identity it hands the
// upgrade dialog for the local or the selected far module, and a far
// module's upgrade from the network list to its new firmware.
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/sdk_messages.h"
#include "common/session_state.h"
#include "dialogs/dlg_upgrade_frame.h"
#include "firmware_file.h"
#include "gui_fixture.h"
#include "network_tab.h"
#include "records/module_records.h"
#include "simulated_network.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"

namespace {

using qrvtune::MessageIcon;

constexpr std::uint16_t kBootAddress = 0x0506;      // waiting in its boot loader

struct HandedIdentity {
    bool opened = false;
    std::uint16_t devType = 0;
    std::uint16_t address = 0;
    std::uint8_t runState = 0;
    std::uint8_t targetKind = 0;
    QString title;  // the dialog names the module it upgrades
};

class AdvancedPageUpgrade : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        std::string error;
        ASSERT_TRUE(net_.Open(&error)) << error;
        InstallSdkMessageHandler();
        Q_QRV_ClearSearchArr();
    }

    void TearDown() override {
        tab_.window.reset();
        Q_SetMessageHandler(nullptr, nullptr);
        Q_QRV_ClearSearchArr();
        GuiTest::TearDown();
    }

    static void PressUpgrade() { ViewDevAdvCfg().findChild<QPushButton*>(QStringLiteral("upgradeButton"))->click(); }

    // Presses "升级"; once the page has opened the dialog modally, `drive`
    // acts as the user and the dialog is left with "退出".
    static HandedIdentity PressUpgradeAndDrive(const std::function<void(CDlgUpgradeFrame&)>& drive) {
        HandedIdentity handed;
        QObject scope;  // cancels the drive if the page never opens the dialog
        QTimer::singleShot(0, &scope, [&] {
            auto* dialog = ViewDevAdvCfg().findChild<CDlgUpgradeFrame*>();
            if (dialog == nullptr) return;
            handed = {true,          dialog->DevType(),   dialog->Address(), dialog->RunState(), dialog->TargetKind(),
                      dialog->windowTitle()};
            if (drive) drive(*dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("exitButton"))->click();
            if (dialog->isVisible()) dialog->done(QDialog::Rejected);  // never leave the test hanging
        });
        PressUpgrade();
        return handed;
    }

    SimulatedNetwork net_;
    NetworkTab tab_;
};

}  // namespace

TEST_F(AdvancedPageUpgrade, RefusesWithoutAnOpenPortASelectionOrALocalRead) {
    tab_ = OpenNetworkTab(net_, std::nullopt);
    PressUpgrade();  // network tab, nothing selected
    Q_CloseCom();
    PressUpgrade();  // the port is checked first
    auto* tabs = tab_.window->findChild<QTabWidget*>(QStringLiteral("leftTabs"));
    tabs->setCurrentIndex(kLeftTabLocal);
    PressUpgrade();

    ASSERT_TRUE(net_.OpenPort());
    PressUpgrade();  // local tab, port open, local module never read

    const std::vector<CapturedMessage> expected{{QStringLiteral("请选择设备"), MessageIcon::None},
                                                {QStringLiteral("操作失败，串口未打开！"), MessageIcon::Error},
                                                {QStringLiteral("操作失败，串口未打开！"), MessageIcon::Error},
                                                {QStringLiteral("请先获取本地信息"), MessageIcon::None}};
    EXPECT_EQ(toolkit_.Messages(), expected);
}

TEST_F(AdvancedPageUpgrade, HandsTheDialogTheSelectedFarModuleWithoutALocalRead) {
    tab_ = OpenNetworkTab(net_, kBootAddress);
    ASSERT_GE(tab_.row, 0);
    const HandedIdentity handed = PressUpgradeAndDrive(nullptr);
    ASSERT_TRUE(handed.opened);
    EXPECT_EQ(handed.address, kBootAddress);
    EXPECT_EQ(handed.devType, qrv::kDevTypeBoot);
    EXPECT_EQ(handed.runState, qrv::kRunStateBoot);
    EXPECT_EQ(handed.targetKind, kUpgradeThroughLocalCall);
    EXPECT_EQ(handed.title, QStringLiteral("固件升级 — 网络设备 序号 %1，ID 506").arg(tab_.row));
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(AdvancedPageUpgrade, HandsTheDialogTheLocalModuleReadIntoTheSession) {
    Session& session = SessionState();
    ASSERT_EQ(Q_QRV_GetPropertyAll(&session.LocalBase, &session.LocalProperty), 1);
    session.LocalInfoLoaded = 1;
    const HandedIdentity handed = PressUpgradeAndDrive(nullptr);
    ASSERT_TRUE(handed.opened);
    EXPECT_EQ(handed.address, std::uint16_t{session.LocalBase.NetAddr});
    EXPECT_EQ(handed.devType, std::uint16_t{session.LocalBase.DevType});
    EXPECT_EQ(handed.runState, session.LocalBase.RunState);
    EXPECT_EQ(handed.title, QStringLiteral("固件升级 — 本地设备，ID %1").arg(session.LocalBase.NetAddr, 0, 16));
}

TEST_F(AdvancedPageUpgrade, UpgradesTheFarModuleChosenInTheNetworkList) {
    tab_ = OpenNetworkTab(net_, kWorkshopAddress);
    ASSERT_GE(tab_.row, 0);
    const QString image = ModuleDir() + QStringLiteral("/vlx.bin");
    ASSERT_TRUE(WriteFile(image, FirmwareImage({})));
    toolkit_.ScriptFileAnswer(image);
    const std::uint16_t before = net_.Sim().Module(*net_.Sim().FindModule(kWorkshopAddress)).config.record.FwVersion;

    PressUpgradeAndDrive([](CDlgUpgradeFrame& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("upgradeButton"))->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Upgrading(); }, 60000));
    });

    const std::vector<CapturedMessage> expected{{QStringLiteral("固件升级成功"), MessageIcon::Information}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    ModuleProperty property{};
    ASSERT_EQ(Q_QRV_GetRemoteDevPropertyAll(&property, tab_.row), 1);
    EXPECT_EQ(std::uint16_t{property.FwVersion}, qrv::sim::NextBcdVersion(before));
    EXPECT_EQ(property.RunState, qrv::kRunStateUser);
}
