#pragma once
// Both the search dialog and the network page show the SDK's search results
// in a four-column list: "序号", "设备ID", "设备类型", "运行状态".
class QTableWidget;

// Replaces the list's rows by the SDK's results, row i for result i. The
// result store is safe to read while a search appends to it.
void FillModuleList(QTableWidget& list);
