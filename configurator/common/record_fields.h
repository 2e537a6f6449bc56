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

// Each drop-down list of the form stands for a byte field: the entry at
// position p is the value p + offset.
struct RecordList {
    int offset;
    int count;
};
inline constexpr RecordList kWorkModeList{0, 7};
inline constexpr RecordList kUartBaudList{0, 10};
inline constexpr RecordList kUartDataBitsList{5, 4};
inline constexpr RecordList kUartParityList{0, 5};
inline constexpr RecordList kUartStopBitsList{1, 2};
inline constexpr RecordList kAirRateList{0, 3};
inline constexpr RecordList kTxPowerList{2, 17};
inline constexpr RecordList kChannelList{6, 25};

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
