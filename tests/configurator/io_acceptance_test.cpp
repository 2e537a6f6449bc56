// The road a new user takes through the main window for this page set: open
// the port, read the local module, drive its IO and read its AD on "无线IO",
// search the network, do the same with a far wireless-IO module, then
// upgrade that module from "高级". It shows the windows, so it is left out of
// the normal runs; under a virtual display:
//   QT_QPA_PLATFORM=xcb xvfb-run -a build/tests/configurator/configurator_upgrade_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*IoAndUpgradeRoad*'
// QRV_SCREENSHOT_DIR, when set, receives pictures of the window on the way.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/qrvtune_dlg.h"
#include "app/sdk_messages.h"
#include "dialogs/dlg_search_dev.h"
#include "dialogs/dlg_upgrade_frame.h"
#include "firmware_file.h"
#include "gui_fixture.h"
#include "network_tab.h"
#include "simulated_network.h"
#include "views/view_adio.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

namespace {

using qrvtune::MessageIcon;

constexpr int kBaudPosition = 3;                    // "9600" in the panel's list
constexpr int kRightTabAdvanced = 1;
constexpr int kRightTabIo = 2;

void Snapshot(QWidget& window, const char* name) {
    const QByteArray dir = qgetenv("QRV_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

template <typename T>
T* Child(QObject& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name.toStdString();
    return child;
}
void Press(QObject& parent, const char* button) { Child<QPushButton>(parent, QLatin1String(button))->click(); }
QString Ad(int n) { return Child<QLineEdit>(ViewADIO(), QStringLiteral("adEdit%1").arg(n))->text(); }
bool Input(int n) { return Child<QCheckBox>(ViewADIO(), QStringLiteral("inputCheck%1").arg(n))->isChecked(); }
void TickOutput(int n) { Child<QCheckBox>(ViewADIO(), QStringLiteral("outputCheck%1").arg(n))->setChecked(true); }
void ClearOutputs() {
    for (int n = 1; n <= 4; ++n) Child<QCheckBox>(ViewADIO(), QStringLiteral("outputCheck%1").arg(n))->setChecked(false);
}

class IoAcceptanceTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        std::string error;
        ASSERT_TRUE(net_.Open(&error)) << error;
        Q_CloseCom();  // the user opens it through the panel
        Q_QRV_ClearSearchArr();
        InstallSdkMessageHandler();
    }
    void TearDown() override {
        Q_SetMessageHandler(nullptr, nullptr);
        Q_QRV_ClearSearchArr();
        GuiTest::TearDown();
    }

    qrv::sim::ModuleState Module(std::uint16_t address) { return net_.Sim().Module(*net_.Sim().FindModule(address)); }

    SimulatedNetwork net_;
};

}  // namespace

TEST_F(IoAcceptanceTest, DISABLED_IoAndUpgradeRoadThroughTheMainWindow) {
    qrv::sim::Simulator& sim = net_.Sim();
    CQrvtuneDlg window;
    window.show();
    Child<QComboBox>(window, QStringLiteral("baudCombo"))->setCurrentIndex(kBaudPosition);
    Child<QComboBox>(window, QStringLiteral("portCombo"))->setEditText(QString::fromStdString(sim.SlavePath()));
    Child<QLineEdit>(window, QStringLiteral("timeoutEdit"))->setText(QString::number(SimulatedNetwork::kReadTimeoutMs));
    Press(window, "openButton");
    ASSERT_EQ(Q_ComCheckOpen(), 1);

    // The local module: read it, then its IO and AD.
    Press(ViewLocalDevList(), "readButton");
    auto* rightTabs = Child<QTabWidget>(window, QStringLiteral("rightTabs"));
    rightTabs->setCurrentIndex(kRightTabIo);
    sim.SetInputs(SimulatedNetwork::kLocal, 0x05);
    sim.SetAd(SimulatedNetwork::kLocal, {500, 0, 3300, 65535});
    Press(ViewADIO(), "readInputsButton");
    Press(ViewADIO(), "readAdButton");
    TickOutput(2);
    TickOutput(4);
    Press(ViewADIO(), "setOutputsButton");
    Snapshot(window, "io-local.png");
    EXPECT_TRUE(Input(1) && !Input(2) && Input(3) && !Input(4));
    EXPECT_EQ(Ad(1) + QLatin1Char(' ') + Ad(2) + QLatin1Char(' ') + Ad(3) + QLatin1Char(' ') + Ad(4),
              QStringLiteral("500 0 3300 65535"));
    EXPECT_EQ(sim.Module(SimulatedNetwork::kLocal).config.io.outputs, 10);

    // The network: search channel 11 at 250 K and pick the workshop module.
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), "[Search]\nChannel=000001\nRate=100\n");
    Child<QTabWidget>(window, QStringLiteral("leftTabs"))->setCurrentIndex(kLeftTabNetwork);
    QTimer::singleShot(0, qApp, [] {
        if (auto* dialog = dynamic_cast<CDlgSearchDev*>(QApplication::activeModalWidget())) Press(*dialog, "searchButton");
    });
    Press(ViewRemoteDevList(), "searchButton");
    auto* list = Child<QTableWidget>(ViewRemoteDevList(), QStringLiteral("moduleList"));
    int row = -1;
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 1)->text() == QStringLiteral("203")) row = r;
    ASSERT_GE(row, 0);
    list->selectRow(row);

    sim.SetAd(*sim.FindModule(kWorkshopAddress), {1200, 2480, 330, 3010});
    ClearOutputs();
    TickOutput(1);
    Press(ViewADIO(), "setOutputsButton");
    Press(ViewADIO(), "readInputsButton");  // its outputs are wired back to its inputs
    Press(ViewADIO(), "readAdButton");
    Snapshot(window, "io-far.png");
    EXPECT_EQ(Module(kWorkshopAddress).config.io.outputs, 1);
    EXPECT_TRUE(Input(1) && !Input(2) && !Input(3) && !Input(4));
    EXPECT_EQ(Ad(1) + QLatin1Char(' ') + Ad(4), QStringLiteral("1200 3010"));

    // The upgrade of the selected far module from "高级".
    rightTabs->setCurrentIndex(kRightTabAdvanced);
    const QString image = ModuleDir() + QStringLiteral("/vlx-1.24.bin");
    ASSERT_TRUE(WriteFile(image, FirmwareImage({})));
    toolkit_.ScriptFileAnswer(image);
    const std::uint16_t before = Module(kWorkshopAddress).config.record.FwVersion;
    QTimer::singleShot(0, qApp, [] {
        auto* dialog = dynamic_cast<CDlgUpgradeFrame*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        Press(*dialog, "browseButton");
        Press(*dialog, "upgradeButton");
        QTest::qWait(700);
        Snapshot(*dialog, "upgrade-running.png");
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Upgrading(); }, 60000));
        Snapshot(*dialog, "upgrade-done.png");
        Press(*dialog, "exitButton");
        if (dialog->isVisible()) dialog->done(QDialog::Rejected);
    });
    Press(ViewDevAdvCfg(), "upgradeButton");
    EXPECT_EQ(Module(kWorkshopAddress).config.record.FwVersion, qrv::sim::NextBcdVersion(before));

    const std::vector<CapturedMessage> expected{{QStringLiteral("获取本地信息成功！"), MessageIcon::Information},
                                                {QStringLiteral("固件升级成功"), MessageIcon::Information}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    Press(window, "closeButton");
}
