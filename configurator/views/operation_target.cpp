#include "views/operation_target.h"

#include "app/qrvtune_dlg.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

std::optional<OperationTarget> CurrentOperationTarget() {
    if (ActiveLeftTabIndex() != kLeftTabNetwork) return OperationTarget{};
    // The row's position is the module's search entry index.
    const int row = ViewRemoteDevList().SelectedRow();
    if (row < 0) return std::nullopt;
    return OperationTarget{true, row};
}
