// 帮助 → 连接诊断 against the simulated module: the report in Chinese from
// the checks' ids and facts, the line checks when the port is closed, none
// while Qrvtune holds it, and 复制报告.
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/dlg_connection_doctor.h"
#include "gui_fixture.h"
#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"

namespace {

class ConnectionDoctor : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        qrv::sim::SimulatorOptions options;
        options.baud = 115200;
        sim_ = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
    }
    QString Port() const { return QString::fromStdString(sim_->SlavePath()); }
    std::unique_ptr<qrv::sim::Simulator> sim_;
};

TEST_F(ConnectionDoctor, ReportsTheLineInChineseAndCopiesIt) {
    CDlgConnectionDoctor dialog(Port(), false, {});
    dialog.WaitForLineChecks();
    const QString report = dialog.findChild<QPlainTextEdit*>(QStringLiteral("doctorReport"))->toPlainText();
    EXPECT_TRUE(report.contains(QStringLiteral("[通过] detection  模块在 115200 波特应答"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("line-quality"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("是伪终端（模块模拟器）"))) << report.toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("正在检测")));
    dialog.findChild<QPushButton*>(QStringLiteral("copyReport"))->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dialog.ReportText());
}

TEST_F(ConnectionDoctor, LeavesAnOpenPortAlone) {
    CDlgConnectionDoctor dialog(Port(), true, {});
    dialog.WaitForLineChecks();
    EXPECT_EQ(dialog.Checks().back().outcome, "port-open");
    EXPECT_TRUE(dialog.ReportText().contains(QStringLiteral("关闭串口后再诊断")));
    sim_->ClearLog();
    EXPECT_TRUE(sim_->Log().empty());  // not a byte was sent
}

}  // namespace
