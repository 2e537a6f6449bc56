#pragma once
// How the fields of a module record become the values of the property form
// and the advanced boxes, and back. Pure functions over the records: the
// pages hold the widgets, these hold the rules.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/text_codec.h"
#include "qrvlink/qrvlink.h"

// The record's 16-bit fields are shown as "%x": lower case, no prefix, no
// leading zeros.
QString HexFieldText(std::uint16_t value);

// Reads a hexadecimal box the way "%x" scanning does: leading white space,
// an optional "0x"/"0X", then digits up to the first non-digit; the low 16
// bits of that number. Nothing when the text holds no hexadecimal digit.
std::optional<std::uint16_t> ScanHexWord(const QString& text);

// A field's rule as the library's field table (Q_FieldInfo) gives it, by the
// name qrvctl uses ("retry-count"): the form keeps no range of its own.
struct FieldRule {
    int index = -1;  // row of the table; -1 for a name it does not know
    qint64 min = 0;  // numbers: the range; text: 0 and the most bytes
    qint64 max = 0;
    bool hex = false;  // typed in hexadecimal
};
FieldRule FieldRuleOf(const char* name);

// Whether the form would write `text` into the field: a number as its box
// takes it (hexadecimal for the 16-bit fields, decimal otherwise, the whole
// text), a named or coded value by its name ("1M", "115200"), a text as GBK
// that fits and holds no control character.
bool FormAccepts(const char* name, const QString& text);

// The message for a box whose value is refused, naming the field and its
// range: "发送重试次数：请输入 0–255 之间的整数。"
QString RangeMessage(const QString& label, const FieldRule& rule);

// Each drop-down list of the form stands for a byte field: the entry at
// position p is the value p + offset. Taken from the field table.
struct RecordList {
    int offset;
    int count;
};
RecordList RecordListOf(const char* name);
inline const RecordList kWorkModeList = RecordListOf("work-mode");
inline const RecordList kUartBaudList = RecordListOf("uart-baud");
inline const RecordList kUartDataBitsList = RecordListOf("uart-data-bits");
inline const RecordList kUartParityList = RecordListOf("uart-parity");
inline const RecordList kUartStopBitsList = RecordListOf("uart-stop-bits");
inline const RecordList kAirRateList = RecordListOf("air-rate");
inline const RecordList kTxPowerList = RecordListOf("tx-power");
inline const RecordList kChannelList = RecordListOf("channel");

// The list position for a record value; -1 (no selection) when the list has
// no entry for it.
int ListPositionOf(std::uint8_t value, RecordList list);

// The byte to store for a list position. With no entry selected the value
// the record already holds is kept: a module may carry a value the lists do
// not offer, and it must survive a modify that did not touch it.
std::uint8_t ListValueOf(int position, RecordList list, std::uint8_t recorded);

// "BOOT" for device type 0, "QVR-1" for 0x10, "QVR-2" for anything else.
QString ModuleKindText(std::uint16_t devType);

// The form's status line: kind and firmware version from the property
// record, run state from the base record (the fresher of the two copies).
QString ModuleStatusLine(const ModuleBase& base, const ModuleProperty& property);

// A fixed text field as screen text, never read beyond the field even when
// it holds no terminator. (Prefer it to MbcsToText(field): for a field of a
// const record that call picks the unbounded pointer overload.)
template <std::size_t N>
QString FieldText(const char (&field)[N]) {
    return MbcsToText(static_cast<const char*>(field), N);
}

// Stores `text` (GBK) with its terminator in a fixed text field. A text that
// does not fit leaves the field untouched and gives false: a cut name or
// password would be worse than the old one.
bool StoreMbcsField(const QString& text, char* field, std::size_t fieldBytes);

template <std::size_t N>
bool StoreMbcsField(const QString& text, char (&field)[N]) {
    return StoreMbcsField(text, field, N);
}

// The advanced page's values: plain integers while on screen, cut to the
// field widths only when they go into a record.
struct AdvancedValues {
    int FrameGap = 0;       // "分帧间隔", ms
    int FrameLen = 0;       // "分帧长度"
    int RetryCount = 0;     // "发送重试次数"
    int RetryInterval = 0;  // "重试间隔时间", ms
    bool operator==(const AdvancedValues&) const = default;
};

AdvancedValues AdvancedValuesOf(const ModuleProperty& property);

// Low 8 bits into the byte fields, low 16 bits into RetryInterval.
void StoreAdvancedValues(const AdvancedValues& values, ModuleProperty& property);
