// A module's identity and configuration as people and programs read them:
// lines for a table, and JSON objects keyed by the stable field names
// (numbers as JSON numbers, named values and texts as strings).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "client/fields.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

using Json = nlohmann::ordered_json;

struct ReportLine {
    std::string name;
    std::string text;
};

// "qrv", "korvanet", "vlx-io", "boot", else "0x0013".
std::string DeviceTypeName(std::uint16_t type);
// "boot" (0x55), "user" (0xAA), "noboot".
std::string RunStateName(std::uint8_t state);
// Four decimal digits in four nibbles: 0x0123 is "V1.23", 0x1234 "V12.34".
std::string FirmwareVersionText(std::uint16_t version);

std::vector<ReportLine> IdentityLines(const ModuleBase& base);
// Every field; without the password a set one shows as hidden.
std::vector<ReportLine> FieldLines(const ModuleProperty& record, bool withPassword = true);
// {"address", "device-type", "run-state", "firmware-version"}
Json IdentityJson(const ModuleBase& base);
// Every field by name, the password only when asked for.
Json FieldsJson(const ModuleProperty& record, bool withPassword = true);

Json ValueJson(const FieldValue& value);
// A JSON number or string as a field value; nothing for other JSON types.
std::optional<FieldValue> ValueFromJson(const Json& json);

}  // namespace qrv::client
