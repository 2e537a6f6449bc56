#include "views/view_remote_dev_list.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

#include "common/record_fields.h"
#include "common/failure_report.h"
#include "common/sdk_exchange_guard.h"
#include "dialogs/dlg_input_pwd.h"
#include "dialogs/dlg_search_dev.h"
#include "dialogs/fill_module_list.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "ui_view_remote_dev_list.h"
#include "views/address_change.h"
#include "views/flow_messages.h"
#include "views/module_record.h"
#include "views/profile_exchange.h"

using qrvtune::MessageIcon;
using qrvtune::ShowMessage;
using qrvtune::SdkFailure;
using qrvtune::ShowFailure;
using qrvtune::WithSdkLink;
using qrvtune::WithSdkLinkNoting;


CViewRemoteDevList::CViewRemoteDevList(Session& session, QWidget* parent)
    : CPageBase(parent), session_(session), ui_(std::make_unique<Ui::CViewRemoteDevList>()) {
    ui_->setupUi(Body());
    // Column widths in pixels: 序号, 设备ID, 设备类型, 运行状态.
    SetModuleListColumns(*ui_->moduleList, {53, 60, 140, 68});
    ui_->moduleList->verticalHeader()->hide();

    connect(ui_->searchButton, &QPushButton::clicked, this, &CViewRemoteDevList::OnSearch);
    connect(ui_->readButton, &QPushButton::clicked, this, &CViewRemoteDevList::OnRead);
    connect(ui_->modifyButton, &QPushButton::clicked, this, &CViewRemoteDevList::OnModify);
    connect(ui_->resetButton, &QPushButton::clicked, this, &CViewRemoteDevList::OnReset);
    connect(ui_->factoryButton, &QPushButton::clicked, this, &CViewRemoteDevList::OnFactoryRestore);
    AddProfileButtons(this, *ui_->pageLayout, ui_->buttonRow, [this] { return ReadFarModuleForProfile(SelectedRow()); });
}

CViewRemoteDevList::~CViewRemoteDevList() = default;

int CViewRemoteDevList::SelectedRow() const {
    const QModelIndexList rows = ui_->moduleList->selectionModel()->selectedRows();
    if (rows.isEmpty()) return -1;
    return std::min_element(rows.begin(), rows.end(),
                            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })
        ->row();
}

void CViewRemoteDevList::OnSearch() {
    CDlgSearchDev dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    FillModuleList(*ui_->moduleList);
    if (ui_->moduleList->rowCount() > 0) ui_->moduleList->selectRow(0);
}

void CViewRemoteDevList::OnRead() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(SelectDeviceText());
        return;
    }
    // The base is the search result's, taken before the over-the-air read: its
    // run state is the one the search saw.
    ModuleBase base{};
    if (Q_QRV_GetRemoteDevBase(&base, row) != 1) {
        ShowMessage(tr("获取失败！"));
        return;
    }
    // One read over the air, then the radio home by one tuning (none when
    // the module lives on the local pair and the SDK knows the radio is there).
    ModuleProperty property{};
    SdkFailure failure;
    const int read = WithSdkLink([&] {
                         const int got = Q_QRV_GetRemoteDevPropertyAll(&property, row);
                         if (got == 0) failure = qrvtune::LastSdkFailure();
                         Q_QRV_TuneHome();
                         return got;
                     }).value_or(0);
    // A module that stays silent is left unremarked, as always; a lost port is not.
    if (read == 0 && failure.reason == QRV_FAIL_PORT_LOST) ShowFailure(tr("获取失败！"), MessageIcon::None, failure);
    if (read == 0) return;
    ShowMessage(tr("获取成功！"), MessageIcon::Information);
    ShowModuleRecord(base, property, FormModule::Remote(row, base.NetAddr));
}

void CViewRemoteDevList::OnModify() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(tr("请选择设备   "));
        return;
    }
    // Only the record read from this very module goes back to it: the pages
    // may hold another module's (or the local one's) name and addresses.
    ModuleBase base{};
    if (Q_QRV_GetRemoteDevBase(&base, row) != 1 || FormHolds() != FormModule::Remote(row, base.NetAddr)) {
        ShowMessage(tr("表单中显示的不是所选设备的配置，请先读取所选设备"), MessageIcon::Warning);
        return;
    }
    if (!CheckModuleForm()) return;
    // The module's current configuration, read over the air, is the base the
    // pages' values are laid over.
    ModuleProperty working{};
    SdkFailure readFailure;
    if (WithSdkLinkNoting(readFailure, [&] { return Q_QRV_GetRemoteDevPropertyAll(&working, row); }) != 1) {
        ShowFailure(tr("请先获取设备信息"), MessageIcon::None, readFailure);
        return;
    }
    const AddressCheck address =
        ConfirmAddressChange(session_, working.LocalAddr, FormModule::Remote(row, base.NetAddr));
    if (address == AddressCheck::Cancelled) return;

    CDlgInputPwd dialog(this);
    dialog.SetExpectedPassword(FieldText(working.Password));
    if (dialog.exec() != QDialog::Accepted) return;
    CollectModuleRecord(working);
    // A new password chosen here is sent like the local page sends it; the
    // dialog accepts only one that fits the field.
    if (dialog.ChangePassword() && !StoreMbcsField(dialog.NewPassword(), working.Password)) return;

    // Read again after the write: the pages then show what the module stores.
    ModuleProperty readBack{};
    bool readAgain = false;
    SdkFailure failure;
    const int submitted = WithSdkLink([&] {
                              Q_QRV_SetRemotePropertyAll(&working, row);
                              const int result = Q_QRV_SubmitRemoteDevInfo(row);
                              if (result != 0) readAgain = Q_QRV_GetRemoteDevPropertyAll(&readBack, row) == 1;
                              // Why the write, or the read after it, failed.
                              if (result == 0 || !readAgain) failure = qrvtune::LastSdkFailure();
                              Q_QRV_TuneHome();
                              return result;
                          }).value_or(0);
    if (submitted == 0) {
        ShowFailure(ModifyFailedText(), MessageIcon::Warning, failure);
        return;
    }
    // The entry followed the module to its new address: the row, the label
    // and the next modify's check all name it there.
    ModuleBase moved = base;
    Q_QRV_GetRemoteDevBase(&moved, row);
    FillModuleList(*ui_->moduleList);
    ui_->moduleList->selectRow(row);
    // The label and the record on the pages name the same module: an answer
    // on a shared address may be another module's, and a record whose
    // address is not the entry's is not this module's. The pages then keep
    // the values sent.
    const bool fromThisModule =
        readAgain && address == AddressCheck::Free && readBack.LocalAddr == moved.NetAddr;
    ShowMessage(tr("修改成功     "), MessageIcon::Information);
    ShowModuleRecord(moved, fromThisModule ? readBack : working, FormModule::Remote(row, moved.NetAddr));
    if (!readAgain) {
        qrvtune::ReportIfPortLost(failure);
        ShowReadBackFailed();
    } else if (!fromThisModule) {
        ShowMessage(tr("修改后读回的应答可能来自使用同一地址的另一个设备，表单显示的是写入的值。"),
                    MessageIcon::Warning);
    }
}

void CViewRemoteDevList::OnReset() { SendToSelected(&Q_QRV_ResetRemoteDev); }

void CViewRemoteDevList::OnFactoryRestore() { SendToSelected(&Q_QRV_ResetRemoteToDefault); }

void CViewRemoteDevList::SendToSelected(int (*command)(int index)) {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(SelectDeviceText());
        return;
    }
    SdkFailure failure;
    if (WithSdkLinkNoting(failure, [&] { return command(row); }) == 1)
        ShowMessage(CommandSentText(), MessageIcon::Information);
    else
        ShowFailure(ModifyFailedText(), MessageIcon::Warning, failure);
}
