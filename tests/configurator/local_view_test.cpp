// The "本地设备" page end to end: the real widgets and the real SDK against
// the simulated module on a pseudo terminal. Each button returns after its
// exchange, so the messages and the module's state can be checked at once.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTime>
#include <QTimer>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "app/qrvtune_dlg.h"
#include "app/traffic_window.h"
#include "common/session_state.h"
#include "dialogs/dlg_input_pwd.h"
#include "advice_texts.h"
#include "gui_fixture.h"
#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/views.h"

namespace {

using qrv::sim::CommandKey;
using qrv::sim::Family;
using qrvtune::MessageIcon;

const CapturedMessage kReadOk{QStringLiteral("获取本地信息成功！"), MessageIcon::Information};
const CapturedMessage kModifyOk{QStringLiteral("修改成功   "), MessageIcon::Information};
const CapturedMessage kModifyFailed{QStringLiteral("修改失败    "), MessageIcon::Warning};
const CapturedMessage kCommandSent{QStringLiteral("发送命令成功！"), MessageIcon::Information};
const CapturedMessage kWrongPassword{QStringLiteral("输入的密码不正确，请从新输入"), MessageIcon::None};
// The second texts of failures, as the SDK's reasons explain them.
const QString kPortNotOpen = PortNotOpenAdvice();
const QString kRefusedWrite = RefusedWriteAdvice();
const QString kNotLoaded =
    QStringLiteral("请先读取设备信息，再进行此操作。\n详细信息：no property record has been read yet");

constexpr CommandKey kWriteProperty{Family::Config, 0xD3};
constexpr CommandKey kReadBaseInfo{Family::Config, 0xD1};

// The default network's host module, with an identity that exercises the
// page's formatting: ID a1, VLX type, a run state that is neither boot nor
// user firmware, version V1.05. Password "123456".
qrv::sim::Scenario LocalScenario() {
    qrv::sim::Scenario scenario = qrv::sim::Scenario::Default();
    ModuleProperty& record = scenario.local.record;
    record.LocalAddr = 0x00A1;
    record.RunState = 0x20;
    record.FwVersion = 0x0105;
    record.Channel = 11;
    scenario.local.factory = record;
    std::memcpy(scenario.local.factory.DevName, "factory\0", 8);
    return scenario;
}

// 9600 baud on both ends: the SDK's read ends after 40 character times of
// silence, 41 ms here, which a busy machine's scheduling does not reach.
constexpr int kBaud = 9600;
constexpr int kBaudPosition = 3;  // "9600" in the panel's list

qrv::sim::SimulatorOptions SimOptions() {
    qrv::sim::SimulatorOptions options;
    options.baud = kBaud;
    return options;
}

std::wstring WidePath(const std::string& path) { return QString::fromStdString(path).toStdWString(); }

class LocalModulePage : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        sim_ = std::make_unique<qrv::sim::Simulator>(LocalScenario(), SimOptions());
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
    }
    void TearDown() override {
        Q_CloseCom();
        sim_.reset();
        GuiTest::TearDown();
    }

    // As the main window does after a successful open.
    void OpenPort() {
        const std::wstring path = WidePath(sim_->SlavePath());
        ASSERT_EQ(Q_OpenCom(path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, 500), 1);
    }

    void Click(const char* button) {
        auto* control = ViewLocalDevList().findChild<QPushButton*>(QLatin1String(button));
        ASSERT_NE(control, nullptr) << button;
        control->click();
    }

    void ReadOk() {
        Click("readButton");
        ASSERT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kReadOk});
        toolkit_.ClearMessages();
    }

    // Acts in the password dialog once "修改配置" has opened it. The action
    // runs inside the dialog's own event loop; a dialog the action leaves
    // open is cancelled, so a test can never hang on it.
    void WhenPasswordDialogOpens(std::function<void(CDlgInputPwd&)> action) {
        dialogSeen_ = false;
        QTimer::singleShot(0, &ViewLocalDevList(), [this, action = std::move(action)] {
            auto* dialog = dynamic_cast<CDlgInputPwd*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialogSeen_ = true;
            action(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
    }

    // Types `password` (and a new one) and presses "确定".
    static void Answer(CDlgInputPwd& dialog, const QString& password, const QString& newPassword = QString()) {
        dialog.findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(password);
        if (!newPassword.isNull()) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("changePasswordCheck"))->setChecked(true);
            dialog.findChild<QLineEdit*>(QStringLiteral("newPasswordEdit"))->setText(newPassword);
            dialog.findChild<QLineEdit*>(QStringLiteral("confirmEdit"))->setText(newPassword);
        }
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    }

    void ModifyWithPassword(const QString& password, const QString& newPassword = QString()) {
        WhenPasswordDialogOpens(
            [password, newPassword](CDlgInputPwd& dialog) { Answer(dialog, password, newPassword); });
        Click("modifyButton");
        EXPECT_TRUE(dialogSeen_);
    }

    std::size_t Requests(CommandKey command) const {
        std::size_t count = 0;
        for (const auto& entry : sim_->Log())
            if (entry.kind == qrv::sim::LogKind::Request && entry.command == command) ++count;
        return count;
    }

    ModuleProperty ModuleRecord() const { return sim_->Module(0).config.record; }

    static QLineEdit* FormBox(const char* name) { return ViewBaseInfo().findChild<QLineEdit*>(QLatin1String(name)); }
    static QComboBox* FormList(const char* name) { return ViewBaseInfo().findChild<QComboBox*>(QLatin1String(name)); }
    static QString PageText(const char* name) {
        return ViewLocalDevList().findChild<QLineEdit*>(QLatin1String(name))->text();
    }

    std::unique_ptr<qrv::sim::Simulator> sim_;
    bool dialogSeen_ = false;
};

bool SameRecord(const ModuleProperty& a, const ModuleProperty& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST_F(LocalModulePage, ReadWithThePortClosedAsksToOpenItAndSendsNothing) {
    // The page asks the SDK, which has no port open.
    Click("readButton");
    const std::vector<CapturedMessage> expected{
        {QStringLiteral("串口未打开，请先打开串口再进行此操作!"), MessageIcon::None}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(Requests(kReadBaseInfo), 0u);
    EXPECT_EQ(SessionState().LocalInfoLoaded, 0);
    EXPECT_EQ(PageText("idEdit"), QString());
    EXPECT_EQ(ViewLocalDevList().findChild<QComboBox*>(QStringLiteral("runStateCombo"))->currentIndex(), -1);
}

TEST_F(LocalModulePage, ReadShowsTheModuleOnAllThreePages) {
    OpenPort();
    ReadOk();
    const ModuleProperty module = ModuleRecord();
    const Session& session = SessionState();
    EXPECT_EQ(session.LocalInfoLoaded, 1);
    EXPECT_TRUE(SameRecord(session.LocalProperty, module));
    EXPECT_EQ(+session.LocalBase.NetAddr, 0x00A1);

    EXPECT_EQ(PageText("idEdit"), QStringLiteral("a1"));
    EXPECT_EQ(PageText("devTypeEdit"), QStringLiteral("VLX设备(无线IO设备)"));
    EXPECT_EQ(ViewLocalDevList().findChild<QComboBox*>(QStringLiteral("runStateCombo"))->currentText(),
              QStringLiteral("NOBOOT"));
    EXPECT_EQ(PageText("fwVersionEdit"), QStringLiteral("V1.05"));

    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("本地主机"));
    EXPECT_EQ(FormBox("statusEdit")->text(), QStringLiteral("QVR-2 V1.05 NOBOOT"));
    EXPECT_EQ(FormBox("localAddrEdit")->text(), QStringLiteral("a1"));
    EXPECT_EQ(FormBox("netIdEdit")->text(), QStringLiteral("2024"));
    EXPECT_EQ(FormBox("destAddrEdit")->text(), QStringLiteral("ffff"));
    EXPECT_EQ(FormList("workModeCombo")->currentText(), QStringLiteral("主机模式"));
    EXPECT_EQ(FormList("channelCombo")->currentText(), QStringLiteral("Channel 11 (2405MHz)"));
    EXPECT_EQ(FormList("airRateCombo")->currentText(), QStringLiteral("250 K"));
    EXPECT_EQ(FormList("txPowerCombo")->currentText(), QStringLiteral("0x02: 8     dBm"));
    // The module's record says the rate its line runs at.
    EXPECT_EQ(FormList("uartBaudCombo")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(ViewDevAdvCfg().Values(),
              (AdvancedValues{module.FrameGap, module.FrameLen, module.RetryCount, module.RetryInterval}));
}

TEST_F(LocalModulePage, FailedReadKeepsTheEarlierRecordsAndModifyStillWorks) {
    OpenPort();
    ReadOk();
    const Session before = SessionState();
    sim_->AddFault({qrv::sim::FaultKind::Drop, kReadBaseInfo, 1.0, 1});
    Click("readButton");
    const std::vector<CapturedMessage> expected{
        {QStringLiteral("获取本地信息失败"), MessageIcon::None, NoAnswerAdvice("read-base-info", sim_->SlavePath(), 500)}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_TRUE(SameRecord(SessionState().LocalProperty, before.LocalProperty));
    EXPECT_EQ(SessionState().LocalInfoLoaded, 1);
    EXPECT_EQ(PageText("idEdit"), QStringLiteral("a1"));

    toolkit_.ClearMessages();
    ModifyWithPassword(QStringLiteral("123456"));
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kModifyOk});
}

TEST_F(LocalModulePage, ModifyBeforeAReadAsksForOneAndOpensNoDialog) {
    OpenPort();
    WhenPasswordDialogOpens([](CDlgInputPwd&) { ADD_FAILURE() << "the password dialog opened"; });
    Click("modifyButton");
    const std::vector<CapturedMessage> expected{{QStringLiteral("请先获取设备信息"), MessageIcon::None}};
    EXPECT_EQ(toolkit_.Messages(), expected);
}

TEST_F(LocalModulePage, ModifyWithTheRightPasswordWritesTheEditsToTheModule) {
    OpenPort();
    ReadOk();
    FormBox("devNameEdit")->setText(QStringLiteral("一号站"));
    FormBox("destAddrEdit")->setText(QStringLiteral("0x0102"));
    FormList("channelCombo")->setCurrentIndex(20);  // channel 26
    ViewDevAdvCfg().findChild<QLineEdit*>(QStringLiteral("retryIntervalEdit"))->setText(QStringLiteral("250"));
    const ModuleProperty read = SessionState().LocalProperty;

    ModifyWithPassword(QStringLiteral("123456"));
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kModifyOk});
    const ModuleProperty module = ModuleRecord();
    EXPECT_EQ(std::string(module.DevName), std::string("\xD2\xBB\xBA\xC5\xD5\xBE"));  // 一号站 in GBK
    // Packed 16-bit fields are compared as values (+): gtest takes its arguments by reference.
    EXPECT_EQ(+module.DestAddr, 0x0102);
    EXPECT_EQ(module.Channel, 26);
    EXPECT_EQ(+module.RetryInterval, 250);
    EXPECT_EQ(std::memcmp(module.Password, read.Password, sizeof read.Password), 0);
    EXPECT_EQ(module.Spare51, read.Spare51);
    // Read back after the write: what the module stores is the new stored one.
    EXPECT_TRUE(SameRecord(SessionState().LocalProperty, module));
    EXPECT_EQ(Requests(kReadBaseInfo), 2u);
    EXPECT_EQ(SessionState().LocalProperty.Channel, 26);
    EXPECT_EQ(std::memcmp(SessionState().LocalProperty.DevName, module.DevName, sizeof module.DevName), 0);
}

TEST_F(LocalModulePage, ModifyWhoseReadBackFailsSaysSoAndKeepsTheValuesSent) {
    OpenPort();
    ReadOk();
    FormBox("devNameEdit")->setText(QStringLiteral("sent"));
    sim_->AddFault({qrv::sim::FaultKind::Drop, kReadBaseInfo, 1.0, 1});
    ModifyWithPassword(QStringLiteral("123456"));
    ASSERT_EQ(toolkit_.Messages().size(), 2u);
    EXPECT_EQ(toolkit_.Messages()[0], kModifyOk);
    EXPECT_TRUE(toolkit_.Messages()[1].text.startsWith(QStringLiteral("修改已写入，但未能读回模块的配置")));
    EXPECT_EQ(std::string(SessionState().LocalProperty.DevName), "sent");
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("sent"));
}

TEST_F(LocalModulePage, WrongPasswordIsRefusedInTheDialogAndCancelSendsNothing) {
    OpenPort();
    ReadOk();
    WhenPasswordDialogOpens([this](CDlgInputPwd& dialog) {
        Answer(dialog, QStringLiteral("654321"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kWrongPassword});
        dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    Click("modifyButton");
    EXPECT_TRUE(dialogSeen_);
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kWrongPassword});
    EXPECT_EQ(Requests(kWriteProperty), 0u);
}

TEST_F(LocalModulePage, ChangedPasswordIsSentAndExpectedByTheNextModify) {
    OpenPort();
    ReadOk();
    ModifyWithPassword(QStringLiteral("123456"), QStringLiteral("新密码ab"));
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kModifyOk});
    EXPECT_EQ(std::string(ModuleRecord().Password), std::string("\xD0\xC2\xC3\xDC\xC2\xEB"
                                                                "ab"));
    EXPECT_EQ(std::string(SessionState().LocalProperty.Password), std::string("\xD0\xC2\xC3\xDC\xC2\xEB"
                                                                              "ab"));

    toolkit_.ClearMessages();
    WhenPasswordDialogOpens([this](CDlgInputPwd& dialog) {
        Answer(dialog, QStringLiteral("123456"));
        EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kWrongPassword});
        Answer(dialog, QStringLiteral("新密码ab"));
    });
    Click("modifyButton");
    EXPECT_EQ(toolkit_.Messages(), (std::vector<CapturedMessage>{kWrongPassword, kModifyOk}));
}

TEST_F(LocalModulePage, FailedSubmitWarnsAndTheStoredRecordStays) {
    OpenPort();
    ReadOk();
    const ModuleProperty read = SessionState().LocalProperty;
    FormBox("devNameEdit")->setText(QStringLiteral("changed"));
    sim_->AddFault({qrv::sim::FaultKind::BadStatus, kWriteProperty, 1.0, 1});
    ModifyWithPassword(QStringLiteral("123456"));
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{kModifyFailed.text, kModifyFailed.icon, kRefusedWrite}}));
    EXPECT_TRUE(SameRecord(SessionState().LocalProperty, read));
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("changed"));
    EXPECT_EQ(std::string(ModuleRecord().DevName), std::string(read.DevName));
}

TEST_F(LocalModulePage, ResetSendsTheRestartAndFailsOnAClosedPort) {
    OpenPort();
    ReadOk();
    const unsigned restarts = sim_->Module(0).restarts;
    Click("resetButton");
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kCommandSent});
    EXPECT_EQ(sim_->Module(0).restarts, restarts + 1);

    toolkit_.ClearMessages();
    Q_CloseCom();
    Click("resetButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{kModifyFailed.text, kModifyFailed.icon, kPortNotOpen}}));
}

TEST_F(LocalModulePage, FactoryRestoreRestoresTheModuleAndAModifyWithoutANewReadFails) {
    OpenPort();
    ReadOk();
    Click("factoryButton");
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kCommandSent});
    EXPECT_EQ(std::string(ModuleRecord().DevName), std::string("factory"));
    EXPECT_EQ(SessionState().LocalInfoLoaded, 1);  // the page's records stay

    // The SDK no longer holds a loaded record: the password still passes,
    // the submit does not.
    toolkit_.ClearMessages();
    ModifyWithPassword(QStringLiteral("123456"));
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{kModifyFailed.text, kModifyFailed.icon, kNotLoaded}}));

    toolkit_.ClearMessages();
    Q_CloseCom();
    Click("factoryButton");
    const std::vector<CapturedMessage> expected{{QStringLiteral("恢复出厂设置失败"), MessageIcon::None, kPortNotOpen}};
    EXPECT_EQ(toolkit_.Messages(), expected);
}

TEST_F(LocalModulePage, TheMainWindowOpensThePortAndThePageReadsTheModule) {
    CQrvtuneDlg window;
    window.findChild<QComboBox*>(QStringLiteral("baudCombo"))->setCurrentIndex(kBaudPosition);
    window.findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(QString::fromStdString(sim_->SlavePath()));
    window.findChild<QPushButton*>(QStringLiteral("openButton"))->click();
    ASSERT_TRUE(SessionState().PortOpen());
    ReadOk();
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("本地主机"));
    EXPECT_EQ(PageText("idEdit"), QStringLiteral("a1"));
}

// ---- A pulled adapter and the traffic window, with the main window --------

namespace {

class LocalModuleInWindow : public LocalModulePage {
protected:
    void SetUp() override {
        LocalModulePage::SetUp();
        window_ = std::make_unique<CQrvtuneDlg>();
    }
    void TearDown() override {
        window_.reset();
        LocalModulePage::TearDown();
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = window_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // Types the simulator's port into the panel and presses "打开串口".
    void OpenThroughPanel() {
        Child<QComboBox>("portCombo")->setEditText(QString::fromStdString(sim_->SlavePath()));
        Child<QComboBox>("baudCombo")->setCurrentIndex(kBaudPosition);
        Child<QPushButton>("openButton")->click();
    }
    bool PanelOpen() { return Child<QPushButton>("closeButton")->isVisibleTo(window_.get()); }
    bool PanelClosed() {
        return Child<QPushButton>("openButton")->isVisibleTo(window_.get()) &&
               Child<QPushButton>("openButton")->isEnabled() && Child<QComboBox>("portCombo")->isEnabled() &&
               !SessionState().PortOpen() && Q_ComCheckOpen() == 0;
    }

    std::unique_ptr<CQrvtuneDlg> window_;
};

}  // namespace

TEST_F(LocalModuleInWindow, APulledAdapterClosesThePanelOnceAndReopeningWorks) {
    OpenThroughPanel();
    ASSERT_TRUE(PanelOpen());
    ReadOk();

    sim_->Stop();  // the pty master closes, as a pulled USB adapter hangs up
    Click("readButton");
    const auto messages = toolkit_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("获取本地信息失败"));
    EXPECT_TRUE(messages[0].informative.startsWith(QStringLiteral("串口已断开："))) << messages[0].informative.toStdString();
    EXPECT_TRUE(PanelClosed());

    // Plugged in again (a new pty), "打开串口" and the module answers.
    toolkit_.ClearMessages();
    sim_ = std::make_unique<qrv::sim::Simulator>(LocalScenario(), SimOptions());
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    OpenThroughPanel();
    EXPECT_TRUE(PanelOpen());
    ReadOk();
}

TEST_F(LocalModuleInWindow, TrafficWindowListsARead) {
    OpenThroughPanel();
    auto* traffic = window_->findChild<CTrafficWindow*>(QStringLiteral("trafficWindow"));
    ASSERT_NE(traffic, nullptr);
    traffic->Drain();
    traffic->Model().Clear();
    ReadOk();
    traffic->Drain();
    QStringList meanings;
    for (int row = 0; row < traffic->Model().rowCount(); ++row)
        meanings << traffic->Model().index(row, TrafficModel::kDirection).data().toString() + QLatin1Char(' ') +
                        traffic->Model().index(row, TrafficModel::kMeaning).data().toString().section(QLatin1Char(' '), 0, 1);
    EXPECT_EQ(meanings.first(), QStringLiteral("发送 读取基本信息"));
    EXPECT_TRUE(meanings.contains(QStringLiteral("接收 读取基本信息 应答"))) << meanings.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(traffic->Model().index(0, TrafficModel::kBytes).data().toString(), QStringLiteral("AB D1 BA"));
    // Clock time; a row picked shows whole below the list; pausing says so.
    EXPECT_TRUE(QTime::fromString(traffic->Model().index(0, TrafficModel::kTime).data().toString(),
                                  QStringLiteral("hh:mm:ss.zzz"))
                    .isValid());
    auto* view = traffic->findChild<QTableView*>(QStringLiteral("frameView"));
    view->setCurrentIndex(traffic->Model().index(0, TrafficModel::kMeaning));
    EXPECT_EQ(traffic->findChild<QPlainTextEdit*>(QStringLiteral("frameDetails"))->toPlainText(),
              traffic->Model().RowDetails(0));
    auto* pause = traffic->findChild<QPushButton*>(QStringLiteral("pauseButton"));
    pause->click();
    EXPECT_EQ(pause->text(), QStringLiteral("已暂停（点击继续）"));
    pause->click();
    EXPECT_EQ(pause->text(), QStringLiteral("暂停"));

    // "保存为文本..." writes what the list shows, one line a frame.
    const QString saved = ModuleDir() + QStringLiteral("/traffic.txt");
    toolkit_.ScriptFileAnswer(saved);
    traffic->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), traffic->Model().Text());
    EXPECT_EQ(traffic->Model().Text().count(QLatin1Char('\n')), traffic->Model().rowCount());
}

namespace {

TEST_F(LocalModulePage, ABadBoxIsNamedBeforeThePasswordAndNothingIsWritten) {
    OpenPort();
    ReadOk();
    auto* retries = ViewDevAdvCfg().findChild<QLineEdit*>(QStringLiteral("retryCountEdit"));
    retries->clear();
    WhenPasswordDialogOpens([](CDlgInputPwd&) { ADD_FAILURE() << "the password dialog opened"; });
    Click("modifyButton");
    EXPECT_EQ(toolkit_.Messages(), (std::vector<CapturedMessage>{
                                       {QStringLiteral("发送重试次数：请输入 0–255 之间的整数。"), MessageIcon::Warning}}));
    EXPECT_EQ(Requests(kWriteProperty), 0u);
    EXPECT_TRUE(retries->text().isEmpty());  // kept to be mended, not replaced
}

}  // namespace
