#include "views/view_adio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdint>

#include "common/failure_report.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "ui_view_adio.h"
#include "views/flow_messages.h"
#include "views/operation_target.h"

namespace {

constexpr int kLineCount = 4;
// Work modes from which the local module may reach IO lines: host, host + relay.
constexpr std::uint8_t kWorkModeHost = 0;
constexpr std::uint8_t kWorkModeHostRelay = 2;

void ShowPlain(const QString& text) { qrvtune::ShowMessage(text); }

// The reason of the page's last failed exchange; read by the message shown for it.
qrvtune::SdkFailure lastFailure;

void ShowFailed(const QString& text) { qrvtune::ShowFailure(text, qrvtune::MessageIcon::None, lastFailure); }

// Runs one exchange while holding the link to the module (released before
// any message box); no link to be had counts as a failed call.
template <typename Exchange>
int WithLink(Exchange exchange) {
    lastFailure = {};
    return qrvtune::WithSdkLinkNoting(lastFailure, exchange);
}

bool LocalModuleMayDriveIo(const Session& session) {
    const std::uint8_t mode = session.LocalProperty.WorkMode;
    return mode == kWorkModeHost || mode == kWorkModeHostRelay;
}

}  // namespace

CViewADIO::CViewADIO(Session& session, QWidget* parent)
    : CPageBase(parent), session_(session), ui_(std::make_unique<Ui::CViewADIO>()) {
    ui_->setupUi(Body());
    connect(ui_->readInputsButton, &QPushButton::clicked, this, &CViewADIO::ReadInputs);
    connect(ui_->setOutputsButton, &QPushButton::clicked, this, &CViewADIO::SetOutputs);
    connect(ui_->readAdButton, &QPushButton::clicked, this, &CViewADIO::ReadAnalogue);
    connect(ui_->setDirButton, &QPushButton::clicked, this, &CViewADIO::SetDirections);
    ExchangeData(false);
}

CViewADIO::~CViewADIO() = default;

void CViewADIO::ExchangeData(bool fromControls) {
    QCheckBox* const inputBoxes[] = {ui_->inputCheck1, ui_->inputCheck2, ui_->inputCheck3, ui_->inputCheck4};
    QCheckBox* const outputBoxes[] = {ui_->outputCheck1, ui_->outputCheck2, ui_->outputCheck3, ui_->outputCheck4};
    QLineEdit* const adBoxes[] = {ui_->adEdit1, ui_->adEdit2, ui_->adEdit3, ui_->adEdit4};
    for (int n = 0; n < kLineCount; ++n) {
        if (fromControls) {
            inputs_[n] = inputBoxes[n]->isChecked() ? 1 : 0;
            outputs_[n] = outputBoxes[n]->isChecked() ? 1 : 0;
            analogue_[n] = adBoxes[n]->text();
        } else {
            inputBoxes[n]->setChecked(inputs_[n] != 0);
            outputBoxes[n]->setChecked(outputs_[n] != 0);
            adBoxes[n]->setText(analogue_[n]);
        }
    }
    if (fromControls) {
        direction1_ = ui_->dirCombo1->currentIndex();
        direction2_ = ui_->dirCombo2->currentIndex();
    } else {
        ui_->dirCombo1->setCurrentIndex(direction1_);
        ui_->dirCombo2->setCurrentIndex(direction2_);
    }
}

void CViewADIO::ReadInputs() {
    const std::optional<OperationTarget> target = target_.Current();
    if (!target) return ShowPlain(SelectDeviceText());
    std::uint8_t lines = 0xFF;
    const int ok = WithLink([&] {
        return target->remote ? Q_QRV_GetIOvalueRemote(target->index, &lines, 1) : Q_QRV_GetIOvalueLocal(&lines, 1);
    });
    if (ok == 0) return ShowFailed(tr("获取失败"));
    // Bit 0 is line 1 ... bit 3 line 4; a set bit is a ticked box.
    for (int n = 0; n < kLineCount; ++n) inputs_[n] = (lines >> n) & 1;
    // Also puts back the outputs last sent: unsent ticks are undone.
    ExchangeData(false);
}

void CViewADIO::SetOutputs() {
    ExchangeData(true);
    int value = 0;
    for (int n = 0; n < kLineCount; ++n) value |= outputs_[n] << n;
    const std::optional<OperationTarget> target = target_.Current();
    if (!target) return ShowPlain(SelectDeviceText());
    const int ok = WithLink([&] {
        return target->remote ? Q_QRV_SetIOValueRemote(target->index, value) : Q_QRV_SetIOValueLocal(value);
    });
    if (ok == 0) ShowFailed(tr("设置失败"));
}

void CViewADIO::ReadAnalogue() {
    const std::optional<OperationTarget> target = target_.Current();
    if (!target) return ShowPlain(SelectDeviceText());
    std::uint8_t values[2 * kLineCount] = {};
    const int ok = WithLink([&] {
        return target->remote ? Q_QRV_GetADvalueRemote(target->index, values, sizeof values)
                              : Q_QRV_GetADvalueLocal(values, sizeof values);
    });
    if (ok == 0) return ShowFailed(tr("获取失败"));
    // Four 16-bit millivolt values, high byte first, channel 1 first.
    for (int n = 0; n < kLineCount; ++n) {
        const unsigned millivolts = (unsigned{values[2 * n]} << 8) | values[2 * n + 1];
        analogue_[n] = QString::number(millivolts);
    }
    ExchangeData(false);
}

void CViewADIO::SetDirections() {
    direction1_ = ui_->dirCombo1->currentIndex();
    direction2_ = ui_->dirCombo2->currentIndex();
    // Bit 0 line 1's direction, bit 1 line 2's: 0 input, 1 output. A list
    // without a choice counts as input rather than sending stray high bits.
    const int value = std::max(direction1_, 0) + 2 * std::max(direction2_, 0);
    const std::optional<OperationTarget> target = target_.Current();
    if (!target) return ShowPlain(SelectDeviceText());
    // The stored work mode means nothing until the local module was read,
    // whichever module the directions are for.
    if (session_.LocalInfoLoaded == 0) return ShowPlain(tr("请先获取本地信息"));
    if (!target->remote) {
        if (!LocalModuleMayDriveIo(session_)) return ShowPlain(tr("本地设备必须配置成主机或主机+中继模式才可以访问IO"));
        // Silent on failure as always, but a pulled adapter is told.
        if (WithLink([&] { return Q_QRV_SetIODirAllLocal(value); }) == 0 && lastFailure.reason == QRV_FAIL_PORT_LOST)
            ShowFailed(tr("设置失败"));
        return;
    }
    enum class Outcome { NotHost, Set, Failed } outcome = Outcome::Failed;
    WithLink([&] {
        // The far module's records are read over the air first; what they
        // hold is not needed here.
        ModuleBase base{};
        ModuleProperty property{};
        Q_QRV_GetRemoteDevBase(&base, target->index);
        Q_QRV_GetRemoteDevPropertyAll(&property, target->index);
        if (!LocalModuleMayDriveIo(session_))
            outcome = Outcome::NotHost;
        else if (Q_QRV_SetIODirAllRemote(target->index, value) != 0)
            outcome = Outcome::Set;
        else
            lastFailure = qrvtune::LastSdkFailure();
        return 1;
    });
    if (outcome == Outcome::NotHost) return ShowPlain(tr("本地设备必须配置成主机或主机+中继模式才可以访问IO"));
    if (outcome == Outcome::Set) return ShowPlain(tr("设置成功"));
    ShowFailed(tr("设置失败"));
}
