#include "views/operation_target.h"

#include <QItemSelectionModel>
#include <QTableWidget>

#include <algorithm>

#include "app/qrvtune_dlg.h"
#include "views/view_remote_dev_list.h"
#include "views/views.h"

std::optional<OperationTarget> CurrentOperationTarget() {
    if (ActiveLeftTabIndex() != kLeftTabNetwork) return OperationTarget{};
    const std::optional<int> row = SelectedNetworkRow();
    if (!row) return std::nullopt;
    return OperationTarget{true, *row};
}

std::optional<int> SelectedNetworkRow() {
    const auto* list = ViewRemoteDevList().findChild<QTableWidget*>(QStringLiteral("moduleList"));
    if (list == nullptr || list->selectionModel() == nullptr) return std::nullopt;
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    const auto first = std::min_element(rows.begin(), rows.end(),
                                        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return first->row();
}
