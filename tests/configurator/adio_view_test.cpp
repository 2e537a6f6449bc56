// The wireless IO page against the simulated network: the bit layouts of
// inputs and outputs, the analogue values, what a read puts back, the target
// rule of the left tab set and the hidden direction group.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <memory>

#include "app/qrvtune_dlg.h"
#include "common/session_state.h"
#include "advice_texts.h"
#include "gui_fixture.h"
#include "protocol/protocol_constants.h"
#include "network_tab.h"
#include "simulated_network.h"
#include "views/view_adio.h"
#include "views/views.h"

namespace {

using namespace std::chrono_literals;
using qrv::protocol::kIoCmdReadAd;
using qrv::protocol::kIoCmdReadInputs;
using qrv::protocol::kIoCmdSetDirections;
using Ticks = std::array<bool, 4>;

// "无线IO-车间": a wireless-IO module beside the host, outputs wired back to inputs.

const CapturedMessage kChooseModule{QStringLiteral("请选择设备"), qrvtune::MessageIcon::None};
const CapturedMessage kReadFailed{QStringLiteral("获取失败"), qrvtune::MessageIcon::None};
const CapturedMessage kReadLocalFirst{QStringLiteral("请先获取本地信息"), qrvtune::MessageIcon::None};

class WirelessIoPage : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        std::string error;
        ASSERT_TRUE(net_.Open(&error)) << error;
        Q_QRV_ClearSearchArr();
        // Local IO frames carry the address the SDK learned from the module.
        ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    }

    void TearDown() override {
        window_.reset();
        Q_QRV_ClearSearchArr();
        GuiTest::TearDown();
    }

    template <typename T>
    static T* Find(QObject& parent, const QString& name) {
        T* child = parent.findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    static QPushButton* Button(const char* name) { return Find<QPushButton>(ViewADIO(), QLatin1String(name)); }
    static QCheckBox* Box(const char* row, int n) {
        return Find<QCheckBox>(ViewADIO(), QLatin1String(row) + QString::number(n));
    }
    static Ticks Shown(const char* row) {
        Ticks ticks{};
        for (int n = 1; n <= 4; ++n) ticks[n - 1] = Box(row, n)->isChecked();
        return ticks;
    }
    static void Tick(const char* row, const Ticks& ticks) {
        for (int n = 1; n <= 4; ++n) Box(row, n)->setChecked(ticks[n - 1]);
    }
    static std::array<QString, 4> Analogue() {
        std::array<QString, 4> texts;
        for (int n = 1; n <= 4; ++n) texts[n - 1] = Find<QLineEdit>(ViewADIO(), QStringLiteral("adEdit%1").arg(n))->text();
        return texts;
    }
    static void ChooseDirections(int first, int second) {
        Find<QComboBox>(ViewADIO(), QStringLiteral("dirCombo1"))->setCurrentIndex(first);
        Find<QComboBox>(ViewADIO(), QStringLiteral("dirCombo2"))->setCurrentIndex(second);
    }

    // "网络设备" active, `address` (if any) selected; its entry index or -1.
    int ShowNetworkTab(std::optional<std::uint16_t> address) {
        NetworkTab tab = OpenNetworkTab(net_, address);
        window_ = std::move(tab.window);
        return tab.row;
    }

    // As the local page's read leaves the session record.
    void ReadLocalModule(std::uint8_t workMode) {
        Session& session = SessionState();
        ASSERT_EQ(Q_QRV_GetPropertyAll(&session.LocalBase, &session.LocalProperty), 1);
        session.LocalInfoLoaded = 1;
        session.LocalProperty.WorkMode = workMode;
    }

    qrv::sim::ModuleState Module(std::uint16_t address) {
        return net_.Sim().Module(net_.Sim().FindModule(address).value_or(SimulatedNetwork::kLocal));
    }
    qrv::sim::ModuleState Local() { return net_.Sim().Module(SimulatedNetwork::kLocal); }

    SimulatedNetwork net_;
    std::unique_ptr<CQrvtuneDlg> window_;
};

}  // namespace

TEST_F(WirelessIoPage, InputLinesTickTheBoxesOfTheirBits) {
    const struct {
        std::uint8_t lines;
        Ticks shown;
    } cases[] = {{0x05, {true, false, true, false}},
                 {0x0A, {false, true, false, true}},
                 {0x00, {false, false, false, false}},
                 {0x0F, {true, true, true, true}}};
    for (const auto& c : cases) {
        net_.Sim().SetInputs(SimulatedNetwork::kLocal, c.lines);
        Button("readInputsButton")->click();
        EXPECT_EQ(Shown("inputCheck"), c.shown) << int{c.lines};
    }
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(WirelessIoPage, TickedOutputsTwoAndFourSendTen) {
    Tick("outputCheck", {false, true, false, true});
    Button("setOutputsButton")->click();
    EXPECT_EQ(Local().config.io.outputs, 10);
    EXPECT_TRUE(toolkit_.Messages().empty());  // success shows nothing

    Tick("outputCheck", {true, false, false, false});
    Button("setOutputsButton")->click();
    EXPECT_EQ(Local().config.io.outputs, 1);
}

TEST_F(WirelessIoPage, AnalogueValuesAreShownInMillivolts) {
    // On the line: 01 F4, 00 00, 0C E4, FF FF.
    net_.Sim().SetAd(SimulatedNetwork::kLocal, {500, 0, 3300, 65535});
    Button("readAdButton")->click();
    const std::array<QString, 4> expected{QStringLiteral("500"), QStringLiteral("0"), QStringLiteral("3300"),
                                          QStringLiteral("65535")};
    EXPECT_EQ(Analogue(), expected);
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(WirelessIoPage, AReadPutsBackOutputTicksThatWereNotSent) {
    Tick("outputCheck", {false, true, false, false});
    Button("setOutputsButton")->click();

    Tick("outputCheck", {true, false, false, true});  // changed but not sent
    Button("readInputsButton")->click();
    EXPECT_EQ(Shown("outputCheck"), (Ticks{false, true, false, false}));

    Tick("outputCheck", {false, false, true, false});
    Button("readAdButton")->click();
    EXPECT_EQ(Shown("outputCheck"), (Ticks{false, true, false, false}));
    EXPECT_EQ(Local().config.io.outputs, 2);
}

TEST_F(WirelessIoPage, FailedExchangesReportAndKeepWhatIsShown) {
    net_.Sim().SetInputs(SimulatedNetwork::kLocal, 0x05);
    net_.Sim().SetAd(SimulatedNetwork::kLocal, {1, 2, 3, 4});
    Button("readInputsButton")->click();
    Button("readAdButton")->click();
    const std::array<QString, 4> analogue = Analogue();

    Q_CloseCom();  // the page looks at no flag: a closed port is a failed call
    Button("readInputsButton")->click();
    Button("readAdButton")->click();
    Tick("outputCheck", {true, true, true, true});
    Button("setOutputsButton")->click();

    const CapturedMessage readFailed{kReadFailed.text, kReadFailed.icon, PortNotOpenAdvice()};
    const std::vector<CapturedMessage> expected{
        readFailed, readFailed, {QStringLiteral("设置失败"), qrvtune::MessageIcon::None, PortNotOpenAdvice()}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(Shown("inputCheck"), (Ticks{true, false, true, false}));
    EXPECT_EQ(Analogue(), analogue);
}

TEST_F(WirelessIoPage, NetworkTabWithoutSelectionAsksForAModuleAndSendsNothing) {
    ShowNetworkTab(std::nullopt);
    ChooseDirections(1, 1);
    net_.Sim().ClearLog();
    for (const char* button : {"readInputsButton", "setOutputsButton", "readAdButton", "setDirButton"})
        Button(button)->click();
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>(4, kChooseModule));

    // A probe of our own: once it has been seen, nothing else is on its way.
    std::uint8_t lines = 0;
    ASSERT_EQ(Q_QRV_GetIOvalueLocal(&lines, 1), 1);
    ASSERT_TRUE(net_.WaitForRequest(IoCommand(kIoCmdReadInputs), 2s));
    EXPECT_EQ(net_.AllRequestCount(), 1u);
}

TEST_F(WirelessIoPage, TheSelectedFarModuleIsReadAndDriven) {
    ASSERT_GE(ShowNetworkTab(kWorkshopAddress), 0);
    Tick("outputCheck", {false, true, false, true});
    Button("setOutputsButton")->click();
    EXPECT_EQ(Module(kWorkshopAddress).config.io.outputs, 10);
    EXPECT_EQ(Local().config.io.outputs, 0);

    Button("readInputsButton")->click();  // its outputs come back on its inputs
    EXPECT_EQ(Shown("inputCheck"), (Ticks{false, true, false, true}));

    net_.Sim().SetAd(*net_.Sim().FindModule(kWorkshopAddress), {1200, 2480, 330, 3010});
    Button("readAdButton")->click();
    const std::array<QString, 4> expected{QStringLiteral("1200"), QStringLiteral("2480"), QStringLiteral("330"),
                                          QStringLiteral("3010")};
    EXPECT_EQ(Analogue(), expected);
    EXPECT_TRUE(toolkit_.Messages().empty());
}

TEST_F(WirelessIoPage, LocalDirectionsNeedALocalReadAndAHostWorkMode) {
    ChooseDirections(1, 0);  // line 1 output, line 2 input: 1
    net_.Sim().ClearLog();
    Button("setDirButton")->click();
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kReadLocalFirst});
    EXPECT_EQ(net_.AllRequestCount(), 0u);

    for (const int hostMode : {0, 2}) {
        ReadLocalModule(static_cast<std::uint8_t>(hostMode));
        toolkit_.ClearMessages();
        ChooseDirections(hostMode == 0 ? 1 : 0, hostMode == 0 ? 0 : 1);
        Button("setDirButton")->click();
        EXPECT_TRUE(toolkit_.Messages().empty());  // nothing is shown either way
        EXPECT_EQ(Local().config.io.directions, hostMode == 0 ? 1 : 2);
    }

    ReadLocalModule(1);  // terminal
    toolkit_.ClearMessages();
    net_.Sim().ClearLog();
    Button("setDirButton")->click();
    const std::vector<CapturedMessage> expected{{QStringLiteral("本地设备必须配置成主机或主机+中继模式才可以访问IO")}};
    EXPECT_EQ(toolkit_.Messages(), expected);
    EXPECT_EQ(net_.RequestCount(IoCommand(kIoCmdSetDirections)), 0u);
}

TEST_F(WirelessIoPage, FarDirectionsNeedALocalReadFirstThenReportTheOutcome) {
    ASSERT_GE(ShowNetworkTab(kWorkshopAddress), 0);
    ChooseDirections(1, 1);
    net_.Sim().ClearLog();
    Button("setDirButton")->click();
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{kReadLocalFirst});
    EXPECT_EQ(net_.AllRequestCount(), 0u);  // not even the over-the-air read

    ReadLocalModule(0);
    toolkit_.ClearMessages();
    Button("setDirButton")->click();
    EXPECT_EQ(toolkit_.Messages(), std::vector<CapturedMessage>{{QStringLiteral("设置成功")}});
    EXPECT_EQ(Module(kWorkshopAddress).config.io.directions, 3);
    EXPECT_EQ(Local().config.io.directions, 0);
}
