// The field table's exports: pure look-ups over static data.
#include <algorithm>
#include <cstring>

#include "qrvlink/qrvlink.h"
#include "records/field_table.h"

using namespace qrv;

namespace {

const FieldRow* RowAt(int32_t index) {
    const auto rows = FieldRows();
    return index >= 0 && static_cast<std::size_t>(index) < rows.size() ? &rows[static_cast<std::size_t>(index)]
                                                                        : nullptr;
}

}  // namespace

extern "C" {

QRV_API int32_t Q_FieldCount(void) { return static_cast<int32_t>(FieldRows().size()); }

QRV_API int32_t Q_FieldInfo(int32_t index, QrvFieldInfo* info) {
    const FieldRow* row = RowAt(index);
    if (row == nullptr || info == nullptr || info->Size < sizeof info->Size) return 0;
    QrvFieldInfo full{};
    full.Size = info->Size;
    full.Name = row->name;
    full.Property = row->property;
    full.Offset = row->offset;
    full.Bytes = row->bytes;
    full.Kind = row->kind;
    full.Flags = row->flags;
    full.Min = row->min;
    full.Max = row->max;
    full.Choices = row->choices.empty() ? nullptr : row->choices.data();
    full.ChoiceCount = static_cast<int32_t>(row->choices.size());
    full.Unit = row->unit;
    full.About = row->about;
    std::memcpy(info, &full, std::min<std::size_t>(info->Size, sizeof full));
    return 1;
}

QRV_API int32_t Q_FieldFind(const char* name) {
    if (name == nullptr) return -1;
    const auto rows = FieldRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (std::strcmp(rows[i].name, name) == 0) return static_cast<int32_t>(i);
    return -1;
}

QRV_API int32_t Q_FieldCheck(int32_t index, int64_t value) {
    const FieldRow* row = RowAt(index);
    return row != nullptr && FieldAccepts(*row, value) ? 1 : 0;
}

QRV_API int32_t Q_FieldCheckText(int32_t index, const char* text, int32_t length) {
    const FieldRow* row = RowAt(index);
    if (row == nullptr || length < 0) return 0;
    return FieldAcceptsText(*row, text, static_cast<std::size_t>(length)) ? 1 : 0;
}

}  // extern "C"
