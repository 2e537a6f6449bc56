#include "dialogs/dlg_upgrade_frame.h"

#include <QCoreApplication>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <memory>
#include <string>

#include "common/sdk_exchange_guard.h"
#include "dialogs/upgrade_status.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "toolkit/window_timers.h"
#include "toolkit/worker_thread.h"
#include "ui_dlg_upgrade_frame.h"

namespace {
const QString kImageFilter = QStringLiteral("bin Files (*.bin)|*.bin||");
}  // namespace

CDlgUpgradeFrame::CDlgUpgradeFrame(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::CDlgUpgradeFrame>()),
      timers_(new qrvtune::WindowTimers(this, [this](int id) { OnTimer(id); })) {
    ui_->setupUi(this);
    connect(ui_->browseButton, &QPushButton::clicked, this, &CDlgUpgradeFrame::Browse);
    connect(ui_->upgradeButton, &QPushButton::clicked, this, &CDlgUpgradeFrame::StartUpgrade);
    connect(ui_->exitButton, &QPushButton::clicked, this, &CDlgUpgradeFrame::Exit);
    ui_->progressBar->setRange(0, 100);
    ShowPosition();
}

CDlgUpgradeFrame::~CDlgUpgradeFrame() = default;

void CDlgUpgradeFrame::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: event->accept(); return;
        default: QDialog::keyPressEvent(event);
    }
}

void CDlgUpgradeFrame::closeEvent(QCloseEvent* event) { event->ignore(); }

void CDlgUpgradeFrame::Browse() {
    const std::optional<QString> chosen = qrvtune::CurrentToolkit().OpenFileName(this, kImageFilter);
    if (!chosen) return;
    path_ = *chosen;
    ui_->pathEdit->setText(path_);
}

void CDlgUpgradeFrame::StartUpgrade() {
    // One upgrade at a time: a second one would talk to the module on top of
    // the first. The button is disabled meanwhile; this also covers a click
    // queued before that.
    if (upgrading_) return;
    UpgradeStatus().store(kUpgradeRunning);
    position_ = 0;
    ShowPosition();
    path_ = ui_->pathEdit->text();
    upgrading_ = true;
    SetControlsForState();

    // Refusals end without a call; the next tick reports them like any failure.
    std::wstring path = path_.toStdWString();
    if (path.size() > static_cast<std::size_t>(kMaxPathLength) || targetKind_ != kUpgradeThroughLocalCall) {
        UpgradeStatus().store(kUpgradeFailed);
        timers_->Start(kProgressTimerId, kProgressPeriodMs);
        return;
    }
    // Waits (busy cursor) while another worker still talks to the module; an
    // empty lease means this thread holds the link further up its stack.
    auto lease = std::make_shared<qrvtune::SdkExchangeLease>(qrvtune::SdkExchangeGuard::AcquireForWorker());
    if (!*lease) {
        UpgradeStatus().store(kUpgradeFailed);
    } else {
        // The worker gets copies only: nothing of the dialog is touched from
        // it. It keeps the link until its call has returned.
        qrvtune::WorkerThread::Start(
            [lease, path = std::move(path), runState = runState_, address = address_, devType = devType_] {
                const int result = Q_QRV_UpdateWithFileNameLocal(path.c_str(), runState, address, devType);
                lease->Release();
                UpgradeStatus().store(result != 0 ? kUpgradeSucceeded : kUpgradeFailed);
            });
    }
    timers_->Start(kProgressTimerId, kProgressPeriodMs);
}

void CDlgUpgradeFrame::Exit() {
    // Leaving now would let the user start another exchange with the module
    // while the upgrade still talks to it.
    if (upgrading_) {
        qrvtune::ShowMessage(QCoreApplication::translate("CDlgUpgradeFrame", "正在升级固件，请等待升级结束后再退出"), qrvtune::MessageIcon::Warning);
        return;
    }
    path_ = ui_->pathEdit->text();
    accept();
}

void CDlgUpgradeFrame::OnTimer(int id) {
    if (id != kProgressTimerId) return;
    const std::int32_t status = UpgradeStatus().load();
    if (status == kUpgradeSucceeded || status == kUpgradeFailed) {
        timers_->Stop(kProgressTimerId);
        const bool succeeded = status == kUpgradeSucceeded;
        position_ = succeeded ? 100 : 0;
        ShowPosition();
        upgrading_ = false;
        SetControlsForState();
        qrvtune::ShowMessage(succeeded ? QCoreApplication::translate("CDlgUpgradeFrame", "固件升级成功") : QCoreApplication::translate("CDlgUpgradeFrame", "固件升级失败"),
                             qrvtune::MessageIcon::Information);
        return;
    }
    // Not real progress: a sweep from 1 to 99 every 20 seconds, then again from 0.
    if (++position_ >= 100) position_ = 0;
    ShowPosition();
}

void CDlgUpgradeFrame::ShowPosition() { ui_->progressBar->setValue(position_); }

void CDlgUpgradeFrame::SetControlsForState() {
    ui_->upgradeButton->setEnabled(!upgrading_);
    ui_->browseButton->setEnabled(!upgrading_);
    ui_->pathEdit->setEnabled(!upgrading_);
}
