#include "client/fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>
#include <utility>
#include <vector>

#include "text/module_text.h"

namespace qrv::client {

namespace {

// The module's text fields are 16 bytes: 15 of text and the terminator.
constexpr std::size_t kTextBytes = sizeof(ModuleProperty::DevName) - 1;

// The library's table names the fields; these are the ones the client edits.
constexpr std::pair<FieldId, const char*> kIds[] = {
    {FieldId::Name, "name"},
    {FieldId::WorkMode, "work-mode"},
    {FieldId::Channel, "channel"},
    {FieldId::NetId, "net-id"},
    {FieldId::LocalAddress, "local-address"},
    {FieldId::DestAddress, "dest-address"},
    {FieldId::AirRate, "air-rate"},
    {FieldId::TxPower, "tx-power"},
    {FieldId::RetryCount, "retry-count"},
    {FieldId::RetryInterval, "retry-interval"},
    {FieldId::UartBaud, "uart-baud"},
    {FieldId::UartDataBits, "uart-data-bits"},
    {FieldId::UartStopBits, "uart-stop-bits"},
    {FieldId::UartParity, "uart-parity"},
    {FieldId::FrameGap, "frame-gap"},
    {FieldId::FrameLength, "frame-length"},
    {FieldId::Password, "password"},
};

FieldKind KindOf(int32_t kind) {
    switch (kind) {
        case QRV_FIELD_NUMBER: return FieldKind::Number;
        case QRV_FIELD_NAMED: return FieldKind::Named;
        case QRV_FIELD_CODED: return FieldKind::Coded;
        default: return FieldKind::Text;
    }
}

// The writable fields of the library's table, read once.
struct FieldTable {
    std::vector<FieldSpec> fields;
    std::deque<std::vector<Choice>> choices;  // a deque keeps the spans valid
};

const FieldTable& Table() {
    static const FieldTable table = [] {
        FieldTable t;
        for (int32_t i = 0, n = Q_FieldCount(); i < n; ++i) {
            QrvFieldInfo info{};
            info.Size = sizeof info;
            if (!Q_FieldInfo(i, &info) || !(info.Flags & QRV_FIELD_WRITABLE)) continue;
            const auto id = std::find_if(std::begin(kIds), std::end(kIds),
                                         [&](const auto& p) { return std::strcmp(p.second, info.Name) == 0; });
            if (id == std::end(kIds)) continue;
            auto& list = t.choices.emplace_back();
            for (int32_t c = 0; c < info.ChoiceCount; ++c)
                list.push_back({info.Choices[c].Name, info.Choices[c].Number, static_cast<std::uint8_t>(info.Choices[c].Code)});
            FieldSpec field{};
            field.id = id->first;
            field.name = info.Name;
            field.kind = KindOf(info.Kind);
            field.min = info.Min;
            field.max = info.Max;
            field.choices = list;
            field.unit = info.Unit;
            field.hex = (info.Flags & QRV_FIELD_HEX) != 0;
            field.about = info.About;
            field.index = i;
            t.fields.push_back(field);
        }
        return t;
    }();
    return table;
}

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

// A number too long for any field stops growing at this bound, so that it
// is reported as out of range rather than as no number.
constexpr std::int64_t kBeyondAnyField = std::int64_t{1} << 40;

// Values go into messages cut to this many bytes: a 10 MB value must not
// make a 10 MB message.
constexpr std::size_t kShownValueBytes = 40;

// Control characters are shown as \xNN: a message must not move the cursor.
std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Quoted(std::string_view text) {
    if (text.size() <= kShownValueBytes) return "\"" + Escaped(text) + "\"";
    std::size_t cut = kShownValueBytes;
    // Back to the start of a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + Escaped(text.substr(0, cut)) + "\"... (" + std::to_string(text.size()) + " bytes)";
}

std::string Shown(const FieldSpec& field, const FieldValue& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
    if (field.id == FieldId::Password) return "the password";
    return Quoted(std::get<std::string>(value));
}

std::string Shown(const FieldSpec& field, std::string_view text) { return Shown(field, FieldValue(std::string(text))); }

std::string RangeText(const FieldSpec& field) { return std::to_string(field.min) + ".." + std::to_string(field.max); }

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

std::span<const FieldSpec> AllFields() { return Table().fields; }

const FieldSpec* FindField(std::string_view name) {
    for (const FieldSpec& f : AllFields())
        if (f.name == name) return &f;
    return nullptr;
}

const FieldSpec& FieldSpecOf(FieldId id) {
    for (const FieldSpec& f : AllFields())
        if (f.id == id) return f;
    return AllFields().front();
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
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) return std::nullopt;
        value = std::min(value * base + digit, kBeyondAnyField);
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
            return Bad(field, Shown(field, text) + " is not one of " + ChoiceList(field));
        case FieldKind::Number:
        case FieldKind::Coded: {
            // A unit may follow the number: "-5dBm", "100ms".
            std::string_view digits = text;
            if (!field.unit.empty() && digits.size() > field.unit.size() &&
                SameName(digits.substr(digits.size() - field.unit.size()), field.unit))
                digits.remove_suffix(field.unit.size());
            const std::optional<std::int64_t> n = ParseInteger(digits);
            if (!n) return Bad(field, Shown(field, text) + " is not a whole number");
            if (*n >= kBeyondAnyField || *n <= -kBeyondAnyField)
                return Bad(field, Shown(field, text) + " is out of range" +
                                      (field.kind == FieldKind::Number ? " " + RangeText(field) : ""));
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
            if (!utf8) return Bad(field, "expected text, not " + Shown(field, value));
            const std::optional<std::string> gbk = text::Utf8ToModuleText(*utf8);
            if (!gbk) return Bad(field, Shown(field, value) + " has characters the module cannot store (GBK)");
            if (gbk->size() > kTextBytes)
                return Bad(field, Shown(field, value) + " is " + std::to_string(gbk->size()) +
                                      " bytes in the module's encoding; at most " + std::to_string(kTextBytes) + " fit");
            if (!Q_FieldCheckText(field.index, gbk->data(), static_cast<int32_t>(gbk->size())))
                return Bad(field, Shown(field, value) + " holds a control character; the module keeps printable text");
            char* target = TextField(record, field.id);
            // An empty password would open the module to anyone: only where
            // it already has none.
            if (field.id == FieldId::Password && gbk->empty() && target[0] != '\0')
                return Bad(field, "an empty password is refused while the module has one");
            std::memset(target, 0, kTextBytes + 1);
            std::memcpy(target, gbk->data(), gbk->size());
            return {};
        }
        case FieldKind::Number: {
            const auto* n = std::get_if<std::int64_t>(&value);
            if (!n) return Bad(field, "expected a number, not " + Shown(field, value));
            if (!Q_FieldCheck(field.index, *n)) return Bad(field, std::to_string(*n) + " is out of range " + RangeText(field));
            SetRawValue(record, field.id, *n);
            return {};
        }
        case FieldKind::Named:
        case FieldKind::Coded: {
            const std::optional<std::uint8_t> code = CodeOf(field, value);
            if (!code) return Bad(field, Shown(field, value) + " is not one of " + ChoiceList(field));
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
        return Status::Fail(Outcome::Usage, Quoted(text) + ": expected FIELD=VALUE");
    const std::string_view name = text.substr(0, equals);
    const FieldSpec* field = FindField(name);
    if (!field) return Status::Fail(Outcome::Usage, Quoted(name) + " is not a field name");
    FieldValue value;
    if (Status st = ParseField(*field, text.substr(equals + 1), value); !st.Ok()) return st;
    // Range and names are checked against a scratch record, so a bad value is
    // refused before anything is sent.
    ModuleProperty scratch{};
    if (Status st = WriteField(scratch, *field, value); !st.Ok()) return st;
    out = {field, std::move(value)};
    return {};
}

Status ParseAssignments(std::span<const std::string> texts, std::vector<Assignment>& out) {
    std::vector<Assignment> parsed;
    for (const std::string& text : texts) {
        Assignment a;
        if (Status st = ParseAssignment(text, a); !st.Ok()) return st;
        for (const Assignment& earlier : parsed)
            if (earlier.field == a.field)
                return Status::Fail(Outcome::Usage, std::string(a.field->name) + " is given twice; give each field once");
        parsed.push_back(std::move(a));
    }
    out = std::move(parsed);
    return {};
}

}  // namespace qrv::client
