#include "views/view_local_dev_list.h"

#include <QPushButton>

#include "common/failure_report.h"
#include "common/record_fields.h"
#include "common/record_text.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "dialogs/dlg_input_pwd.h"
#include "toolkit/toolkit.h"
#include "ui_view_local_dev_list.h"
#include "views/address_change.h"
#include "views/flow_messages.h"
#include "views/module_record.h"
#include "views/profile_exchange.h"

namespace {

using qrvtune::MessageIcon;
using qrvtune::SdkFailure;
using qrvtune::ShowFailure;
using qrvtune::ShowMessage;
using qrvtune::WithSdkLink;
using qrvtune::WithSdkLinkNoting;

// Positions of the run-state list: "BOOT", "USER", "NOBOOT".
int RunStatePosition(std::uint8_t runState) {
    if (runState == kRunStateBoot) return 0;
    if (runState == kRunStateUser) return 1;
    return 2;
}

}  // namespace

CViewLocalDevList::CViewLocalDevList(Session& session, QWidget* parent)
    : CPageBase(parent), session_(session), ui_(std::make_unique<Ui::CViewLocalDevList>()) {
    ui_->setupUi(Body());
    connect(ui_->readButton, &QPushButton::clicked, this, &CViewLocalDevList::OnRead);
    connect(ui_->modifyButton, &QPushButton::clicked, this, &CViewLocalDevList::OnModify);
    connect(ui_->resetButton, &QPushButton::clicked, this, &CViewLocalDevList::OnReset);
    connect(ui_->factoryButton, &QPushButton::clicked, this, &CViewLocalDevList::OnFactoryRestore);
    AddProfileButtons(this, *ui_->pageLayout, ui_->buttonRow, [this] { return ReadLocalModuleForProfile(session_); });
}

CViewLocalDevList::~CViewLocalDevList() = default;

void CViewLocalDevList::OnRead() {
    if (!session_.PortOpen()) {
        ShowMessage(tr("串口未打开，请先打开串口再进行此操作!"));
        return;
    }
    ModuleBase base{};
    ModuleProperty property{};
    SdkFailure failure;
    if (WithSdkLinkNoting(failure, [&] { return Q_QRV_GetPropertyAll(&base, &property); }) != 1) {
        // The records of an earlier read stay in use.
        ShowFailure(tr("获取本地信息失败"), MessageIcon::None, failure);
        return;
    }
    TakeLocalRecords(base, property);
    ShowMessage(tr("获取本地信息成功！"), MessageIcon::Information);
}

void CViewLocalDevList::OnModify() {
    Session& session = session_;
    if (session.LocalInfoLoaded == 0) {
        ShowMessage(tr("请先获取设备信息"));
        return;
    }
    // The pages may hold a far module's record since: laid over the local
    // one, its name and address would be written into the local module.
    if (FormHolds() != FormModule::Local()) {
        ShowMessage(tr("表单中显示的不是本地设备的配置，请先读取本地设备"), MessageIcon::Warning);
        return;
    }
    if (!CheckModuleForm()) return;
    // The pages' values laid over the last read or submitted record, so that
    // fields they do not show travel unchanged.
    if (ConfirmAddressChange(session, session.LocalProperty.LocalAddr, FormModule::Local()) == AddressCheck::Cancelled)
        return;
    ModuleProperty working = session.LocalProperty;
    CollectModuleRecord(working);

    CDlgInputPwd dialog(this);
    dialog.SetExpectedPassword(FieldText(working.Password));
    if (dialog.exec() != QDialog::Accepted) return;
    // The dialog accepts only a new password that fits the field.
    if (dialog.ChangePassword() && !StoreMbcsField(dialog.NewPassword(), working.Password)) return;

    // After the write the module restarts; reading it again shows what it
    // really stores, which is what the pages should hold from now on.
    ModuleBase readBase{};
    ModuleProperty readBack{};
    bool readAgain = false;
    SdkFailure failure;
    const int submitted = WithSdkLink([&] {
                              Q_QRV_SetLocalPropertyAll(&session.LocalBase, &working);
                              const int result = Q_QRV_SubmitInfo();
                              if (result != 1) failure = qrvtune::LastSdkFailure();
                              if (result == 1) readAgain = Q_QRV_GetPropertyAll(&readBase, &readBack) == 1;
                              if (result == 1 && !readAgain) failure = qrvtune::LastSdkFailure();
                              return result;
                          }).value_or(0);
    if (submitted != 1) {
        ShowFailure(ModifyFailedText(), MessageIcon::Warning, failure);
        return;
    }
    ShowMessage(tr("修改成功   "), MessageIcon::Information);
    if (readAgain) {
        TakeLocalRecords(readBase, readBack);
        return;
    }
    session.LocalProperty = working;
    ShowModuleRecord(session.LocalBase, working, FormModule::Local());
    qrvtune::ReportIfPortLost(failure);
    ShowReadBackFailed();
}

void CViewLocalDevList::OnReset() {
    SdkFailure failure;
    if (WithSdkLinkNoting(failure, &Q_QRV_ResetDev) == 1)
        ShowMessage(CommandSentText(), MessageIcon::Information);
    else
        ShowFailure(ModifyFailedText(), MessageIcon::Warning, failure);
}

void CViewLocalDevList::OnFactoryRestore() {
    SdkFailure failure;
    if (WithSdkLinkNoting(failure, &Q_QRV_ResetToDefault) == 1)
        ShowMessage(CommandSentText(), MessageIcon::Information);
    else
        ShowFailure(tr("恢复出厂设置失败"), MessageIcon::None, failure);
}

void CViewLocalDevList::TakeLocalRecords(const ModuleBase& base, const ModuleProperty& property) {
    Session& session = session_;
    session.LocalBase = base;
    session.LocalProperty = property;
    session.LocalInfoLoaded = 1;
    ShowModuleRecord(session.LocalBase, session.LocalProperty, FormModule::Local());
    ShowLocalBase(session.LocalBase);
    Q_EMIT LocalModuleRead();
}

void CViewLocalDevList::ShowLocalBase(const ModuleBase& base) {
    ui_->idEdit->setText(HexFieldText(base.NetAddr));
    ui_->devTypeEdit->setText(GetDevTypeName(base.DevType));
    ui_->runStateCombo->setCurrentIndex(RunStatePosition(base.RunState));
    ui_->fwVersionEdit->setText(FormatFwVersion(base.FwVersion));
}
