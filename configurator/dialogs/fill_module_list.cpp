#include "dialogs/fill_module_list.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

#include "common/record_text.h"
#include "qrvlink/qrvlink.h"

namespace {

void SetCell(QTableWidget& list, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    // A column the window cannot widen enough still shows its text whole here.
    item->setToolTip(text);
    list.setItem(row, column, item);
}

}  // namespace

void SetModuleListColumns(QTableWidget& list, const std::array<int, 4>& widths) {
    const QHeaderView& header = *list.horizontalHeader();
    for (int column = 0; column < 4; ++column)
        list.setColumnWidth(column, std::max(widths[static_cast<std::size_t>(column)], header.sectionSizeHint(column)));
}

void FillModuleList(QTableWidget& list) {
    list.setRowCount(0);
    const int count = Q_QRV_GetSearchDevCount();
    for (int i = 0; i < count; ++i) {
        // Zeroed first: a result gone meanwhile (the store cleared) reads as zeros.
        ModuleBase base{};
        Q_QRV_GetRemoteDevBase(&base, i);
        list.insertRow(i);
        SetCell(list, i, 0, QString::number(i));
        SetCell(list, i, 1, QString::number(base.NetAddr, 16));
        SetCell(list, i, 2, GetDevTypeName(base.DevType));
        SetCell(list, i, 3, RunStateText(base.RunState));
    }
    // Columns grow to their longest entry (a translated type name), never shrink.
    for (int column = 0; column < list.columnCount(); ++column) {
        const int before = list.columnWidth(column);
        list.resizeColumnToContents(column);
        if (list.columnWidth(column) < before) list.setColumnWidth(column, before);
    }
}
