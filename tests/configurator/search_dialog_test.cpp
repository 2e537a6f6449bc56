// The search dialog: its settings, its controls, and sweeps against the
// simulated network (default scenario: three modules on 11 / 250 K, one on
// 26 / 1 M, one on 15 / 500 K).
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "app/qrvtune_dlg.h"
#include "common/ini_file.h"
#include "common/module_dir.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "dialogs/dlg_search_dev.h"
#include "advice_texts.h"
#include "network_fixture.h"
#include "qrvlink/qrvlink.h"

namespace {

QCheckBox* ChannelBox(const QDialog& dialog, int channel) {
    return dialog.findChild<QCheckBox*>(QStringLiteral("channelCheck%1").arg(channel));
}
QCheckBox* RateBox(const QDialog& dialog, int rate) {
    return dialog.findChild<QCheckBox*>(QStringLiteral("rateCheck%1").arg(rate));
}
QPushButton* Button(const QDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

std::vector<int> TickedChannels(const QDialog& dialog) {
    std::vector<int> ticked;
    for (int channel = 6; channel <= 30; ++channel)
        if (ChannelBox(dialog, channel)->isChecked()) ticked.push_back(channel);
    return ticked;
}
std::vector<int> TickedRates(const QDialog& dialog) {
    std::vector<int> ticked;
    for (int rate = 0; rate < 3; ++rate)
        if (RateBox(dialog, rate)->isChecked()) ticked.push_back(rate);
    return ticked;
}

struct ButtonState {
    bool enabled;
    bool visible;
    bool operator==(const ButtonState&) const = default;
};
ButtonState StateOf(const QPushButton* button) { return {button->isEnabled(), !button->isHidden()}; }

// Threads of this process, without Qt's painting pool (its threads come and
// go on Qt's own schedule, idle ones ending only after 30 s).
int ThreadCount() {
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "Thread (pooled)") continue;
        ++count;
    }
    return count;
}

QByteArray SearchSection(const QByteArray& channels, const QByteArray& rates) {
    return "[Search]\nChannel=" + channels + "\nRate=" + rates + "\n";
}

}  // namespace

// ---- Controls and settings (no module traffic) ----------------------------

using SearchDialogTest = GuiTest;

TEST_F(SearchDialogTest, StartsIdleInBroadcastModeWithItsListAndBar) {
    CDlgSearchDev dialog;
    EXPECT_EQ(StateOf(Button(dialog, "searchButton")), (ButtonState{true, true}));
    EXPECT_EQ(StateOf(Button(dialog, "stopButton")), (ButtonState{false, false}));
    EXPECT_EQ(StateOf(Button(dialog, "exitButton")), (ButtonState{true, true}));
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("broadcastRadio"))->isChecked());
    auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"));
    EXPECT_TRUE(address->isEnabled());
    const auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);

    const auto* list = dialog.findChild<QTableWidget*>(QStringLiteral("resultList"));
    const QStringList titles = {QStringLiteral("序号"), QStringLiteral("设备ID"), QStringLiteral("设备类型"),
                                QStringLiteral("运行状态")};
    const int widths[] = {53, 60, 140, 100};
    ASSERT_EQ(list->columnCount(), 4);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list->horizontalHeaderItem(column)->text(), titles[column]);
        EXPECT_EQ(list->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(list->rowCount(), 0);

    dialog.findChild<QRadioButton*>(QStringLiteral("addressRadio"))->click();
    EXPECT_TRUE(address->isEnabled());
    dialog.findChild<QRadioButton*>(QStringLiteral("broadcastRadio"))->click();
    EXPECT_FALSE(address->isEnabled());
    dialog.findChild<QRadioButton*>(QStringLiteral("addressRadio"))->click();
    EXPECT_TRUE(address->isEnabled());
}

TEST_F(SearchDialogTest, ChannelBoxesNameChannelAndFrequencyWithATrailingBlank) {
    CDlgSearchDev dialog;
    for (int channel = 6; channel <= 30; ++channel)
        EXPECT_EQ(ChannelBox(dialog, channel)->text(),
                  QStringLiteral("C-%1(%2MHz) ").arg(channel).arg(2380 + 5 * (channel - 6)));
    EXPECT_EQ(RateBox(dialog, 0)->text(), QStringLiteral("250K"));
    EXPECT_EQ(RateBox(dialog, 1)->text(), QStringLiteral("500K"));
    EXPECT_EQ(RateBox(dialog, 2)->text(), QStringLiteral("1M"));
}

TEST_F(SearchDialogTest, ExitSavesTheBoxesAndTheNextDialogShowsThemAgain) {
    {
        CDlgSearchDev dialog;
        EXPECT_TRUE(TickedChannels(dialog).empty());  // no settings file yet
        ChannelBox(dialog, 6)->click();
        ChannelBox(dialog, 30)->click();
        RateBox(dialog, 2)->click();
        Button(dialog, "exitButton")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    const QString path = ModuleDir() + QStringLiteral("/Meshcfg.ini");
    EXPECT_EQ(ReadIniString(path, QStringLiteral("Search"), QStringLiteral("Channel")),
              QStringLiteral("1") + QString(23, QLatin1Char('0')) + QStringLiteral("1"));
    EXPECT_EQ(ReadIniString(path, QStringLiteral("Search"), QStringLiteral("Rate")), QStringLiteral("001"));

    CDlgSearchDev again;
    EXPECT_EQ(TickedChannels(again), (std::vector<int>{6, 30}));
    EXPECT_EQ(TickedRates(again), (std::vector<int>{2}));
}

TEST_F(SearchDialogTest, AnUnwritableProgramFolderKeepsTheBoxesInTheUsersFile) {
    // An installed program's folder: here one below a plain file, which
    // nobody (root included) can create.
    WriteModuleFile(QStringLiteral("blocker"), "");
    const ShippedFilesStandIn blocked({ModuleDir() + QStringLiteral("/blocker/program")});
    {
        CDlgSearchDev dialog;
        ChannelBox(dialog, 11)->click();
        RateBox(dialog, 0)->click();
        Button(dialog, "exitButton")->click();
    }
    const QString user = ConfigDir() + QStringLiteral("/qrvtune/Meshcfg.ini");
    EXPECT_EQ(ReadIniString(user, QStringLiteral("Search"), QStringLiteral("Rate")), QStringLiteral("100"));
    CDlgSearchDev again;
    EXPECT_EQ(TickedChannels(again), (std::vector<int>{11}));
    EXPECT_EQ(TickedRates(again), (std::vector<int>{0}));
}

TEST_F(SearchDialogTest, OnlyTheDigitOneTicksAndShortOrLongValuesAreCut) {
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("0101", "1x11111"));
    CDlgSearchDev dialog;
    EXPECT_EQ(TickedChannels(dialog), (std::vector<int>{7, 9}));
    EXPECT_EQ(TickedRates(dialog), (std::vector<int>{0, 2}));

    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("2" + QByteArray(30, '1'), "yes"));
    CDlgSearchDev other;
    std::vector<int> allButSix;
    for (int channel = 7; channel <= 30; ++channel) allButSix.push_back(channel);
    EXPECT_EQ(TickedChannels(other), allButSix);
    EXPECT_TRUE(TickedRates(other).empty());
}

TEST_F(SearchDialogTest, AllChannelsAndRatesBoxSetsAndClearsEveryBoxAndIsNotSaved) {
    CDlgSearchDev dialog;
    auto* all = dialog.findChild<QCheckBox*>(QStringLiteral("allCheck"));
    ChannelBox(dialog, 12)->click();
    all->click();
    EXPECT_EQ(TickedChannels(dialog).size(), 25u);
    EXPECT_EQ(TickedRates(dialog).size(), 3u);
    all->click();
    EXPECT_TRUE(TickedChannels(dialog).empty());
    EXPECT_TRUE(TickedRates(dialog).empty());

    all->click();
    Button(dialog, "exitButton")->click();
    QFile file(ModuleDir() + QStringLiteral("/Meshcfg.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("Channel = 1111111111111111111111111") ||
                text.contains("Channel=1111111111111111111111111"))
        << text.toStdString();
    EXPECT_EQ(text.count('='), 2) << "only Channel and Rate are written: " << text.toStdString();
}

TEST_F(SearchDialogTest, EscapeWithoutASearchCancelsWithoutSaving) {
    CDlgSearchDev dialog;
    dialog.show();
    ChannelBox(dialog, 8)->click();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(ModuleDir() + QStringLiteral("/Meshcfg.ini")));
}

// ---- Sweeps against the simulated network ---------------------------------

class SearchSweepTest : public NetworkGuiTest {
protected:
    // Starts a sweep on a shown dialog with the boxes preset from the file.
    void StartSweep(CDlgSearchDev& dialog) {
        dialog.show();
        Button(dialog, "searchButton")->click();
    }
    static bool Finished(const QDialog& dialog) { return dialog.isHidden(); }
};

TEST_F(SearchSweepTest, BroadcastOnElevenAndTwentySixAt250KMakesExactlyTheListedCallsAndClosesWithOk) {
    const QByteArray settings = SearchSection("0000010000000000000010000", "100");
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), settings);
    CDlgSearchDev dialog;
    StartSweep(dialog);
    EXPECT_EQ(StateOf(Button(dialog, "searchButton")), (ButtonState{false, false}));
    EXPECT_EQ(StateOf(Button(dialog, "stopButton")), (ButtonState{true, true}));
    EXPECT_FALSE(Button(dialog, "exitButton")->isEnabled());

    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
    const auto closed = std::chrono::steady_clock::now();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const std::vector<SdkCall> calls = SdkCallLog::Exchanges();
    EXPECT_EQ(calls, (std::vector<SdkCall>{Call("ClearSearchArr"), Call("LoadInfo"), Call("SearchDev", {11, 0}),
                                           Call("SearchDev", {26, 0})}));
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_TRUE(calls[0].onWindowThread);
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_FALSE(calls[i].onWindowThread) << i;
    // The timer noticed the end: one period plus a loaded machine's slack.
    EXPECT_LT(closed - calls.back().returned, std::chrono::milliseconds(1500));
    for (const SdkCall& call : SdkCallLog::All())
        if (call.name == "GetSearchDevCount" || call.name == "GetRemoteDevBase") {
            EXPECT_TRUE(call.onWindowThread);
        }

    // Results appeared in the dialog's own list while it ran.
    const auto* list = dialog.findChild<QTableWidget*>(QStringLiteral("resultList"));
    EXPECT_EQ(list->rowCount(), Q_QRV_GetSearchDevCount());
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), 3);
    // The boxes are remembered however the sweep ends.
    CDlgSearchDev again;
    EXPECT_EQ(TickedChannels(again), (std::vector<int>{11, 26}));
    EXPECT_EQ(TickedRates(again), std::vector<int>{0});
    EXPECT_EQ(dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 0);
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(SearchSweepTest, AddressModeSearchesForTheHexAddressOnEveryPair) {
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("00000100000000000000", "110"));
    CDlgSearchDev dialog;
    dialog.show();
    dialog.findChild<QRadioButton*>(QStringLiteral("addressRadio"))->click();
    dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"))->setText(QStringLiteral("1a2b"));
    Button(dialog, "searchButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(SdkCallLog::Exchanges(),
              (std::vector<SdkCall>{Call("ClearSearchArr"), Call("LoadInfo"), Call("SearchDevByAddr", {11, 0, 0x1A2B}),
                                    Call("SearchDevByAddr", {11, 1, 0x1A2B})}));
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), 0);  // nobody has that address
    ASSERT_EQ(toolkit_.Messages().size(), 1u);
    EXPECT_EQ(toolkit_.Messages()[0].text, QStringLiteral("在所选的信道和速率上没有找到地址为 0x1A2B 的设备。"));
}

TEST_F(SearchSweepTest, TheLineUnderTheBarNamesThePairTheModulesFoundAndTheTimeLeft) {
    EXPECT_EQ(SweepProgressText(3, 75, 8, 0, 2, std::nullopt), QStringLiteral("第 3 / 75 组（信道 8，速率 250K）  已找到 2 个设备"));
    EXPECT_EQ(SweepProgressText(75, 75, 30, 2, 0, 200),
              QStringLiteral("第 75 / 75 组（信道 30，速率 1M）  已找到 0 个设备  剩余约 3 分 20 秒"));
    EXPECT_EQ(SweepProgressText(1, 2, 11, 1, 0, 4), QStringLiteral("第 1 / 2 组（信道 11，速率 500K）  已找到 0 个设备  剩余约 4 秒"));

    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("0000010000000000000010000", "100"));
    CDlgSearchDev dialog;
    const auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    const auto* line = dialog.findChild<QLabel*>(QStringLiteral("sweepLabel"));
    StartSweep(dialog);
    // Half way: the first of the two pairs is done, the second named.
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 50 || Finished(dialog); }, kLongWaitMs));
    if (!Finished(dialog)) {
        EXPECT_TRUE(line->text().startsWith(QStringLiteral("第 2 / 2 组（信道 26，速率 250K）  已找到 3 个设备")))
            << line->text().toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
}

TEST_F(SearchSweepTest, StopEndsTheSweepAtOnceSavesTheBoxesAndTheNextTickClosesWithOk) {
    CDlgSearchDev dialog;
    dialog.show();
    dialog.findChild<QCheckBox*>(QStringLiteral("allCheck"))->click();
    Button(dialog, "searchButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return SdkCallLog::CountOf(QStringLiteral("SearchDev")) >= 1; }, kLongWaitMs));

    const int searchedBeforeStop = SdkCallLog::CountOf(QStringLiteral("SearchDev"));
    Button(dialog, "stopButton")->click();
    // The worker has ended before the stop action returns, at most finishing
    // the call it was in.
    EXPECT_EQ(SdkCallLog::InFlight(), 0);
    EXPECT_FALSE(qrvtune::SdkExchangeGuard::Busy());
    const int searched = SdkCallLog::CountOf(QStringLiteral("SearchDev"));
    EXPECT_LE(searched, searchedBeforeStop + 1);
    EXPECT_EQ(StateOf(Button(dialog, "searchButton")), (ButtonState{true, false}));
    EXPECT_EQ(StateOf(Button(dialog, "stopButton")), (ButtonState{false, true}));
    EXPECT_FALSE(Button(dialog, "exitButton")->isEnabled());
    EXPECT_EQ(
        ReadIniString(ModuleDir() + QStringLiteral("/Meshcfg.ini"), QStringLiteral("Search"), QStringLiteral("Rate")),
        QStringLiteral("111"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(SdkCallLog::CountOf(QStringLiteral("SearchDev")), searched);
}

TEST_F(SearchSweepTest, EscapeDuringASweepStopsItAndLeavesNoThreadRunning) {
    auto dialog = std::make_unique<CDlgSearchDev>();
    dialog->show();
    dialog->findChild<QCheckBox*>(QStringLiteral("allCheck"))->click();
    const int threadsBefore = ThreadCount();
    Button(*dialog, "searchButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return SdkCallLog::CountOf(QStringLiteral("SearchDev")) >= 1; }, kLongWaitMs));

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(SdkCallLog::InFlight(), 0);
    EXPECT_FALSE(qrvtune::SdkExchangeGuard::Busy());
    const std::size_t callsAtClose = SdkCallLog::Exchanges().size();
    dialog.reset();  // the dialog's data goes away

    // The worker's thread itself is gone too (it ends right after its work).
    EXPECT_TRUE(QTest::qWaitFor([&] { return ThreadCount() == threadsBefore; }, kLongWaitMs))
        << ThreadCount() << " threads, " << threadsBefore << " before";
    EXPECT_EQ(SdkCallLog::Exchanges().size(), callsAtClose);
    // The boxes of a search that was started are remembered, however it ends.
    EXPECT_EQ(TickedChannels(CDlgSearchDev()).size(), 25u);
}

TEST_F(SearchSweepTest, LocalModuleUnreadableShowsTheErrorOnTheWindowThreadAndWaitsForStop) {
    Q_CloseCom();
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("000001", "1"));
    bool shownOnWindowThread = false;
    toolkit_.OnMessage(
        [&](const CapturedMessage&) { shownOnWindowThread = QThread::currentThread() == qApp->thread(); });
    CDlgSearchDev dialog;
    StartSweep(dialog);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !toolkit_.Messages().empty(); }, kLongWaitMs));
    EXPECT_EQ(
        toolkit_.Messages(),
        (std::vector<CapturedMessage>{{QStringLiteral("获取本地信息失败，请确定你的ZigBee设备已经接到计算机上..."),
                                       qrvtune::MessageIcon::Error, PortNotOpenAdvice()}}));
    EXPECT_TRUE(shownOnWindowThread);

    // Still searching as far as the dialog knows: the bar keeps cycling.
    const auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() >= 2; }, kLongWaitMs));
    EXPECT_FALSE(Finished(dialog));
    EXPECT_TRUE(Button(dialog, "stopButton")->isEnabled());

    Button(dialog, "stopButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(SdkCallLog::Exchanges(), (std::vector<SdkCall>{Call("ClearSearchArr"), Call("LoadInfo")}));
}

TEST_F(SearchSweepTest, ASweepStillEndingDelaysTheNextSearchUntilItHasEnded) {
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection("000001", "1"));
    qrvtune::SdkExchangeLease earlierSweep = qrvtune::SdkExchangeGuard::AcquireForWorker();
    ASSERT_TRUE(earlierSweep);
    bool nothingCalledWhileHeld = false;
    QTimer::singleShot(0, qApp, [&] {
        nothingCalledWhileHeld = SdkCallLog::All().empty();
        earlierSweep.Release();
    });
    CDlgSearchDev dialog;
    StartSweep(dialog);
    EXPECT_TRUE(nothingCalledWhileHeld);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog); }, kLongWaitMs));
    EXPECT_EQ(SdkCallLog::Exchanges(),
              (std::vector<SdkCall>{Call("ClearSearchArr"), Call("LoadInfo"), Call("SearchDev", {11, 0})}));
}

TEST_F(SearchSweepTest, APulledAdapterEndsTheSweepSayingSoAndClosesThePanel) {
    WriteModuleFile(QStringLiteral("Meshcfg.ini"), SearchSection(QByteArray(25, '1'), "111"));
    CQrvtuneDlg window;
    window.SetPortControls(true);
    CDlgSearchDev dialog;
    StartSweep(dialog);
    ASSERT_TRUE(QTest::qWaitFor([] { return SdkCallLog::CountOf(QStringLiteral("LoadInfo")) == 1; }, kLongWaitMs));
    sim_->Stop();  // the pty master closes, as a pulled USB adapter hangs up

    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(dialog) && !toolkit_.Messages().empty(); }, kLongWaitMs));
    const auto messages = toolkit_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("搜索已中止：串口已断开"));
    EXPECT_EQ(messages[0].icon, qrvtune::MessageIcon::Error);
    EXPECT_TRUE(messages[0].informative.startsWith(QStringLiteral("串口已断开："))) << messages[0].informative.toStdString();
    // Told at the first silent pair, not after the whole sweep.
    EXPECT_LE(SdkCallLog::CountOf(QStringLiteral("SearchDev")), 3);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    EXPECT_FALSE(SessionState().PortOpen());
    EXPECT_TRUE(window.findChild<QPushButton*>(QStringLiteral("openButton"))->isEnabled());

    // Plugged in again (a new pty): "打开串口" and the module answers.
    qrv::sim::SimulatorOptions options;
    options.baud = kBaud;
    sim_ = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), options);
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    window.findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(QString::fromStdString(sim_->SlavePath()));
    window.findChild<QComboBox*>(QStringLiteral("baudCombo"))->setCurrentText(QString::number(kBaud));
    window.findChild<QPushButton*>(QStringLiteral("openButton"))->click();
    EXPECT_TRUE(SessionState().PortOpen());
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
}
