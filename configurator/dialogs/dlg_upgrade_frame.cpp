#include "dialogs/dlg_upgrade_frame.h"

#include <QCoreApplication>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <string>

#include "common/failure_report.h"
#include "common/record_text.h"
#include "common/sdk_exchange_guard.h"
#include "dialogs/upgrade_status.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "toolkit/window_timers.h"
#include "toolkit/worker_thread.h"
#include "ui_dlg_upgrade_frame.h"

namespace {
QString ImageFilter() { return QCoreApplication::translate("CDlgUpgradeFrame", "固件文件 (*.bin)|*.bin||"); }
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
    // The file filter names its files in the window's language.
    ui_->pathEdit->setPlaceholderText(QCoreApplication::translate("CDlgUpgradeFrame", "固件文件 (*.bin)"));
}

void CDlgUpgradeFrame::SetTargetName(const QString& name) {
    setWindowTitle(QCoreApplication::translate("CDlgUpgradeFrame", "固件升级 — %1").arg(name));
    ui_->fileLabel->setText(QCoreApplication::translate("CDlgUpgradeFrame", "升级 %1：选择固件文件").arg(name));
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
    const std::optional<QString> chosen = qrvtune::CurrentToolkit().OpenFileName(this, ImageFilter());
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
    run_ = std::make_shared<UpgradeRun>();
    position_ = 0;
    ShowPosition();
    path_ = ui_->pathEdit->text();
    upgrading_ = true;
    SetControlsForState();

    // Refusals end without a call; the next tick reports them like any failure.
    std::wstring path = path_.toStdWString();
    refusal_.clear();
    if (path_.trimmed().isEmpty())
        refusal_ = QCoreApplication::translate("CDlgUpgradeFrame", "没有选择固件文件：请按“浏览”选择一个固件文件（.bin）。");
    else if (path.size() > static_cast<std::size_t>(kMaxPathLength))
        refusal_ = QCoreApplication::translate("CDlgUpgradeFrame", "文件路径太长（最多 %1 个字符）：请把固件文件放到路径较短的文件夹中。")
                       .arg(kMaxPathLength);
    if (!refusal_.isEmpty() || targetKind_ != kUpgradeThroughLocalCall) {
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
        qrvtune::WorkerThread::Start([lease, run = run_, path = std::move(path), runState = runState_,
                                      address = address_, devType = devType_] {
            // The SDK reports each acknowledged block on this thread.
            Q_SetProgressHandler(&UpgradeRun::NoteProgress, run.get());
            const int result = Q_QRV_UpdateWithFileNameLocal(path.c_str(), runState, address, devType);
            if (result == 0) run->SetFailure(qrvtune::LastSdkFailure());
            Q_SetProgressHandler(nullptr, nullptr);
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
        if (succeeded)
            qrvtune::ShowMessage(QCoreApplication::translate("CDlgUpgradeFrame", "固件升级成功"),
                                 qrvtune::MessageIcon::Information);
        else
            ShowUpgradeFailure();
        return;
    }
    // The blocks the module has acknowledged so far; 100 only with the outcome,
    // the module still has to start the new firmware after its last block.
    if (run_) position_ = std::min(UpgradePercent(run_->Done(), run_->Total()), 99);
    ShowPosition();
}

void CDlgUpgradeFrame::ShowUpgradeFailure() {
    const qrvtune::SdkFailure failure = run_ ? run_->Failure() : qrvtune::SdkFailure{};
    qrvtune::ReportIfPortLost(failure);
    QStringList lines;
    if (!refusal_.isEmpty()) lines << refusal_;
    const QString advice = qrvtune::FailureAdvice(failure);
    if (!advice.isEmpty()) lines << advice;
    // Once the module has taken the prepare command (its answer may be lost
    // on the way back) it runs its boot loader, not its firmware, until an
    // upgrade completes; only failures before any frame leave it alone.
    const bool talked = failure.reason != QRV_FAIL_NONE && failure.reason != QRV_FAIL_ARGUMENT &&
                        failure.reason != QRV_FAIL_IMAGE && failure.reason != QRV_FAIL_PORT_NOT_OPEN;
    if (refusal_.isEmpty() && (talked || runState_ == kRunStateBoot))
        lines << QCoreApplication::translate("CDlgUpgradeFrame",
                                             "模块可能停留在 BOOT 状态（只运行引导程序）。再次运行升级即可完成。");
    qrvtune::ShowMessage(QCoreApplication::translate("CDlgUpgradeFrame", "固件升级失败"),
                         qrvtune::MessageIcon::Information, lines.join(QLatin1Char('\n')));
}

void CDlgUpgradeFrame::ShowPosition() {
    ui_->progressBar->setValue(position_);
    const std::int32_t total = run_ ? run_->Total() : 0;
    ui_->blockLabel->setText(total > 0 ? QCoreApplication::translate("CDlgUpgradeFrame", "第 %1 / %2 块")
                                             .arg(std::min(run_->Done(), total))
                                             .arg(total)
                                       : QString());
}

void CDlgUpgradeFrame::SetControlsForState() {
    ui_->upgradeButton->setEnabled(!upgrading_);
    ui_->browseButton->setEnabled(!upgrading_);
    ui_->pathEdit->setEnabled(!upgrading_);
}
