// The road a new user takes through the main window: open the port, sweep
// every channel and rate of the default simulated network, then change a far
// module's configuration and read it back. A full sweep takes about a minute,
// so this case is left out of the normal runs; under a virtual display:
//   QT_QPA_PLATFORM=xcb xvfb-run -a build/tests/configurator/configurator_network_tests
//       --gtest_also_run_disabled_tests --gtest_filter='*FullSweep*'
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
#include "dialogs/dlg_input_pwd.h"
#include "dialogs/dlg_search_dev.h"
#include "network_fixture.h"
#include "sim/scenario.h"
#include "views/view_base_info.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

namespace {

constexpr int kBaudPosition = 3;  // "9600" in the panel's list

void Snapshot(QWidget& window, const char* name) {
    const QByteArray dir = qgetenv("QRV_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}


int RowOf(const QString& id) {
    for (int row = 0; row < ModuleList()->rowCount(); ++row)
        if (ModuleList()->item(row, 1)->text() == id) return row;
    return -1;
}

}  // namespace

using NetworkAcceptanceTest = NetworkGuiTest;

TEST_F(NetworkAcceptanceTest, DISABLED_FullSweepThroughTheMainWindowThenChangeAFarModule) {
    CQrvtuneDlg window;
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("baudCombo"))->setCurrentIndex(kBaudPosition);
    window.findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(QString::fromStdString(sim_->SlavePath()));
    window.findChild<QLineEdit*>(QStringLiteral("timeoutEdit"))->setText(QString::number(kReadTimeoutMs));
    window.findChild<QPushButton*>(QStringLiteral("openButton"))->click();
    window.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentIndex(kLeftTabNetwork);

    QTimer::singleShot(0, qApp, [] {
        auto* dialog = ViewRemoteDevList().findChild<CDlgSearchDev*>();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QCheckBox*>(QStringLiteral("allCheck"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("searchButton"))->click();
        QTimer::singleShot(20000, dialog, [dialog] { Snapshot(*dialog, "search-running.png"); });
    });
    Press("searchButton");
    Snapshot(window, "after-sweep.png");

    ASSERT_EQ(ModuleList()->rowCount(), 5);
    const struct {
        const char* id;
        QString type;
        const char* runState;
    } expected[] = {{"102", QStringLiteral("QRV设备(点对点设备)"), "USER"},
                    {"203", QStringLiteral("VLX设备(无线IO设备)"), "USER"},
                    {"304", QStringLiteral("KORVANET设备"), "USER"},
                    {"405", QStringLiteral("VLX设备(无线IO设备)"), "USER"},
                    {"506", QStringLiteral("BOOT"), "BOOT"}};
    for (const auto& module : expected) {
        const int row = RowOf(QString::fromLatin1(module.id));
        ASSERT_GE(row, 0) << module.id;
        EXPECT_EQ(ModuleList()->item(row, 0)->text(), QString::number(row));
        EXPECT_EQ(ModuleList()->item(row, 2)->text(), module.type) << module.id;
        EXPECT_EQ(ModuleList()->item(row, 3)->text(), QString::fromLatin1(module.runState)) << module.id;
    }

    // The relay on channel 26 at 1 M gets a new name.
    ModuleList()->selectRow(RowOf(QStringLiteral("304")));
    Press("readButton");
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("网络中继站"));
    FormBox("devNameEdit")->setText(QStringLiteral("Relay-2"));
    QTimer::singleShot(0, qApp, [] {
        auto* dialog = dynamic_cast<CDlgInputPwd*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("123456"));
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    Press("modifyButton");
    const std::size_t relay = FarModule(0x0304);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return qrv::sim::TextField(sim_->Module(relay).config.record.DevName) == "Relay-2"; }, kLongWaitMs));

    FormBox("devNameEdit")->clear();
    Press("readButton");
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("Relay-2"));
    Snapshot(window, "after-read-back.png");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("获取成功！"), qrvtune::MessageIcon::Information},
                                            {QStringLiteral("修改成功     "), qrvtune::MessageIcon::Information},
                                            {QStringLiteral("获取成功！"), qrvtune::MessageIcon::Information}}));
}
