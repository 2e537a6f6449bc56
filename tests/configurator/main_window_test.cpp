// The main window against the real SDK: port list, open/close and the
// panel's states, the title, the tab sets and the keys.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/about_dlg.h"
#include "app/qrvtune_dlg.h"
#include "common/session_state.h"
#include "gui_fixture.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"
#include "views/view_adio.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

namespace {

using qrvtune::MessageIcon;

class MainWindow : public GuiTest {
protected:
    void TearDown() override {
        Q_CloseCom();
        GuiTest::TearDown();
    }

    template <typename T>
    static T* Child(const CQrvtuneDlg& window, const char* name) {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // The panel's controls that are editable only while the port is closed.
    static std::vector<QWidget*> Settings(const CQrvtuneDlg& window) {
        std::vector<QWidget*> controls;
        for (const char* name : {"portCombo", "baudCombo", "dataBitsCombo", "parityCombo", "stopBitsCombo",
                                 "timeoutEdit", "openButton", "rescanButton"})
            controls.push_back(Child<QWidget>(window, name));
        return controls;
    }

    static void ExpectClosedPanel(const CQrvtuneDlg& window) {
        for (QWidget* control : Settings(window)) EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_FALSE(Child<QPushButton>(window, "closeButton")->isEnabled());
        EXPECT_FALSE(Child<QPushButton>(window, "closeButton")->isVisibleTo(&window));
        EXPECT_TRUE(Child<QPushButton>(window, "openButton")->isVisibleTo(&window));
    }

    static void ExpectOpenPanel(const CQrvtuneDlg& window) {
        for (QWidget* control : Settings(window)) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_TRUE(Child<QPushButton>(window, "closeButton")->isEnabled());
        EXPECT_TRUE(Child<QPushButton>(window, "closeButton")->isVisibleTo(&window));
        EXPECT_FALSE(Child<QPushButton>(window, "openButton")->isVisibleTo(&window));
    }

    void AnnounceSimulatorPorts(const QStringList& names) {
        const QString dir = RuntimeDir() + QStringLiteral("/qrvsim");
        ASSERT_TRUE(QDir().mkpath(dir));
        for (const QString& name : names) ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir + QLatin1Char('/') + name));
    }
};

}  // namespace

TEST_F(MainWindow, StartsClosedWithTheDefaultLineSettings) {
    CQrvtuneDlg window;
    ExpectClosedPanel(window);
    EXPECT_EQ(Child<QComboBox>(window, "baudCombo")->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(Child<QComboBox>(window, "dataBitsCombo")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(Child<QComboBox>(window, "parityCombo")->currentText(), QStringLiteral("无"));
    EXPECT_EQ(Child<QComboBox>(window, "stopBitsCombo")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(Child<QLineEdit>(window, "timeoutEdit")->text(), QStringLiteral("1000"));
    EXPECT_FALSE(SessionState().PortOpen());
}

TEST_F(MainWindow, FailedOpenWarnsAndLeavesThePanelClosed) {
    CQrvtuneDlg window;
    // A missing device says what to do; an empty name is nothing the SDK can explain.
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("ttyQRVNOSUCHPORT"),
         QStringLiteral("找不到串口 /dev/ttyQRVNOSUCHPORT。请检查 USB 转串口线是否插好，然后按“重新扫描”，"
                        "从列表中选择串口后再打开。\n详细信息：open /dev/ttyQRVNOSUCHPORT: No such file or directory")},
        {QString(), QString()},
    };
    for (const auto& [port, advice] : cases) {
        toolkit_.ClearMessages();
        Child<QComboBox>(window, "portCombo")->setEditText(port);
        QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
        const std::vector<CapturedMessage> expected{{QStringLiteral("打开串口失败"), MessageIcon::Warning, advice}};
        EXPECT_EQ(toolkit_.Messages(), expected) << port.toStdString();
        EXPECT_FALSE(SessionState().PortOpen());
        ExpectClosedPanel(window);
    }
}

TEST_F(MainWindow, OpenLocksTheSettingsAndCloseUnlocksThem) {
    const qrv::test::PtyPair pty;  // a serial port the SDK can really open
    const QString port = QString::fromStdString(pty.SlavePath());
    CQrvtuneDlg window;
    Child<QComboBox>(window, "portCombo")->setEditText(port);
    QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{});
    EXPECT_TRUE(SessionState().PortOpen());
    EXPECT_EQ(Q_ComCheckOpen(), 1);
    ExpectOpenPanel(window);

    QTest::mouseClick(Child<QPushButton>(window, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(SessionState().PortOpen());
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    ExpectClosedPanel(window);
}

TEST_F(MainWindow, AFailedOpenAfterASuccessfulOneClosesTheFirstPort) {
    const qrv::test::PtyPair pty;  // a serial port the SDK can really open
    const QString port = QString::fromStdString(pty.SlavePath());
    CQrvtuneDlg window;
    auto* portField = Child<QComboBox>(window, "portCombo");
    portField->setEditText(port);
    QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
    ASSERT_EQ(Q_ComCheckOpen(), 1);
    window.SetPortControls(false);  // as if the user could press open again
    portField->setEditText(QStringLiteral("ttyQRVNOSUCHPORT"));
    QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    EXPECT_FALSE(SessionState().PortOpen());
}

// A time-out of 0 would let a silent module hold the window for ever; like
// every whole-number box, the field refuses what it cannot take and keeps
// its previous value, and the port opens with that.
TEST_F(MainWindow, TimeOutTakesOneToSixtyThousandMillisecondsAndRefusesTheRest) {
    const qrv::test::PtyPair pty;  // a serial port the SDK can really open
    const QString port = QString::fromStdString(pty.SlavePath());
    CQrvtuneDlg window;
    auto* timeout = Child<QLineEdit>(window, "timeoutEdit");
    QTest::keyClicks(timeout, QStringLiteral("x-00"));  // refused as typed: no sign, letter or 100000
    EXPECT_EQ(timeout->text(), QStringLiteral("10000"));

    Child<QComboBox>(window, "portCombo")->setEditText(port);
    const struct {
        const char* typed;
        const char* shown;
        const char* says;  // when refused: no number at all, or one out of range
    } cases[] = {{"60000", "60000", nullptr}, {"0", "60000", "超时(ms)：请输入 1–60000 之间的整数。"},
                 {"abc", "60000", "请输入一个整数。"}, {"60001", "60000", "超时(ms)：请输入 1–60000 之间的整数。"},
                 {"", "60000", "请输入一个整数。"}, {"1", "1", nullptr}};
    for (const auto& entry : cases) {
        toolkit_.ClearMessages();
        timeout->setText(QString::fromLatin1(entry.typed));  // as pasted past the box's own check
        QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
        std::vector<CapturedMessage> expected;
        if (entry.says) expected.push_back({QString::fromUtf8(entry.says), MessageIcon::Warning});
        EXPECT_EQ(toolkit_.Messages(), expected) << entry.typed;
        EXPECT_EQ(timeout->text(), QString::fromLatin1(entry.shown)) << entry.typed;
        EXPECT_EQ(Q_ComCheckOpen(), 1) << entry.typed;
        QTest::mouseClick(Child<QPushButton>(window, "closeButton"), Qt::LeftButton);
    }
}

TEST_F(MainWindow, TitleCarriesTheVersionFromTheSettingsFile) {
    {
        CQrvtuneDlg window;
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Qrvtune V"));
    }
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), "[BaseInfo]\r\nVer=2.3.1 测试\r\n");
    CQrvtuneDlg window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Qrvtune V2.3.1 测试"));
}

TEST_F(MainWindow, TabSetsHostTheFivePagesInOrder) {
    CQrvtuneDlg window;
    auto* left = Child<QTabWidget>(window, "leftTabs");
    auto* right = Child<QTabWidget>(window, "rightTabs");
    ASSERT_EQ(left->count(), 2);
    ASSERT_EQ(right->count(), 3);
    EXPECT_EQ(left->tabText(0), QStringLiteral("本地设备"));
    EXPECT_EQ(left->tabText(1), QStringLiteral("网络设备"));
    EXPECT_EQ(right->tabText(0), QStringLiteral("基本信息"));
    EXPECT_EQ(right->tabText(1), QStringLiteral("高级"));
    EXPECT_EQ(right->tabText(2), QStringLiteral("无线IO"));
    EXPECT_EQ(left->widget(0), &ViewLocalDevList());
    EXPECT_EQ(left->widget(1), &ViewRemoteDevList());
    EXPECT_EQ(right->widget(0), &ViewBaseInfo());
    EXPECT_EQ(right->widget(1), &ViewDevAdvCfg());
    EXPECT_EQ(right->widget(2), &ViewADIO());
    EXPECT_EQ(right->currentIndex(), 0);

    EXPECT_EQ(CQrvtuneDlg::MainWindow(), &window);
    EXPECT_EQ(ActiveLeftTabIndex(), kLeftTabLocal);
    left->setCurrentIndex(1);
    EXPECT_EQ(ActiveLeftTabIndex(), kLeftTabNetwork);
}

TEST_F(MainWindow, PagesOutliveTheWindow) {
    CViewBaseInfo* form = nullptr;
    {
        CQrvtuneDlg window;
        form = &ViewBaseInfo();
    }
    EXPECT_EQ(CQrvtuneDlg::MainWindow(), nullptr);
    EXPECT_EQ(ActiveLeftTabIndex(), kLeftTabLocal);
    EXPECT_EQ(&ViewBaseInfo(), form);
    CQrvtuneDlg again;
    EXPECT_EQ(again.findChild<QTabWidget*>(QStringLiteral("rightTabs"))->widget(0), form);
}

TEST_F(MainWindow, SettingsPortPositionSelectsAfterEveryFill) {
    AnnounceSimulatorPorts({QStringLiteral("module-a"), QStringLiteral("module-b")});
    {
        CQrvtuneDlg window;
        auto* ports = Child<QComboBox>(window, "portCombo");
        EXPECT_EQ(ports->currentIndex(), 0);  // no settings file: the first port
    }
    const QString moduleB = RuntimeDir() + QStringLiteral("/qrvsim/module-b");
    CQrvtuneDlg probe;
    const int positionB = Child<QComboBox>(probe, "portCombo")->findData(moduleB);
    ASSERT_GE(positionB, 1);
    const int count = Child<QComboBox>(probe, "portCombo")->count();

    WriteModuleFile(QStringLiteral("Meshcfg.ini"), QStringLiteral("[APP]\nCOM=%1\n").arg(positionB).toUtf8());
    CQrvtuneDlg window;
    auto* ports = Child<QComboBox>(window, "portCombo");
    EXPECT_EQ(ports->currentData().toString(), moduleB);

    // Beyond the list: nothing selected, the field empty; "重新扫描" applies the rule again.
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), QStringLiteral("[app]\ncom=%1\n").arg(count).toUtf8());
    QTest::mouseClick(Child<QPushButton>(window, "rescanButton"), Qt::LeftButton);
    EXPECT_EQ(ports->currentIndex(), -1);
    EXPECT_EQ(ports->currentText(), QString());
    EXPECT_EQ(ports->count(), count);
}

TEST_F(MainWindow, TheLastPortAndLineSettingsAreRememberedForThisUserOnly) {
    const qrv::test::PtyPair pty;  // a serial port the SDK can really open
    const QString port = QString::fromStdString(pty.SlavePath());
    AnnounceSimulatorPorts({QStringLiteral("module-a")});
    const QString moduleB = RuntimeDir() + QStringLiteral("/qrvsim/module-b");
    ASSERT_TRUE(QFile::link(port, moduleB));
    {
        CQrvtuneDlg window;
        auto* ports = Child<QComboBox>(window, "portCombo");
        EXPECT_EQ(ports->currentIndex(), 0);
        ports->setCurrentIndex(ports->findData(moduleB));
        Child<QComboBox>(window, "baudCombo")->setCurrentIndex(3);      // 9600
        Child<QComboBox>(window, "dataBitsCombo")->setCurrentIndex(2);  // 7
        Child<QComboBox>(window, "parityCombo")->setCurrentIndex(2);    // 偶校验
        Child<QComboBox>(window, "stopBitsCombo")->setCurrentIndex(2);  // 2
        Child<QLineEdit>(window, "timeoutEdit")->setText(QStringLiteral("250"));
        QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
        ASSERT_TRUE(SessionState().PortOpen());
        QTest::mouseClick(Child<QPushButton>(window, "closeButton"), Qt::LeftButton);
    }
    EXPECT_TRUE(QFile::exists(ConfigDir() + QStringLiteral("/qrvtune/Meshcfg.ini")));
    EXPECT_FALSE(QFile::exists(ModuleDir() + QStringLiteral("/Meshcfg.ini")));

    CQrvtuneDlg window;
    auto* ports = Child<QComboBox>(window, "portCombo");
    EXPECT_EQ(ports->currentData().toString(), moduleB);
    EXPECT_EQ(Child<QComboBox>(window, "baudCombo")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(Child<QComboBox>(window, "dataBitsCombo")->currentText(), QStringLiteral("7"));
    EXPECT_EQ(Child<QComboBox>(window, "parityCombo")->currentText(), QStringLiteral("偶校验"));
    EXPECT_EQ(Child<QComboBox>(window, "stopBitsCombo")->currentText(), QStringLiteral("2"));
    EXPECT_EQ(Child<QLineEdit>(window, "timeoutEdit")->text(), QStringLiteral("250"));

    // A remembered port that is gone leaves the settings file's position,
    // and a window started then applies none of its line settings.
    ASSERT_TRUE(QFile::remove(moduleB));
    QTest::mouseClick(Child<QPushButton>(window, "rescanButton"), Qt::LeftButton);
    EXPECT_EQ(ports->currentIndex(), 0);
    CQrvtuneDlg later;
    EXPECT_EQ(Child<QComboBox>(later, "baudCombo")->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(Child<QComboBox>(later, "dataBitsCombo")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(Child<QLineEdit>(later, "timeoutEdit")->text(), QStringLiteral("1000"));
}

TEST_F(MainWindow, TheStatusBarNamesThePortAndTheKeysAreShownOnTheButtons) {
    const qrv::test::PtyPair pty;  // a serial port the SDK can really open
    const QString port = QString::fromStdString(pty.SlavePath());
    CQrvtuneDlg window;
    auto* status = Child<QStatusBar>(window, "statusBar");
    EXPECT_EQ(status->currentMessage(), QStringLiteral("未连接"));
    Child<QComboBox>(window, "portCombo")->setEditText(port);
    Child<QComboBox>(window, "baudCombo")->setCurrentIndex(3);  // 9600
    QTest::mouseClick(Child<QPushButton>(window, "openButton"), Qt::LeftButton);
    ASSERT_TRUE(SessionState().PortOpen());
    EXPECT_EQ(status->currentMessage(), QStringLiteral("已连接：%1，9600 波特 · 本地设备尚未读取").arg(port));
    QTest::mouseClick(Child<QPushButton>(window, "closeButton"), Qt::LeftButton);
    EXPECT_EQ(status->currentMessage(), QStringLiteral("未连接"));

    for (QWidget* page : {static_cast<QWidget*>(&ViewLocalDevList()), static_cast<QWidget*>(&ViewRemoteDevList())}) {
        EXPECT_EQ(page->findChild<QPushButton*>(QStringLiteral("readButton"))->toolTip(), QStringLiteral("读取（Ctrl+R）"));
        EXPECT_EQ(page->findChild<QPushButton*>(QStringLiteral("modifyButton"))->toolTip(),
                  QStringLiteral("修改配置（Ctrl+S）"));
    }
    // Ctrl+R presses "读取" of the page shown: closed, it says so.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(toolkit_.Messages(),
              std::vector<CapturedMessage>{QStringLiteral("串口未打开，请先打开串口再进行此操作!")});
}

TEST_F(MainWindow, HelpMenuOpensTheAboutBoxWithTheProgramAndSdkVersions) {
    CQrvtuneDlg window;
    auto* help = Child<QMenu>(window, "helpMenu");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title(), QStringLiteral("帮助(&H)"));
    QAction* about = nullptr;
    for (QAction* action : help->actions())
        if (action->text() == QStringLiteral("关于 Qrvtune(&A)...")) about = action;
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(window.actions().contains(about));  // and in the window's own menu

    QStringList shown;
    QTimer::singleShot(0, &window, [&shown] {
        auto* box = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        for (const char* name : {"versionLabel", "sdkVersionLabel"})
            shown << box->findChild<QLabel*>(QLatin1String(name))->text();
        box->accept();
    });
    about->trigger();
    const QString sdk = QStringLiteral("%1.%2.%3").arg(QRVLINK_VERSION_MAJOR).arg(QRVLINK_VERSION_MINOR).arg(QRVLINK_VERSION_PATCH);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Qrvtune，%1 版").arg(QStringLiteral(QRV_PROJECT_VERSION)),
                                  QStringLiteral("Qrvlink 模块开发包，%1 版").arg(sdk)}));
}

TEST_F(MainWindow, EnterDoesNothingAndEscCloses) {
    CQrvtuneDlg window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&ViewBaseInfo(), Qt::Key_Escape);  // Esc on a page stays on the page
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}
