#pragma once
// 帮助 → 连接诊断: the connection doctor's report for the chosen port, one
// check a row with what was found and what to do, and "复制报告" to paste
// it into a support request. The file checks run at once; the line checks
// (detection, 20 local reads) run on a worker while the port is closed.
#include <QDialog>
#include <QString>

#include <vector>

#include "client/doctor.h"

class QPlainTextEdit;
class QPushButton;

class CDlgConnectionDoctor : public QDialog {
    Q_OBJECT

public:
    // `chain` receives the line checks' traffic too (the traffic log).
    CDlgConnectionDoctor(const QString& port, bool portOpen, qrv::client::TraceChain chain, QWidget* parent = nullptr);
    ~CDlgConnectionDoctor() override;

    const std::vector<qrv::client::CheckResult>& Checks() const { return checks_; }
    QString ReportText() const;
    // Waits for the line checks, if they run (tests, and closing).
    void WaitForLineChecks();

private:
    void Show();
    void CopyReport();

    QString port_;
    std::vector<qrv::client::CheckResult> checks_;
    QPlainTextEdit* report_;
    QPushButton* copy_;
    class QThread* worker_ = nullptr;
};
