#include "views/view_local_dev_list.h"

#include <QPushButton>

#include "common/record_fields.h"
#include "common/record_text.h"
#include "common/sdk_exchange_guard.h"
#include "common/session_state.h"
#include "dialogs/dlg_input_pwd.h"
#include "toolkit/toolkit.h"
#include "ui_view_local_dev_list.h"
#include "views/module_record.h"

namespace {

using qrvtune::MessageIcon;
using qrvtune::ShowMessage;
using qrvtune::WithSdkLink;

// The texts carry their trailing blanks as the users have always seen them.
const QString kModifyFailed = QStringLiteral("修改失败    ");
const QString kCommandSent = QStringLiteral("发送命令成功！");

// Positions of the run-state list: "BOOT", "USER", "NOBOOT".
int RunStatePosition(std::uint8_t runState) {
    if (runState == kRunStateBoot) return 0;
    if (runState == kRunStateUser) return 1;
    return 2;
}

}  // namespace

CViewLocalDevList::CViewLocalDevList(QWidget* parent)
    : CPageBase(parent), ui_(std::make_unique<Ui::CViewLocalDevList>()) {
    ui_->setupUi(this);
    connect(ui_->readButton, &QPushButton::clicked, this, &CViewLocalDevList::OnRead);
    connect(ui_->modifyButton, &QPushButton::clicked, this, &CViewLocalDevList::OnModify);
    connect(ui_->resetButton, &QPushButton::clicked, this, &CViewLocalDevList::OnReset);
    connect(ui_->factoryButton, &QPushButton::clicked, this, &CViewLocalDevList::OnFactoryRestore);
}

CViewLocalDevList::~CViewLocalDevList() = default;

void CViewLocalDevList::OnRead() {
    SessionStateRecord& session = SessionState();
    if (session.PortOpen == 0) {
        ShowMessage(QStringLiteral("串口未打开，请先打开串口再进行此操作!"));
        return;
    }
    ModuleBase base{};
    ModuleProperty property{};
    if (WithSdkLink([&] { return Q_QRV_GetPropertyAll(&base, &property); }).value_or(0) != 1) {
        // The records of an earlier read stay in use.
        ShowMessage(QStringLiteral("获取本地信息失败"));
        return;
    }
    session.LocalBase = base;
    session.LocalProperty = property;
    session.LocalInfoLoaded = 1;
    ShowModuleRecord(session.LocalBase, session.LocalProperty);
    ShowLocalBase(session.LocalBase);
    ShowMessage(QStringLiteral("获取本地信息成功！"), MessageIcon::Information);
}

void CViewLocalDevList::OnModify() {
    SessionStateRecord& session = SessionState();
    if (session.LocalInfoLoaded == 0) {
        ShowMessage(QStringLiteral("请先获取设备信息"));
        return;
    }
    // The pages' values laid over the last read or submitted record, so that
    // fields they do not show travel unchanged.
    ModuleProperty working = session.LocalProperty;
    CollectModuleRecord(working);

    CDlgInputPwd dialog(this);
    dialog.SetExpectedPassword(FieldText(working.Password));
    if (dialog.exec() != QDialog::Accepted) return;
    // The dialog accepts only a new password that fits the field.
    if (dialog.ChangePassword() && !StoreMbcsField(dialog.NewPassword(), working.Password)) return;

    const int submitted = WithSdkLink([&] {
                              Q_QRV_SetLocalPropertyAll(&session.LocalBase, &working);
                              return Q_QRV_SubmitInfo();
                          }).value_or(0);
    if (submitted != 1) {
        ShowMessage(kModifyFailed, MessageIcon::Warning);
        return;
    }
    ShowMessage(QStringLiteral("修改成功   "), MessageIcon::Information);
    session.LocalProperty = working;
}

void CViewLocalDevList::OnReset() {
    if (WithSdkLink(&Q_QRV_ResetDev).value_or(0) == 1)
        ShowMessage(kCommandSent, MessageIcon::Information);
    else
        ShowMessage(kModifyFailed, MessageIcon::Warning);
}

void CViewLocalDevList::OnFactoryRestore() {
    if (WithSdkLink(&Q_QRV_ResetToDefault).value_or(0) == 1)
        ShowMessage(kCommandSent, MessageIcon::Information);
    else
        ShowMessage(QStringLiteral("恢复出厂设置失败"));
}

void CViewLocalDevList::ShowLocalBase(const ModuleBase& base) {
    ui_->idEdit->setText(HexFieldText(base.NetAddr));
    ui_->devTypeEdit->setText(GetDevTypeName(base.DevType));
    ui_->runStateCombo->setCurrentIndex(RunStatePosition(base.RunState));
    ui_->fwVersionEdit->setText(FormatFwVersion(base.FwVersion));
}
