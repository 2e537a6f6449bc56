// Every field of the module's configuration record by a stable name, with
// its range or its named values: the names scripts and profiles use
// ("air-rate", "uart-parity") and the codecs between a record and values.
// Values are what JSON carries: a number (channel 11, uart-baud 115200,
// tx-power in dBm) or a string (a name, a text, a named value such as "1M").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "client/status.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

using FieldValue = std::variant<std::int64_t, std::string>;

enum class FieldId {
    Name,
    WorkMode,
    Channel,
    NetId,
    LocalAddress,
    DestAddress,
    AirRate,
    TxPower,
    RetryCount,
    RetryInterval,
    UartBaud,
    UartDataBits,
    UartStopBits,
    UartParity,
    FrameGap,
    FrameLength,
    Password,
};

enum class FieldKind {
    Text,    // UTF-8 text, at most 15 bytes in the module's GBK
    Number,  // the record's number, within [min, max]
    Named,   // a name per code ("host", "even", "1M")
    Coded,   // a number per code (uart-baud 115200 is code 7, tx-power -5 dBm is 0x0B)
};

// One value of a named or coded field.
struct Choice {
    std::string_view name;  // Named: the value itself; Coded: its label
    std::int64_t number;    // Coded: the value
    std::uint8_t code;      // what the record holds
};

struct FieldSpec {
    FieldId id;
    std::string_view name;
    FieldKind kind;
    std::int64_t min = 0, max = 0;  // Number
    std::span<const Choice> choices;  // Named, Coded
    std::string_view unit;            // shown after the value in tables
    bool hex = false;                 // shown in hexadecimal in tables
    std::string_view about;           // one line for help texts
    int index = -1;                   // the row of the library's field table
};

// The writable fields of the library's table (Q_FieldInfo), in its order:
// the password last.
std::span<const FieldSpec> AllFields();
const FieldSpec* FindField(std::string_view name);
const FieldSpec& FieldSpecOf(FieldId id);

// The field's value in `record`. A code without a name comes out as a
// string such as "0x0C", which no parser takes back.
FieldValue ReadField(const ModuleProperty& record, const FieldSpec& field);
// Checks `value` against the field and stores it; the record is left alone
// when it does not fit. Strings are parsed as on the command line.
Status WriteField(ModuleProperty& record, const FieldSpec& field, const FieldValue& value);
// A command-line value ("1M", "0x0203", "-5dBm", "本地") as the field's value.
Status ParseField(const FieldSpec& field, std::string_view text, FieldValue& out);
// The value as a table shows it ("0x0203", "11 (2405 MHz)", "-5 dBm").
std::string FormatField(const FieldSpec& field, const FieldValue& value);

// "FIELD=VALUE" split and parsed; the message names the field.
struct Assignment {
    const FieldSpec* field = nullptr;
    FieldValue value;
};
Status ParseAssignment(std::string_view text, Assignment& out);
// Several of them; a field given twice is refused.
Status ParseAssignments(std::span<const std::string> texts, std::vector<Assignment>& out);

// Decimal or 0x-hexadecimal, with an optional minus sign.
std::optional<std::int64_t> ParseInteger(std::string_view text);
std::string Hex(std::uint32_t value, int digits);

}  // namespace qrv::client
