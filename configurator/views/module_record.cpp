#include "views/module_record.h"

#include "common/record_fields.h"
#include "views/view_base_info.h"
#include "views/view_dev_adv_cfg.h"
#include "views/views.h"

void ShowModuleRecord(const ModuleBase& base, const ModuleProperty& property) {
    ViewDevAdvCfg().SetAdvancedValues(AdvancedValuesOf(property));
    ViewBaseInfo().PropertyToForm(base, property);
}

void CollectModuleRecord(ModuleProperty& property) {
    StoreAdvancedValues(ViewDevAdvCfg().CommitAdvancedValues(), property);
    ViewBaseInfo().FormToProperty(property);
}
