// Page "网络设备" against the simulated network: searching from the page, and
// reading, changing, restarting and factory-resetting a far module.
#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "dialogs/dlg_input_pwd.h"
#include "dialogs/dlg_search_dev.h"
#include "advice_texts.h"
#include "network_fixture.h"
#include "qrvlink/qrvlink.h"
#include "sim/faults.h"
#include "sim/scenario.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/view_local_dev_list.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

namespace {

using qrvtune::MessageIcon;


QStringList RowTexts(int row) {
    QStringList texts;
    for (int column = 0; column < ModuleList()->columnCount(); ++column)
        texts << (ModuleList()->item(row, column) != nullptr ? ModuleList()->item(row, column)->text() : QString());
    return texts;
}

int SelectedRow() {
    const QModelIndexList rows = ModuleList()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

// Acts on the search dialog once the page's modal run has shown it.
void WithSearchDialog(std::function<void(CDlgSearchDev&)> action) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        auto* dialog = ViewRemoteDevList().findChild<CDlgSearchDev*>();
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->deleteLater();
        poll->stop();
        action(*dialog);
    });
    poll->start(5);
}

QLineEdit* AdvancedBox(const char* name) { return ViewDevAdvCfg().findChild<QLineEdit*>(QString::fromLatin1(name)); }

// Answers the password dialog once "修改配置" has opened it: types `password`
// (and a new one) and presses "确定", or cancels when `password` is null.
// A dialog left open is cancelled, so a test can never hang on it.
void WhenPasswordDialogOpens(bool* seen, QString password, QString newPassword = QString()) {
    *seen = false;
    QTimer::singleShot(0, &ViewRemoteDevList(), [=] {
        auto* dialog = dynamic_cast<CDlgInputPwd*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        *seen = true;
        if (!password.isNull()) {
            dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(password);
            if (!newPassword.isNull()) {
                dialog->findChild<QAbstractButton*>(QStringLiteral("changePasswordCheck"))->setChecked(true);
                dialog->findChild<QLineEdit*>(QStringLiteral("newPasswordEdit"))->setText(newPassword);
                dialog->findChild<QLineEdit*>(QStringLiteral("confirmEdit"))->setText(newPassword);
            }
            dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        }
        if (dialog->isVisible()) dialog->reject();
    });
}

void PressInDialog(CDlgSearchDev& dialog, const char* button) {
    dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

}  // namespace

class RemoteListTest : public NetworkGuiTest {
protected:
    // The page's search on channel 11 at 250 K, run to its end; returns once
    // the dialog has closed and the page has taken the results.
    void SearchChannelEleven() {
        WriteModuleFile(QStringLiteral("Meshcfg.ini"), "[Search]\nChannel=000001\nRate=100\n");
        WithSearchDialog([](CDlgSearchDev& dialog) { PressInDialog(dialog, "searchButton"); });
        Press("searchButton");
        SdkCallLog::Clear();
    }
};

TEST_F(RemoteListTest, ColumnsOfTheModuleList) {
    const QStringList titles = {QStringLiteral("序号"), QStringLiteral("设备ID"), QStringLiteral("设备类型"),
                                QStringLiteral("运行状态")};
    const int widths[] = {53, 60, 140, 68};
    ASSERT_EQ(ModuleList()->columnCount(), 4);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(ModuleList()->horizontalHeaderItem(column)->text(), titles[column]);
        EXPECT_EQ(ModuleList()->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(ModuleList()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(ModuleList()->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(RemoteListTest, SearchThatRunsToItsEndListsTheModulesAndSelectsRowZero) {
    SearchChannelEleven();
    ASSERT_EQ(ModuleList()->rowCount(), 3);
    EXPECT_EQ(RowTexts(0), (QStringList{"0", "102", QStringLiteral("QRV设备(点对点设备)"), "USER"}));
    EXPECT_EQ(RowTexts(1), (QStringList{"1", "203", QStringLiteral("VLX设备(无线IO设备)"), "USER"}));
    EXPECT_EQ(RowTexts(2), (QStringList{"2", "506", "BOOT", "BOOT"}));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(RemoteListTest, SearchLeftWithEscapeKeepsTheRowsAndOneFindingNothingEmptiesTheList) {
    SearchChannelEleven();
    ASSERT_EQ(ModuleList()->rowCount(), 3);

    WithSearchDialog([](CDlgSearchDev& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    Press("searchButton");
    EXPECT_EQ(ModuleList()->rowCount(), 3);

    // Channel 6 is empty in the scenario.
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), "[Search]\nChannel=1\nRate=100\n");
    WithSearchDialog([](CDlgSearchDev& dialog) { PressInDialog(dialog, "searchButton"); });
    Press("searchButton");
    EXPECT_EQ(ModuleList()->rowCount(), 0);
    EXPECT_EQ(SelectedRow(), -1);
}

TEST_F(RemoteListTest, EveryFlowWithoutASelectedRowAsksForOneAndCallsNothing) {
    const struct {
        const char* button;
        QString message;
    } flows[] = {{"readButton", QStringLiteral("请选择设备")},
                 {"modifyButton", QStringLiteral("请选择设备   ")},
                 {"resetButton", QStringLiteral("请选择设备")},
                 {"factoryButton", QStringLiteral("请选择设备")}};
    for (const auto& flow : flows) {
        toolkit_.ClearMessages();
        Press(flow.button);
        EXPECT_EQ(toolkit_.Messages(), (std::vector<CapturedMessage>{{flow.message, MessageIcon::None}}))
            << flow.button;
    }
    EXPECT_TRUE(SdkCallLog::All().empty());
}

TEST_F(RemoteListTest, ResetRestartsTheSelectedModuleAndReportsTheSentCommand) {
    SearchChannelEleven();
    ModuleList()->selectRow(1);
    const std::size_t workshop = FarModule(0x0203);
    const unsigned restartsBefore = sim_->Module(workshop).restarts;

    Press("resetButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("发送命令成功！"), MessageIcon::Information}}));
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("ResetRemoteDev", {1})}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim_->Module(workshop).restarts > restartsBefore; }, kLongWaitMs));

    toolkit_.ClearMessages();
    Q_CloseCom();
    Press("resetButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("修改失败    "), MessageIcon::Warning, PortNotOpenAdvice()}}));
}

TEST_F(RemoteListTest, FactoryRestoreRestoresTheSelectedModuleOrReportsTheFailure) {
    SearchChannelEleven();
    const std::size_t node = FarModule(0x0102);
    sim_->Modify(node, [](qrv::sim::ModuleConfig& module) { module.record.RetryCount = 9; });

    Press("factoryButton");  // row 0 is selected after the search
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("发送命令成功！"), MessageIcon::Information}}));
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("ResetRemoteToDefault", {0})}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim_->Module(node).config.record.RetryCount == 3; }, kLongWaitMs));

    // A module gone from its channel never acknowledges.
    toolkit_.ClearMessages();
    sim_->Modify(node, [](qrv::sim::ModuleConfig& module) { module.record.Channel = 20; });
    Press("factoryButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("修改失败    "), MessageIcon::Warning,
                                             NoAnswerAdvice("factory-reset", sim_->SlavePath(), kReadTimeoutMs)}}));
}

TEST_F(RemoteListTest, ReadShowsTheFarModuleOnTheFormOnceTheMessageIsClosed) {
    SearchChannelEleven();
    const std::size_t node = FarModule(0x0102);
    // The fresh record says "no boot loader"; the status line keeps the run
    // state the search saw.
    sim_->Modify(node, [](qrv::sim::ModuleConfig& module) { module.record.RunState = 0x20; });
    QString nameWhileMessageOpen = QStringLiteral("unset");
    toolkit_.OnMessage([&](const CapturedMessage&) { nameWhileMessageOpen = FormBox("devNameEdit")->text(); });

    Press("readButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("获取成功！"), MessageIcon::Information}}));
    EXPECT_EQ(SdkCallLog::All(),
              (std::vector<SdkCall>{Call("GetRemoteDevBase", {0}), Call("GetRemoteDevPropertyAll", {0})}));
    EXPECT_EQ(nameWhileMessageOpen, QString());
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("P2P-Node-A"));
    EXPECT_EQ(FormBox("localAddrEdit")->text(), QStringLiteral("102"));
    EXPECT_EQ(FormBox("statusEdit")->text(), QStringLiteral("QVR-1 V1.23 USER"));
    EXPECT_EQ(AdvancedBox("retryCountEdit")->text(), QStringLiteral("3"));
}

TEST_F(RemoteListTest, ReadOfAResultNoLongerStoredOrOfASilentModuleChangesNothing) {
    SearchChannelEleven();
    sim_->Modify(FarModule(0x0102), [](qrv::sim::ModuleConfig& module) { module.record.Channel = 20; });
    Press("readButton");  // the module has left channel 11: no answer
    EXPECT_TRUE(toolkit_.Messages().empty());
    EXPECT_EQ(FormBox("devNameEdit")->text(), QString());

    // The list keeps its rows while the results went (a search left without OK).
    Q_QRV_ClearSearchArr();
    SdkCallLog::Clear();
    Press("readButton");
    EXPECT_EQ(toolkit_.Messages(), (std::vector<CapturedMessage>{{QStringLiteral("获取失败！"), MessageIcon::None}}));
    EXPECT_EQ(SdkCallLog::All(), (std::vector<SdkCall>{Call("GetRemoteDevBase", {0})}));
    EXPECT_EQ(FormBox("devNameEdit")->text(), QString());
}

// The road a user takes: find, read, edit the form, modify, read back.
TEST_F(RemoteListTest, ModifySendsThePagesValuesWithTheNewPasswordAndTheModuleKeepsThem) {
    SearchChannelEleven();
    Press("readButton");
    toolkit_.ClearMessages();
    FormBox("devNameEdit")->setText(QStringLiteral("Node-B"));
    AdvancedBox("retryCountEdit")->setText(QStringLiteral("5"));
    SdkCallLog::Clear();

    bool dialogSeen = false;
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"), QStringLiteral("654321"));
    Press("modifyButton");
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("修改成功     "), MessageIcon::Information}}));
    // Read back after the write: the pages show what the module stores.
    EXPECT_EQ(SdkCallLog::Exchanges(),
              (std::vector<SdkCall>{Call("GetRemoteDevPropertyAll", {0}), Call("SetRemotePropertyAll", {0}),
                                    Call("SubmitRemoteDevInfo", {0}), Call("GetRemoteDevPropertyAll", {0})}));

    const std::size_t node = FarModule(0x0102);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return qrv::sim::TextField(sim_->Module(node).config.record.DevName) == "Node-B"; }, kLongWaitMs));
    const ModuleProperty stored = sim_->Module(node).config.record;
    EXPECT_EQ(stored.RetryCount, 5);
    EXPECT_EQ(qrv::sim::TextField(stored.Password), "654321");
    EXPECT_EQ(stored.NetId, 0x2024);  // untouched fields travel unchanged

    FormBox("devNameEdit")->setText(QString());
    toolkit_.ClearMessages();
    Press("readButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("获取成功！"), MessageIcon::Information}}));
    EXPECT_EQ(FormBox("devNameEdit")->text(), QStringLiteral("Node-B"));
}

TEST_F(RemoteListTest, ModifyStopsWithoutSendingWhenThePasswordIsCancelledOrTheModuleSilent) {
    SearchChannelEleven();
    Press("readButton");
    toolkit_.ClearMessages();
    SdkCallLog::Clear();
    bool dialogSeen = false;
    WhenPasswordDialogOpens(&dialogSeen, QString());
    Press("modifyButton");
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(toolkit_.Messages().empty());
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("GetRemoteDevPropertyAll", {0})}));

    sim_->Modify(FarModule(0x0102), [](qrv::sim::ModuleConfig& module) { module.record.Channel = 20; });
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"));
    Press("modifyButton");
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("请先获取设备信息"), MessageIcon::None,
                                             NoAnswerAdvice("read-property", sim_->SlavePath(), kReadTimeoutMs)}}));
}

// The pages hold one module's record at a time, and a modify writes it only
// to the module it was read from: after reading 0x506, a modify of row 0
// (0x102) would give 0x102 the other module's name and address.
TEST_F(RemoteListTest, ModifyWritesOnlyTheRecordReadFromTheSelectedModule) {
    SearchChannelEleven();
    const ModuleProperty before = sim_->Module(FarModule(0x0102)).config.record;
    const auto writes = [this] {
        std::size_t count = 0;
        for (const auto& entry : sim_->Log())
            count += entry.kind == qrv::sim::LogKind::Request &&
                     entry.command == qrv::sim::CommandKey{qrv::sim::Family::Config, 0xD3};
        return count;
    };
    const auto held = [] { return ViewBaseInfo().findChild<QLabel*>(QStringLiteral("heldModuleLabel"))->text(); };
    const CapturedMessage refusal{QStringLiteral("表单中显示的不是所选设备的配置，请先读取所选设备"),
                                  MessageIcon::Warning};
    EXPECT_EQ(held(), QStringLiteral("当前显示：尚未读取设备"));
    ModuleList()->selectRow(2);
    Press("readButton");
    EXPECT_EQ(held(), QStringLiteral("当前显示：网络设备 序号 2，ID 506"));

    ModuleList()->selectRow(0);
    toolkit_.ClearMessages();
    SdkCallLog::Clear();
    bool dialogSeen = false;
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"));
    Press("modifyButton");
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{refusal});
    EXPECT_TRUE(SdkCallLog::Exchanges().empty());

    // The local module's record is refused as well, and the local page
    // refuses a far module's.
    ViewLocalDevList().findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    EXPECT_EQ(held(), QStringLiteral("当前显示：本地设备，ID 1"));
    toolkit_.ClearMessages();
    Press("modifyButton");
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{refusal});
    Press("readButton");
    toolkit_.ClearMessages();
    ViewLocalDevList().findChild<QPushButton*>(QStringLiteral("modifyButton"))->click();
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{
                  {QStringLiteral("表单中显示的不是本地设备的配置，请先读取本地设备"), MessageIcon::Warning}}));
    EXPECT_EQ(writes(), 0u);
    const ModuleProperty after = sim_->Module(FarModule(0x0102)).config.record;
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0);
}

TEST_F(RemoteListTest, ModifyRefusedByTheModuleReportsTheFailure) {
    SearchChannelEleven();
    Press("readButton");
    toolkit_.ClearMessages();
    qrv::sim::Fault refuse;
    refuse.kind = qrv::sim::FaultKind::BadStatus;
    refuse.command = qrv::sim::CommandKey{qrv::sim::Family::Config, 0xD3};
    sim_->AddFault(refuse);

    bool dialogSeen = false;
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"));
    Press("modifyButton");
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("修改失败    "), MessageIcon::Warning, RefusedWriteAdvice()}}));
}

// A sweep that outlived its dialog's stop wait still holds the SDK link: a
// flow started meanwhile, on this page or the local one, waits showing the
// busy cursor, and then goes on.
TEST_F(RemoteListTest, FlowsWaitWithTheBusyCursorWhileAnotherExchangeHoldsTheLink) {
    SearchChannelEleven();
    const auto pressWhileHeld = [](QWidget& page) {
        qrvtune::SdkExchangeLease sweep = qrvtune::SdkExchangeGuard::AcquireForWorker();
        bool sawWait = false;
        QTimer::singleShot(0, qApp, [&] {
            sawWait = SdkCallLog::All().empty() && QGuiApplication::overrideCursor() != nullptr &&
                      QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            sweep.Release();
        });
        page.findChild<QPushButton*>(QStringLiteral("resetButton"))->click();
        EXPECT_TRUE(sawWait);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    };
    pressWhileHeld(ViewRemoteDevList());
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("ResetRemoteDev", {0})}));
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("发送命令成功！"), MessageIcon::Information}}));

    SdkCallLog::Clear();
    toolkit_.ClearMessages();
    pressWhileHeld(ViewLocalDevList());
    EXPECT_EQ(toolkit_.Messages(),
              (std::vector<CapturedMessage>{{QStringLiteral("发送命令成功！"), MessageIcon::Information}}));
}

// Two modules on one address answer each other's frames: a write that would
// share an address is asked about first, and afterwards the label and the
// record on the pages still belong to the module written to, whoever
// answered the read-back on that address.
TEST_F(RemoteListTest, AnAddressInUseIsAskedAboutAndTheFormKeepsNamingTheModuleWrittenTo) {
    SearchChannelEleven();
    ViewLocalDevList().findChild<QPushButton*>(QStringLiteral("readButton"))->click();  // the local module: ID 1
    ModuleList()->selectRow(0);
    Press("readButton");
    const QString farName = FormBox("devNameEdit")->text();
    const std::size_t written = FarModule(0x0102);
    ModuleBase second{};
    ASSERT_EQ(Q_QRV_GetRemoteDevBase(&second, 1), 1);
    const auto texts = [this] {
        QStringList shown;
        for (const CapturedMessage& message : toolkit_.Messages()) shown << message.text;
        return shown;
    };
    const auto held = [] { return ViewBaseInfo().findChild<QLabel*>(QStringLiteral("heldModuleLabel"))->text(); };

    // "否": nothing is written, the password is not even asked.
    FormBox("localAddrEdit")->setText(QString::number(second.NetAddr, 16));
    toolkit_.ClearMessages();
    SdkCallLog::Clear();
    bool dialogSeen = false;
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"));
    Press("modifyButton");
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(texts(), QStringList{QStringLiteral("地址 0x%1 已被网络设备 序号 1 使用，仍要修改吗？")
                                       .arg(QStringLiteral("%1").arg(second.NetAddr, 4, 16, QLatin1Char('0')).toUpper())});
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("GetRemoteDevPropertyAll", {0})}));

    // "是" to the local module's address: written, and the row follows it.
    FormBox("localAddrEdit")->setText(QStringLiteral("1"));
    toolkit_.ScriptAsk(true);
    toolkit_.ClearMessages();
    WhenPasswordDialogOpens(&dialogSeen, QStringLiteral("123456"));
    Press("modifyButton");
    EXPECT_TRUE(dialogSeen);
    ASSERT_GE(texts().size(), 2);
    EXPECT_EQ(texts().mid(0, 2),
              (QStringList{QStringLiteral("地址 0x0001 已被本地设备使用，仍要修改吗？"), QStringLiteral("修改成功     ")}));
    EXPECT_EQ(held(), QStringLiteral("当前显示：网络设备 序号 0，ID 1"));
    EXPECT_EQ(FormBox("devNameEdit")->text(), farName);  // never the local module's record under this label
    EXPECT_EQ(FormBox("localAddrEdit")->text(), QStringLiteral("1"));
    EXPECT_EQ(RowTexts(0)[1], QStringLiteral("1"));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim_->Module(written).config.record.LocalAddr == 1; }, kLongWaitMs));
}
