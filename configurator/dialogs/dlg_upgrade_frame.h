#pragma once
// Template 109: picks a firmware image and upgrades one module with it. The
// upgrade is a single blocking SDK call, run on a worker thread; the SDK's
// progress handler counts the acknowledged blocks, a 200 ms window timer
// shows them (bar and "第 i / N 块") and the outcome once the worker has
// left it in UpgradeStatus().
#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

#include "dialogs/upgrade_status.h"

namespace Ui {
class CDlgUpgradeFrame;
}
namespace qrvtune {
class WindowTimers;
}

// The only target kind: upgrade through Q_QRV_UpdateWithFileNameLocal,
// which addresses the module by its network address alone.
inline constexpr std::uint8_t kUpgradeThroughLocalCall = 0xFF;

class CDlgUpgradeFrame : public QDialog {
public:
    static constexpr int kProgressTimerId = 769;
    static constexpr int kProgressPeriodMs = 200;
    // The worker's copy of the path holds 260 characters with the terminator.
    static constexpr int kMaxPathLength = 259;

    explicit CDlgUpgradeFrame(QWidget* parent = nullptr);
    ~CDlgUpgradeFrame() override;

    // The target's identity, from its ModuleBase; set before the modal run.
    void SetDevType(std::uint16_t devType) { devType_ = devType; }
    void SetAddress(std::uint16_t address) { address_ = address; }
    void SetRunState(std::uint8_t runState) { runState_ = runState; }
    void SetTargetKind(std::uint8_t kind) { targetKind_ = kind; }
    // Names the module in the title and above the file box ("本地设备，ID 1").
    void SetTargetName(const QString& name);
    std::uint16_t DevType() const { return devType_; }
    std::uint16_t Address() const { return address_; }
    std::uint8_t RunState() const { return runState_; }
    std::uint8_t TargetKind() const { return targetKind_; }

    // From "升级" until the outcome has been shown.
    bool Upgrading() const { return upgrading_; }

    // Enter, Esc and the close box leave the dialog open: only "退出" ends it.
    void reject() override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Browse();
    void StartUpgrade();
    void Exit();
    void OnTimer(int id);
    void ShowPosition();
    void SetControlsForState();
    // "固件升级失败" with why, and whether the module may be left in BOOT.
    void ShowUpgradeFailure();

    std::unique_ptr<Ui::CDlgUpgradeFrame> ui_;
    qrvtune::WindowTimers* timers_;
    QString path_;
    std::uint16_t devType_ = 0;
    std::uint16_t address_ = 0;
    std::uint8_t runState_ = 0;
    std::uint8_t targetKind_ = kUpgradeThroughLocalCall;
    int position_ = 0;
    QString refusal_;  // set when the dialog refused to start the call
    bool upgrading_ = false;
    // The running (or last) upgrade's progress and failure, shared with its worker.
    std::shared_ptr<UpgradeRun> run_;
};
