#include "views/module_record.h"

#include <QCoreApplication>

#include "common/record_fields.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"

QString FormModuleText(const FormModule& module, std::uint16_t localAddress) {
    switch (module.kind) {
        case FormModule::Kind::Local:
            return QCoreApplication::translate("ModuleRecord", "当前显示：本地设备，ID %1").arg(HexFieldText(localAddress));
        case FormModule::Kind::Remote:
            return QCoreApplication::translate("ModuleRecord", "当前显示：网络设备 序号 %1，ID %2")
                .arg(module.index)
                .arg(HexFieldText(module.address));
        case FormModule::Kind::None: break;
    }
    return QCoreApplication::translate("ModuleRecord", "当前显示：尚未读取设备");
}

void ShowModuleRecord(const ModuleBase& base, const ModuleProperty& property, const FormModule& source) {
    ViewDevAdvCfg().SetAdvancedValues(AdvancedValuesOf(property));
    ViewBaseInfo().PropertyToForm(base, property);
    const QString held = FormModuleText(source, base.NetAddr);
    ViewBaseInfo().SetHeldModule(source, held);
    ViewDevAdvCfg().SetHeldModuleText(held);
}

FormModule FormHolds() { return ViewBaseInfo().HeldModule(); }

bool CheckModuleForm() { return ViewBaseInfo().CheckValues() && ViewDevAdvCfg().CheckValues(); }

void CollectModuleRecord(ModuleProperty& property) {
    StoreAdvancedValues(ViewDevAdvCfg().CommitAdvancedValues(), property);
    ViewBaseInfo().FormToProperty(property);
}
