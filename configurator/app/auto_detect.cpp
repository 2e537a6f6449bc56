#include "app/auto_detect.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <mutex>

#include "app/serial_settings.h"
#include "client/detect.h"
#include "common/sdk_exchange_guard.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int kDetectPollMs = 50;

}  // namespace

// What the worker hands back; it may outlive the window.
struct AutoDetect::Shared {
    std::mutex mutex;
    std::vector<qrv::client::PortScan> scans;
};

AutoDetect::AutoDetect(QWidget* window, QGridLayout& layout, int row, int column, PortPanel panel)
    : QObject(window), panel_(std::move(panel)) {
    button_ = new QPushButton(QCoreApplication::translate("AutoDetect", "自动检测"), window);
    button_->setObjectName(QStringLiteral("autoDetectButton"));
    button_->setAutoDefault(false);
    layout.addWidget(button_, row, column);
    connect(button_, &QPushButton::clicked, this, &AutoDetect::Start);
}

std::vector<std::string> AutoDetect::PortsToTry() const {
    std::vector<std::string> ports;
    // A listed entry opens by its name; anything else as typed.
    const QString text = panel_.port->currentText();
    const int listed = panel_.port->findText(text);
    const QString chosen = listed >= 0 ? panel_.port->itemData(listed).toString() : text.trimmed();
    if (!chosen.isEmpty()) ports.push_back(chosen.toStdString());
    for (int i = 0; i < panel_.port->count(); ++i) {
        const std::string name = panel_.port->itemData(i).toString().toStdString();
        if (!name.empty() && name != ports.front()) ports.push_back(name);
    }
    return ports;
}

void AutoDetect::Start() {
    if (Running()) return;
    const std::vector<std::string> ports = PortsToTry();
    if (ports.empty()) {
        qrvtune::ShowMessage(QCoreApplication::translate("AutoDetect", "没有可检测的串口。"),
                             qrvtune::MessageIcon::Warning);
        return;
    }
    // The scan opens and closes the SDK's port: nothing else may talk meanwhile.
    auto lease = std::make_shared<qrvtune::SdkExchangeLease>(qrvtune::SdkExchangeGuard::AcquireForWorker());
    if (!*lease) return;
    panel_.settings->setEnabled(false);
    button_->setEnabled(false);
    button_->setText(QCoreApplication::translate("AutoDetect", "正在检测…"));
    shared_ = std::make_shared<Shared>();
    worker_ = std::make_unique<qrvtune::WorkerThread>(qrvtune::WorkerThread::Start([shared = shared_, lease, ports] {
        std::vector<qrv::client::PortScan> scans = qrv::client::Detect(ports);
        lease->Release();
        const std::lock_guard lock(shared->mutex);
        shared->scans = std::move(scans);
    }));
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &AutoDetect::Poll);
    timer_->start(kDetectPollMs);
}

void AutoDetect::Poll() {
    if (!worker_->Finished()) return;
    timer_->deleteLater();
    timer_ = nullptr;
    std::vector<qrv::client::PortScan> scans;
    {
        const std::lock_guard lock(shared_->mutex);
        scans = std::move(shared_->scans);
    }
    worker_.reset();
    shared_.reset();
    Finish(scans);
}

void AutoDetect::Finish(const std::vector<qrv::client::PortScan>& scans) {
    panel_.settings->setEnabled(true);
    button_->setEnabled(true);
    button_->setText(QCoreApplication::translate("AutoDetect", "自动检测"));
    for (const qrv::client::PortScan& scan : scans) {
        if (!scan.found) continue;
        const QString port = QString::fromStdString(scan.found->port);
        const int listed = panel_.port->findData(port);
        if (listed >= 0)
            panel_.port->setCurrentIndex(listed);
        else
            panel_.port->setEditText(port);
        // The scan talks 8 data bits, no parity, one stop bit.
        panel_.baud->setCurrentIndex(PositionOfBaud(scan.found->baud));
        panel_.dataBits->setCurrentIndex(kDefaultDataBitsPosition);
        panel_.parity->setCurrentIndex(kDefaultParityPosition);
        panel_.stopBits->setCurrentIndex(kDefaultStopBitsPosition);
        qrvtune::ShowMessage(QCoreApplication::translate("AutoDetect", "在 %1 上检测到模块，波特率 %2。")
                                 .arg(port)
                                 .arg(scan.found->baud),
                             qrvtune::MessageIcon::Information);
        panel_.open();
        return;
    }
    qrvtune::ShowMessage(NothingDetectedText(scans), qrvtune::MessageIcon::Warning);
}

QString NothingDetectedText(const std::vector<qrv::client::PortScan>& scans) {
    QStringList tried;
    for (const qrv::client::PortScan& scan : scans)
        tried << QString::fromStdString(scan.port) +
                     (scan.opened ? QString() : QCoreApplication::translate("AutoDetect", "（无法打开）"));
    return QCoreApplication::translate(
               "AutoDetect", "没有模块应答。已尝试的串口：%1；波特率 460800 至 1200，8 位数据位、无校验、1 位停止位。")
        .arg(tried.join(QCoreApplication::translate("AutoDetect", "、")));
}
