#pragma once
// Both the search dialog and the network page show the SDK's search results
// in a four-column list: "序号", "设备ID", "设备类型", "运行状态".
class QTableWidget;

#include <array>

// Sets the four columns' widths in pixels; a column whose title needs more
// (a translated title) is widened to show it whole.
void SetModuleListColumns(QTableWidget& list, const std::array<int, 4>& widths);

// Replaces the list's rows by the SDK's results, row i for result i. The
// result store is safe to read while a search appends to it.
void FillModuleList(QTableWidget& list);
