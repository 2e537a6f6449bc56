// The advanced page's "升级": picks the module to upgrade and hands its
// identity to the upgrade dialog.
#include "common/record_fields.h"
#include "common/session_state.h"
#include "dialogs/dlg_upgrade_frame.h"
#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"
#include "views/flow_messages.h"
#include "views/operation_target.h"
#include "views/view_dev_adv_cfg.h"

void CViewDevAdvCfg::UpgradeTarget() {
    using qrvtune::MessageIcon;
    if (Q_ComCheckOpen() == 0) {
        qrvtune::ShowMessage(tr("操作失败，串口未打开！"), MessageIcon::Error);
        return;
    }
    const std::optional<OperationTarget> target = target_.Current();
    if (!target) {
        qrvtune::ShowMessage(SelectDeviceText());
        return;
    }
    ModuleBase base{};
    if (target->remote) {
        // The identity the search found; a far module needs no local read.
        // A row the search list no longer holds has none: upgrading address
        // 0 instead could put some other module into its boot loader.
        if (Q_QRV_GetRemoteDevBase(&base, target->index) == 0) {
            qrvtune::ShowMessage(tr("获取失败！"));
            return;
        }
    } else {
        if (session_.LocalInfoLoaded == 0) {
            qrvtune::ShowMessage(tr("请先获取本地信息"));
            return;
        }
        base = session_.LocalBase;
    }
    CDlgUpgradeFrame dialog(this);
    dialog.SetDevType(base.DevType);
    dialog.SetAddress(base.NetAddr);
    dialog.SetRunState(base.RunState);
    dialog.SetTargetKind(kUpgradeThroughLocalCall);
    dialog.SetTargetName(target->remote ? tr("网络设备 序号 %1，ID %2").arg(target->index).arg(HexFieldText(base.NetAddr))
                                        : tr("本地设备，ID %1").arg(HexFieldText(base.NetAddr)));
    dialog.exec();
}
