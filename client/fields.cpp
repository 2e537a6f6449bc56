#include "client/fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "text/module_text.h"

namespace qrv::client {

namespace {

// The module's text fields are 16 bytes: 15 of text and the terminator.
constexpr std::size_t kTextBytes = sizeof(ModuleProperty::DevName) - 1;

constexpr Choice kWorkModes[] = {
    {"host", 0, 0},        {"terminal", 1, 1},    {"host-relay", 2, 2},       {"terminal-relay", 3, 3},
    {"acquisition", 4, 4}, {"acquisition-relay", 5, 5}, {"linked-io", 6, 6},
};
constexpr Choice kAirRates[] = {{"250K", 0, 0}, {"500K", 1, 1}, {"1M", 2, 2}};
// 3 and 4 force the parity bit to 0 and to 1: space and mark parity.
constexpr Choice kParities[] = {{"none", 0, 0}, {"odd", 1, 1}, {"even", 2, 2}, {"space", 3, 3}, {"mark", 4, 4}};
constexpr Choice kBauds[] = {
    {"1200", 1200, 0},   {"2400", 2400, 1},   {"4800", 4800, 2},     {"9600", 9600, 3},     {"19200", 19200, 4},
    {"38400", 38400, 5}, {"57600", 57600, 6}, {"115200", 115200, 7}, {"230400", 230400, 8}, {"460800", 460800, 9},
};
constexpr Choice kTxPowers[] = {
    {"8", 8, 0x02},     {"7", 7, 0x03},     {"6", 6, 0x04},     {"5", 5, 0x05},     {"4", 4, 0x06},
    {"3", 3, 0x07},     {"2", 2, 0x08},     {"1", 1, 0x09},     {"0", 0, 0x0A},     {"-5", -5, 0x0B},
    {"-7", -7, 0x0C},   {"-10", -10, 0x0D}, {"-15", -15, 0x0E}, {"-20", -20, 0x0F}, {"-30", -30, 0x10},
    {"-40", -40, 0x11}, {"-50", -50, 0x12},
};

constexpr FieldSpec kFields[] = {
    {FieldId::Name, "name", FieldKind::Text, 0, 0, {}, "", false, "device name (UTF-8, at most 15 bytes as GBK)"},
    {FieldId::WorkMode, "work-mode", FieldKind::Named, 0, 0, kWorkModes, "", false, "network role"},
    {FieldId::Channel, "channel", FieldKind::Number, 6, 30, {}, "", false, "radio channel 6..30 (2350 + 5 x channel MHz)"},
    {FieldId::NetId, "net-id", FieldKind::Number, 0, 0xFFFF, {}, "", true, "network number"},
    {FieldId::LocalAddress, "local-address", FieldKind::Number, 0, 0xFFFF, {}, "", true, "the module's own address"},
    {FieldId::DestAddress, "dest-address", FieldKind::Number, 0, 0xFFFF, {}, "", true, "destination address"},
    {FieldId::AirRate, "air-rate", FieldKind::Named, 0, 0, kAirRates, "", false, "air data rate"},
    {FieldId::TxPower, "tx-power", FieldKind::Coded, 0, 0, kTxPowers, "dBm", false, "transmit power in dBm"},
    {FieldId::RetryCount, "retry-count", FieldKind::Number, 0, 255, {}, "", false, "send retries"},
    {FieldId::RetryInterval, "retry-interval", FieldKind::Number, 0, 0xFFFF, {}, "ms", false, "time between retries"},
    {FieldId::UartBaud, "uart-baud", FieldKind::Coded, 0, 0, kBauds, "", false, "the module's serial rate"},
    {FieldId::UartDataBits, "uart-data-bits", FieldKind::Number, 5, 8, {}, "", false, "the module's data bits"},
    {FieldId::UartStopBits, "uart-stop-bits", FieldKind::Number, 1, 2, {}, "", false, "the module's stop bits"},
    {FieldId::UartParity, "uart-parity", FieldKind::Named, 0, 0, kParities, "", false, "the module's parity"},
    {FieldId::FrameGap, "frame-gap", FieldKind::Number, 0, 255, {}, "ms", false, "frame-splitting interval"},
    {FieldId::FrameLength, "frame-length", FieldKind::Number, 0, 255, {}, "", false, "frame-splitting length"},
    {FieldId::Password, "password", FieldKind::Text, 0, 0, {}, "", false, "configuration password"},
};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

char* TextField(ModuleProperty& r, FieldId id) { return id == FieldId::Name ? r.DevName : r.Password; }
const char* TextField(const ModuleProperty& r, FieldId id) { return id == FieldId::Name ? r.DevName : r.Password; }

// The record's number behind a field (a code for named and coded fields).
std::int64_t RawValue(const ModuleProperty& r, FieldId id) {
    switch (id) {
        case FieldId::WorkMode: return r.WorkMode;
        case FieldId::Channel: return r.Channel;
        case FieldId::NetId: return r.NetId;
        case FieldId::LocalAddress: return r.LocalAddr;
        case FieldId::DestAddress: return r.DestAddr;
        case FieldId::AirRate: return r.AirRate;
        case FieldId::TxPower: return r.TxPower;
        case FieldId::RetryCount: return r.RetryCount;
        case FieldId::RetryInterval: return r.RetryInterval;
        case FieldId::UartBaud: return r.UartBaud;
        case FieldId::UartDataBits: return r.UartDataBits;
        case FieldId::UartStopBits: return r.UartStopBits;
        case FieldId::UartParity: return r.UartParity;
        case FieldId::FrameGap: return r.FrameGap;
        case FieldId::FrameLength: return r.FrameLen;
        case FieldId::Name:
        case FieldId::Password: break;
    }
    return 0;
}

// `value` is already checked against the field's range.
void SetRawValue(ModuleProperty& r, FieldId id, std::int64_t value) {
    const auto byte = static_cast<std::uint8_t>(value);
    const auto word = static_cast<std::uint16_t>(value);
    switch (id) {
        case FieldId::WorkMode: r.WorkMode = byte; break;
        case FieldId::Channel: r.Channel = byte; break;
        case FieldId::NetId: r.NetId = word; break;
        case FieldId::LocalAddress: r.LocalAddr = word; break;
        case FieldId::DestAddress: r.DestAddr = word; break;
        case FieldId::AirRate: r.AirRate = byte; break;
        case FieldId::TxPower: r.TxPower = byte; break;
        case FieldId::RetryCount: r.RetryCount = byte; break;
        case FieldId::RetryInterval: r.RetryInterval = word; break;
        case FieldId::UartBaud: r.UartBaud = byte; break;
        case FieldId::UartDataBits: r.UartDataBits = byte; break;
        case FieldId::UartStopBits: r.UartStopBits = byte; break;
        case FieldId::UartParity: r.UartParity = byte; break;
        case FieldId::FrameGap: r.FrameGap = byte; break;
        case FieldId::FrameLength: r.FrameLen = byte; break;
        case FieldId::Name:
        case FieldId::Password: break;
    }
}

std::string ChoiceList(const FieldSpec& field) {
    std::string list;
    for (const Choice& c : field.choices) list += (list.empty() ? "" : ", ") + std::string(c.name);
    return list;
}

Status Bad(const FieldSpec& field, const std::string& why) {
    return Status::Fail(Outcome::Usage, std::string(field.name) + ": " + why);
}

std::string Shown(const FieldValue& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
    return "\"" + std::get<std::string>(value) + "\"";
}

// The code a named or coded value stands for.
std::optional<std::uint8_t> CodeOf(const FieldSpec& field, const FieldValue& value) {
    for (const Choice& c : field.choices) {
        if (field.kind == FieldKind::Named) {
            if (const auto* s = std::get_if<std::string>(&value); s && SameName(*s, c.name)) return c.code;
        } else if (const auto* n = std::get_if<std::int64_t>(&value); n && *n == c.number) {
            return c.code;
        }
    }
    return std::nullopt;
}

}  // namespace

std::span<const FieldSpec> AllFields() { return kFields; }

const FieldSpec* FindField(std::string_view name) {
    for (const FieldSpec& f : kFields)
        if (f.name == name) return &f;
    return nullptr;
}

const FieldSpec& FieldSpecOf(FieldId id) {
    for (const FieldSpec& f : kFields)
        if (f.id == id) return f;
    return kFields[0];
}

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
    }
    return negative ? -value : value;
}

FieldValue ReadField(const ModuleProperty& record, const FieldSpec& field) {
    if (field.kind == FieldKind::Text) {
        const char* text = TextField(record, field.id);
        return text::ModuleTextToUtf8(std::string_view(text, strnlen(text, kTextBytes + 1)));
    }
    const std::int64_t raw = RawValue(record, field.id);
    if (field.kind == FieldKind::Number) return raw;
    for (const Choice& c : field.choices)
        if (c.code == raw) return field.kind == FieldKind::Named ? FieldValue(std::string(c.name)) : FieldValue(c.number);
    return Hex(static_cast<std::uint32_t>(raw), 2);
}

Status ParseField(const FieldSpec& field, std::string_view text, FieldValue& out) {
    switch (field.kind) {
        case FieldKind::Text:
            out = std::string(text);
            return {};
        case FieldKind::Named:
            for (const Choice& c : field.choices)
                if (SameName(text, c.name)) {
                    out = std::string(c.name);
                    return {};
                }
            return Bad(field, "\"" + std::string(text) + "\" is not one of " + ChoiceList(field));
        case FieldKind::Number:
        case FieldKind::Coded: {
            // A unit may follow the number: "-5dBm", "100ms".
            std::string_view digits = text;
            if (!field.unit.empty() && digits.size() > field.unit.size() &&
                SameName(digits.substr(digits.size() - field.unit.size()), field.unit))
                digits.remove_suffix(field.unit.size());
            const std::optional<std::int64_t> n = ParseInteger(digits);
            if (!n) return Bad(field, "\"" + std::string(text) + "\" is not a number");
            out = *n;
            return {};
        }
    }
    return {};
}

Status WriteField(ModuleProperty& record, const FieldSpec& field, const FieldValue& value) {
    if (const auto* s = std::get_if<std::string>(&value); s && field.kind != FieldKind::Text && field.kind != FieldKind::Named) {
        FieldValue parsed;
        if (Status st = ParseField(field, *s, parsed); !st.Ok()) return st;
        return WriteField(record, field, parsed);
    }
    switch (field.kind) {
        case FieldKind::Text: {
            const auto* utf8 = std::get_if<std::string>(&value);
            if (!utf8) return Bad(field, "expected text, not " + Shown(value));
            const std::optional<std::string> gbk = text::Utf8ToModuleText(*utf8);
            if (!gbk) return Bad(field, "\"" + *utf8 + "\" has characters the module cannot store (GBK)");
            if (gbk->size() > kTextBytes || gbk->find('\0') != std::string::npos)
                return Bad(field, "\"" + *utf8 + "\" is " + std::to_string(gbk->size()) +
                                      " bytes in the module's encoding; at most 15 fit");
            char* target = TextField(record, field.id);
            std::memset(target, 0, kTextBytes + 1);
            std::memcpy(target, gbk->data(), gbk->size());
            return {};
        }
        case FieldKind::Number: {
            const auto* n = std::get_if<std::int64_t>(&value);
            if (!n) return Bad(field, "expected a number, not " + Shown(value));
            if (*n < field.min || *n > field.max)
                return Bad(field, std::to_string(*n) + " is out of range " + std::to_string(field.min) + ".." +
                                      std::to_string(field.max));
            SetRawValue(record, field.id, *n);
            return {};
        }
        case FieldKind::Named:
        case FieldKind::Coded: {
            const std::optional<std::uint8_t> code = CodeOf(field, value);
            if (!code) return Bad(field, Shown(value) + " is not one of " + ChoiceList(field));
            SetRawValue(record, field.id, *code);
            return {};
        }
    }
    return {};
}

std::string FormatField(const FieldSpec& field, const FieldValue& value) {
    const auto* n = std::get_if<std::int64_t>(&value);
    if (!n) return std::get<std::string>(value);
    if (field.hex) return Hex(static_cast<std::uint32_t>(*n), 4);
    std::string text = std::to_string(*n);
    if (field.id == FieldId::Channel) text += " (" + std::to_string(2350 + 5 * *n) + " MHz)";
    if (!field.unit.empty()) text += " " + std::string(field.unit);
    return text;
}

Status ParseAssignment(std::string_view text, Assignment& out) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return Status::Fail(Outcome::Usage, "\"" + std::string(text) + "\": expected FIELD=VALUE");
    const std::string_view name = text.substr(0, equals);
    const FieldSpec* field = FindField(name);
    if (!field) return Status::Fail(Outcome::Usage, "\"" + std::string(name) + "\" is not a field name");
    FieldValue value;
    if (Status st = ParseField(*field, text.substr(equals + 1), value); !st.Ok()) return st;
    // Range and names are checked against a scratch record, so a bad value is
    // refused before anything is sent.
    ModuleProperty scratch{};
    if (Status st = WriteField(scratch, *field, value); !st.Ok()) return st;
    out = {field, std::move(value)};
    return {};
}

}  // namespace qrv::client
