#include "network_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <string>

#include "common/sdk_exchange_guard.h"
#include "qrvlink/qrvlink.h"
#include "sim/scenario.h"
#include "views/view_base_info.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

void NetworkGuiTest::SetUp() {
    GuiTest::SetUp();
    qrv::sim::SimulatorOptions options;
    options.baud = kBaud;
    sim_ = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), options);
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const std::wstring path(sim_->SlavePath().begin(), sim_->SlavePath().end());
    ASSERT_EQ(Q_OpenCom(path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    SdkCallLog::Clear();
}

void NetworkGuiTest::TearDown() {
    // A sweep still ending must not outlive the port or the simulator.
    EXPECT_TRUE(QTest::qWaitFor([] { return !qrvtune::SdkExchangeGuard::Busy(); }, kLongWaitMs));
    Q_CloseCom();
    Q_QRV_ClearSearchArr();
    if (sim_) sim_->Stop();
    GuiTest::TearDown();
}

std::size_t NetworkGuiTest::FarModule(std::uint16_t address) const {
    const auto index = sim_->FindModule(address);
    EXPECT_TRUE(index.has_value()) << "no module " << address;
    return index.value_or(0);
}

QTableWidget* ModuleList() { return ViewRemoteDevList().findChild<QTableWidget*>(QStringLiteral("moduleList")); }
void Press(const char* button) { ViewRemoteDevList().findChild<QPushButton*>(QString::fromLatin1(button))->click(); }
QLineEdit* FormBox(const char* name) { return ViewBaseInfo().findChild<QLineEdit*>(QString::fromLatin1(name)); }
