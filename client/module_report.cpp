#include "client/module_report.h"

namespace qrv::client {

namespace {
constexpr std::uint16_t kDevTypeBoot = 0x0000, kDevTypeQrv = 0x0010, kDevTypeKorvanet = 0x0011, kDevTypeVlxIo = 0x0012;
constexpr std::uint8_t kRunStateBoot = 0x55, kRunStateUser = 0xAA;
}  // namespace

std::string DeviceTypeName(std::uint16_t type) {
    switch (type) {
        case kDevTypeBoot: return "boot";
        case kDevTypeQrv: return "qrv";
        case kDevTypeKorvanet: return "korvanet";
        case kDevTypeVlxIo: return "vlx-io";
        default: return Hex(type, 4);
    }
}

std::string RunStateName(std::uint8_t state) {
    return state == kRunStateBoot ? "boot" : state == kRunStateUser ? "user" : "noboot";
}

std::string FirmwareVersionText(std::uint16_t version) {
    const unsigned a = (version >> 12) & 0xF, b = (version >> 8) & 0xF, c = (version >> 4) & 0xF, d = version & 0xF;
    const std::string tail = std::to_string(b) + "." + std::to_string(c) + std::to_string(d);
    return "V" + (a != 0 ? std::to_string(a) + tail : tail);
}

std::vector<ReportLine> IdentityLines(const ModuleBase& base) {
    return {{"address", Hex(base.NetAddr, 4)},
            {"device-type", DeviceTypeName(base.DevType)},
            {"run-state", RunStateName(base.RunState)},
            {"firmware-version", FirmwareVersionText(base.FwVersion)}};
}

std::vector<ReportLine> FieldLines(const ModuleProperty& record, bool withPassword) {
    std::vector<ReportLine> lines;
    for (const FieldSpec& field : AllFields()) {
        std::string value = FormatField(field, ReadField(record, field));
        if (!withPassword && field.id == FieldId::Password && !value.empty())
            value = "(hidden; --show-password shows it)";
        lines.push_back({std::string(field.name), std::move(value)});
    }
    return lines;
}

Json IdentityJson(const ModuleBase& base) {
    Json identity = Json::object();
    identity["address"] = base.NetAddr;
    identity["device-type"] = DeviceTypeName(base.DevType);
    identity["run-state"] = RunStateName(base.RunState);
    identity["firmware-version"] = FirmwareVersionText(base.FwVersion);
    return identity;
}

Json FieldsJson(const ModuleProperty& record, bool withPassword) {
    Json fields = Json::object();
    for (const FieldSpec& field : AllFields())
        if (withPassword || field.id != FieldId::Password) fields[std::string(field.name)] = ValueJson(ReadField(record, field));
    return fields;
}

Json ValueJson(const FieldValue& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) return *n;
    return std::get<std::string>(value);
}

std::optional<FieldValue> ValueFromJson(const Json& json) {
    std::optional<FieldValue> value;
    if (json.is_number_integer())
        value.emplace(std::in_place_index<0>, json.get<std::int64_t>());
    else if (json.is_string())
        value.emplace(std::in_place_index<1>, json.get<std::string>());
    return value;
}

}  // namespace qrv::client
