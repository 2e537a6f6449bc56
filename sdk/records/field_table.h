// Every field of the configuration record, once: its name as scripts spell
// it, where it sits in the record, the values it may hold and how it is
// shown. The exports, the command line, the configurator, the Python
// package and the simulator all read their rules from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "qrvlink/qrvlink.h"

namespace qrv {

// {Name, Number, Code}: the exported struct itself, so the table is handed
// out as it is.
using FieldChoice = QrvFieldChoice;

struct FieldRow {
    const char* name;       // "retry-count"
    int property;           // the number of Q_QRV_GetProperty, 0 for the read-only tail
    std::uint32_t offset;   // in ModuleProperty
    std::uint32_t bytes;    // 1, 2 or 16
    int kind;               // QRV_FIELD_TEXT, _NUMBER, _NAMED, _CODED
    std::uint32_t flags;    // QRV_FIELD_WRITABLE, _HEX, _FAR
    std::int64_t min, max;  // the record's value (text: its length in module bytes)
    std::span<const FieldChoice> choices;
    const char* unit;
    const char* about;
};

std::span<const FieldRow> FieldRows();
// The row called `name`, or nullptr.
const FieldRow* FindFieldRow(std::string_view name);
// Whether the record may hold `value` (the code, for named and coded fields).
bool FieldAccepts(const FieldRow& row, std::int64_t value);
// Whether `bytes` (module text, GBK) may be stored in a text field: at most
// 15 bytes, no NUL and no control character.
bool FieldAcceptsText(const FieldRow& row, const char* bytes, std::size_t length);

}  // namespace qrv
