#include "dialogs/dlg_connection_doctor.h"

#include <QClipboard>
#include <algorithm>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "common/doctor_text.h"

namespace {
constexpr int kLocalReads = 20;
}

CDlgConnectionDoctor::CDlgConnectionDoctor(const QString& port, bool portOpen, qrv::client::TraceChain chain,
                                           QWidget* parent)
    : QDialog(parent), port_(port), report_(new QPlainTextEdit(this)), copy_(new QPushButton(tr("复制报告"), this)) {
    setObjectName(QStringLiteral("connectionDoctor"));
    setWindowTitle(tr("连接诊断"));
    resize(720, 480);
    report_->setObjectName(QStringLiteral("doctorReport"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    copy_->setObjectName(QStringLiteral("copyReport"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(copy_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(copy_, &QPushButton::clicked, this, &CDlgConnectionDoctor::CopyReport);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(report_);
    layout->addWidget(buttons);

    checks_ = qrv::client::SystemChecks(port_.toStdString(), qrv::client::RealSetup());
    const bool usable = std::none_of(checks_.begin(), checks_.end(), [](const qrv::client::CheckResult& c) {
        return (c.id == "port" || c.id == "permission" || c.id == "held") && c.verdict == qrv::client::CheckVerdict::Fail;
    });
    if (portOpen) {
        // The line checks need the SDK's one port: they would close the user's.
        checks_.push_back({"detection", qrv::client::CheckVerdict::Skip, "port-open", {}, "the port is open in Qrvtune", {}});
    } else if (!usable) {
        checks_.push_back({"detection", qrv::client::CheckVerdict::Skip, "port-unusable", {}, "the port cannot be used", {}});
    } else {
        const std::string path = port_.toStdString();
        auto* results = new std::vector<qrv::client::CheckResult>;
        worker_ = QThread::create([path, chain, results] { *results = qrv::client::LineChecks(path, kLocalReads, chain); });
        connect(worker_, &QThread::finished, this, [this, results] {
            for (auto& c : *results) checks_.push_back(std::move(c));
            delete results;
            Show();
        });
        worker_->start();
    }
    Show();
}

CDlgConnectionDoctor::~CDlgConnectionDoctor() {
    if (worker_ != nullptr) {
        worker_->wait();
        delete worker_;
    }
}

void CDlgConnectionDoctor::WaitForLineChecks() {
    if (worker_ == nullptr) return;
    worker_->wait();
    QCoreApplication::sendPostedEvents(this);
    QCoreApplication::processEvents();
}

QString CDlgConnectionDoctor::ReportText() const { return DoctorReportText(port_, checks_); }

void CDlgConnectionDoctor::Show() {
    QString text = ReportText();
    if (worker_ != nullptr && worker_->isRunning()) text += tr("正在检测模块并测量线路（约 10 秒）……") + QLatin1Char('\n');
    report_->setPlainText(text);
}

void CDlgConnectionDoctor::CopyReport() { QGuiApplication::clipboard()->setText(ReportText()); }
